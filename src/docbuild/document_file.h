#pragma once
// The document file of one build, written as the build goes, so that a build holds no more
// of the document than the lines not yet handed over, whatever its size.
//
// Header lines (title block, contents) and body lines (the sections) are encoded as they
// come into two temporary files, beside the output where one can be made there, else in
// the system's temporary directory. Save then writes the header's bytes and the body's, in
// that order, to the output through a file replacement: the old document stays whole until
// the new one is complete, and a build that fails or is abandoned leaves no document and no
// temporary file behind.
//
// The bytes: Windows-1252, every line followed by CR LF, no byte-order mark. A character
// the code page cannot hold becomes, for HTML, its numeric character reference ("&#937;",
// by code point) and is not lost; for text, "?", counted. A line may itself hold line
// breaks; it goes out unchanged.

#include <QString>
#include <QStringList>
#include <memory>

class DocumentFile {
 public:
  DocumentFile(const QString& path, bool htmlOutput);
  ~DocumentFile();
  DocumentFile(const DocumentFile&) = delete;
  DocumentFile& operator=(const DocumentFile&) = delete;

  // Encodes the lines, in order after those handed over before, and empties the list.
  void AppendHeader(QStringList& lines);
  void AppendBody(QStringList& lines);

  // Writes the document to the output path. False with the system's reason in *error; the
  // old file is then as it was.
  bool Save(QString* error);

  // Text output: the characters written as "?" so far.
  int Replaced() const;

 private:
  class Part;
  QString path_;
  std::unique_ptr<Part> header_, body_;
};
