#pragma once
// The bytes of a document file: every line followed by CR LF, in Windows-1252, no
// byte-order mark.

#include <QByteArray>
#include <QString>
#include <QStringList>

// A character the code page cannot hold becomes, for HTML, its numeric character reference
// ("&#8364;" style, by code point) and is not lost; for text, "?", counted in *replaced.
QByteArray EncodeDocument(const QStringList& lines, bool htmlOutput, int* replaced);

// Writes the file in one piece, replacing any existing file; a failed write leaves no
// partial document. False with the system's reason in *error.
bool SaveDocument(const QString& path, const QStringList& lines, bool htmlOutput,
                  int* replaced, QString* error);
