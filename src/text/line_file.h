#pragma once
// Text files made of lines: Windows-1252 bytes, every line ended by CR LF, no byte-order
// mark. The reader also accepts bare LF line ends (files edited on Linux) and a last line
// without an end.

#include <QString>
#include <QStringList>

namespace linefile {

struct ReadResult {
  bool ok = false;
  QStringList lines;
  QString error;  // the system's reason when !ok
};

// Reads the whole file. A missing or unreadable file (or a directory) gives ok == false.
ReadResult Read(const QString& path);

// Splits decoded file content into lines (CR LF or LF); a final line end adds no empty line.
QStringList SplitLines(const QString& content);

// Joins lines into file bytes, every line followed by CR LF; characters outside the code
// page become "?" and are counted in *replaced.
QByteArray Join(const QStringList& lines, int* replaced = nullptr);

// Writes the lines atomically: the old file stays whole unless the new one was written
// completely. Returns false with the reason in *error.
bool Write(const QString& path, const QStringList& lines, QString* error = nullptr,
           int* replaced = nullptr);

// Appends one line (with CR LF) to the end of an existing or new file.
bool Append(const QString& path, const QString& line, QString* error = nullptr,
            int* replaced = nullptr);

}  // namespace linefile
