#pragma once
// The document file: every line followed by CR LF, in Windows-1252, no byte-order mark.

#include <QString>
#include <QStringList>

// Writes the file, replacing any existing one as file_replacement.h says: a failed write
// leaves the old document (or none) and never a partial one. A character the code page cannot hold becomes, for HTML, its numeric
// character reference ("&#937;", by code point) and is not lost; for text, "?", counted in
// *replaced. False with the system's reason in *error. Each line is released as soon as it
// is encoded, so a large document's lines are freed while they are still in the cache and
// its lines and bytes are never all held at once: pass the document's buffers moved.
bool SaveDocument(const QString& path, QStringList lines, bool htmlOutput, int* replaced,
                  QString* error);
// The header's lines followed by the body's, without first joining the two buffers.
bool SaveDocument(const QString& path, QStringList header, QStringList body, bool htmlOutput,
                  int* replaced, QString* error);
