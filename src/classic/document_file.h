#pragma once
// The document file of one build, written as the build goes, so that a build holds no more
// of the document than the lines not yet handed over, whatever its size.
//
// The lines are encoded as they come, straight into a file replacement of the output: the
// old document stays whole until the new one is complete, and a build that fails or is
// abandoned leaves no document and no temporary file behind. A build hands over the
// header's lines (title block, contents) first, made in a pass of their own, then the
// body's, so no part of the document is written twice.
//
// The bytes: Windows-1252, every line followed by CR LF, no byte-order mark. A character
// the code page cannot hold becomes, for HTML, its numeric character reference ("&#937;",
// by code point) and is not lost; for text, "?", counted. A line may itself hold line
// breaks; it goes out unchanged.

#include <QString>
#include <QStringList>
#include <memory>

#include "text/file_replacement.h"

class DocumentEncoder;

class DocumentFile {
 public:
  DocumentFile(const QString& path, bool htmlOutput);
  ~DocumentFile();
  DocumentFile(const DocumentFile&) = delete;
  DocumentFile& operator=(const DocumentFile&) = delete;

  // Encodes the lines, in order after those handed over before, and empties the list.
  void Append(QStringList& lines);

  // Puts the document in place of the output. False with the system's reason in *error;
  // the old file is then as it was.
  bool Save(QString* error);

  // Text output: the characters written as "?" so far.
  int Replaced() const;

 private:
  void Flush();

  FileReplacement out_;
  bool begun_ = false;
  std::unique_ptr<DocumentEncoder> encoder_;
};
