#pragma once
// The project file (*.vlm): one encoded value per line, CR LF, Windows-1252.
//
// Every value is written with EncodeLine so that multi-line texts fit on one line. Line
// order: Name, Version, General, then per kind (Tables, Views, Procedures and functions,
// Packages, Sequences, Roles) the Sequences/Roles section text, the count, and one row per
// entry, with the shifts the format prescribes.

#include <QString>
#include <optional>

#include "project/project.h"

// Encodes each character as a length digit and the decimal of (code - shift). The code is
// the Windows-1252 byte; a character outside the code page is written with its Unicode code
// point, whose decimal may be longer than three digits (the decoder reads it unchanged).
QString EncodeLine(const QString& text, int shift);

// The inverse of EncodeLine; nullopt when the line is not a valid encoding.
std::optional<QString> DecodeLine(const QString& line, int shift);

// Writes the whole project to `path` in place (see file_replacement.h: the file stays the
// same file, its complete new copy is kept beside it until the write is on disk, and a
// failed write leaves the old one whole). On success: shows the file's times and
// clears the "Modified" marker. On failure returns false with "ERROR: Vellumar Project file
// <path> can't be created." and the system's reason in *error, and leaves the marker as it
// was.
bool WriteProject(Project& project, const QString& path, QString* error);

// Reads `path` (a regular file) into a new set of contents and replaces the project with it
// only when the whole file was read; then shows the file's times. The "Modified" marker is
// not touched. On failure the project is unchanged and *error holds "ERROR: Vellumar
// Project file <path> can't be opened." and, where the system gave one, its reason.
bool ReadProject(Project& project, const QString& path, QString* error);
