#pragma once
// A folder of document files (the Markdown output) written as one change: either every
// file is the new one, or the folder is as it was.
//
// Every new file is first written completely under a temporary name in the folder; only
// when all are written are they renamed over their names (a rename within a folder replaces
// a file whole). A failure before that removes the temporary files and leaves the folder as
// it was (a folder the write made is removed again).
//
// The folder may hold the user's own files: they are never touched. The names written are
// kept in the folder's manifest (kManifestName), so a later write removes the files of an
// earlier one that it does not write again (an object taken out of the project) and
// nothing else.

#include <QList>
#include <QString>

#include "docbuild/markdown.h"

inline constexpr const char* kManifestName = ".vellumar-files";

// False with the reason in *error; the folder is then as it was.
bool WriteOutputFolder(const QString& folder, const QList<OutputFile>& files, QString* error);
