#pragma once
// The history files: text lines, each ended by CR LF, no byte-order mark.
//
// A line is written in Windows-1252 whenever the code page can spell it, so files read by
// and written on Windows stay as they were. A line it cannot spell (a path with other
// characters, or with file-name bytes that are not UTF-8: see file_name.h) is written as
// UTF-8 instead, and the reader recognises it line by line: a line that is valid UTF-8 and
// holds a byte above 127 is UTF-8, any other is Windows-1252. A line whose Windows-1252
// bytes would pass for UTF-8 is written as UTF-8, so it too reads back unchanged.
//
// The reader also accepts bare LF line ends (files edited on Linux) and a last line
// without an end.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace linefile {

struct ReadResult {
  bool ok = false;
  bool missing = false;  // no file by that name (ok is false too)
  QStringList lines;
  QString error;  // the system's reason when !ok
};

// Reads the whole file, which must be a regular file.
ReadResult Read(const QString& path);

// One line's text from its bytes (without the line end), and the bytes of a line's text.
QString DecodeLine(QByteArrayView bytes);
QByteArray EncodeLine(QStringView text);

// Replaces the file with the lines (see file_replacement.h). False with the system's
// reason in *error.
bool Write(const QString& path, const QStringList& lines, QString* error = nullptr);

}  // namespace linefile
