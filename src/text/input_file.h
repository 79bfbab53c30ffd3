#pragma once
// Opening a file that the program reads (project, histories) by its name's exact bytes.
//
// Only a regular file is read. A FIFO or a device could block the program or never end,
// and a directory is no file, so these are refused before they are read: memory and time
// stay in proportion to the file.

#include <QFile>
#include <QString>

namespace inputfile {

enum class Status { Opened, Missing, Failed };

// Opens `path` for reading into `file`. Missing: nothing by that name; Failed: it cannot be
// opened or is not a regular file, with the system's reason in *reason.
Status Open(const QString& path, QFile& file, QString* reason);

// The most a file read whole into memory may hold (templates, a folder's list of files):
// far beyond any real one, far below what would exhaust memory.
inline constexpr qint64 kMaxReadBytes = qint64(16) << 20;

// Reads the whole regular file at `path`, at most kMaxReadBytes. Missing or Failed as Open,
// a larger file failing with a reason that says so.
Status ReadWhole(const QString& path, QByteArray* bytes, QString* reason);

// True when something by that name exists (a link counts by what it leads to).
bool Exists(const QString& path);

// The system's text for an errno value, as shown after the program's own message.
QString Reason(int error);

// The program's message followed by the system's reason, when there is one.
QString WithReason(const QString& message, const QString& reason);

}  // namespace inputfile
