#pragma once
// The document file: every line followed by CR LF, in Windows-1252, no byte-order mark.

#include <QString>
#include <QStringList>

// Writes the file in one piece, replacing any existing file; a failed write leaves no
// partial document. A character the code page cannot hold becomes, for HTML, its numeric
// character reference ("&#937;", by code point) and is not lost; for text, "?", counted in
// *replaced. False with the system's reason in *error.
bool SaveDocument(const QString& path, const QStringList& lines, bool htmlOutput,
                  int* replaced, QString* error);
