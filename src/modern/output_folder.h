#pragma once
// A folder of document files (the Markdown output, the web site) written as one change:
// either every file is the new one, or the folder is as it was, whatever stops the build.
// Files may lie in folders below it ("demo/hr/README.md"), which the change makes.
//
// The folder is locked for the write, so a second build into it fails at once instead of
// mixing its files with the first one's. Every new file is first written completely into a
// private staging folder inside it (.vellumar-staging, made afresh, so no planted link is
// ever written through). Then a journal is written there, and each folder is made and each
// file renamed over its name, the old one kept in the staging folder until every rename is
// done; a rename that fails puts the old files back and takes the made folders away. A
// build killed in the middle leaves the journal: the next write into the folder
// (RecoverOutputFolder) first puts the old files back. The folders below are opened a name
// at a time, never through a link: a link planted at any level stops the write.
//
// The folder may hold the user's own files and folders: they are never touched. The files
// written and the folders they lie in are kept in lists (kManifestName), one in each folder
// naming what the build wrote there, so a later write removes the files of an earlier one
// that it does not write again (an object taken out of the project), and those folders once
// nothing else is in them, and nothing else. A file that would be replaced although no list names it is the user's: the write
// stops, unless the caller's question allows it.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "modern/folder_files.h"

inline constexpr const char* kManifestName = ".vellumar-files";

enum class FolderOutcome {
  Written,
  Failed,      // the reason is given; the folder is as it was
  UsersFiles,  // files no list names would be replaced; nothing was written
};

// Asked, with the names of the user's files the write would replace, whether it may.
using MayReplaceUsersFiles = std::function<bool(const QStringList& names)>;

// Makes the folder's files, handing each to `put` as it is made, so that a large document's
// files are never held in memory together; false (or an exception) when it stops.
using ProduceFiles = std::function<bool(const PutFile& put)>;

// Writes the files `produce` makes as the folder's contents. Whether files of the user's
// would be replaced is known, and asked, once they are all made; the folder is as it was
// until then. The reason in *error unless Written.
FolderOutcome WriteOutputFolder(const QString& folder, const ProduceFiles& produce,
                                const MayReplaceUsersFiles& mayReplace, QString* error);
// The same for files already made.
FolderOutcome WriteOutputFolder(const QString& folder, const QList<OutputFile>& files,
                                const MayReplaceUsersFiles& mayReplace, QString* error);

// Puts back what a write that was killed part way left in the folder, unless another write
// holds it now. A build does this first, so that a build that fails early (a log-on) still
// leaves the folder whole. False, with the reason, when that fails (the journal then stays
// for a later attempt).
bool RecoverOutputFolder(const QString& folder, QString* error);
