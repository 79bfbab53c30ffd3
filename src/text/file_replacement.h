#pragma once
// Replacing a file's contents so that, whatever happens, the name holds the old file or the
// new one. Every file the program writes goes through here.
//
// The caller writes the complete new bytes into a temporary file beside the target, made
// under a unique name that nothing else holds (never through a link). Commit flushes it and
// then, by the mode:
//  - Rename (documents, histories): renames it over the target's name. A symbolic link in
//    that place is replaced, never written through; an existing file's mode is kept.
//  - InPlace (the project file, whose creation time is its Created): writes the bytes over
//    the file itself, links followed, so its creation time, mode, owner and hard links
//    survive. Before the first byte is overwritten, the complete new file is kept beside it
//    (InterruptedCopy names it) and stays there until the overwrite is on disk: a program
//    killed half-way leaves that copy, which the next open offers. A write that fails part
//    way gives the name the complete copy where the file has no other name; where it has
//    others (hard links), its old bytes are written back, so that no name is left holding
//    neither.
// A target that does not exist yet is the temporary file renamed into place. Where no
// temporary file can be made beside the target (a folder the user cannot write), nothing is
// written and Begin says why.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <optional>

#include "text/temporary_files.h"

class FileReplacement {
 public:
  enum class Mode { Rename, InPlace };

  enum class Outcome {
    New,      // the target holds the new bytes
    Old,      // the target holds its old bytes, or still does not exist
    Damaged,  // a failure left neither; Error() says where the complete bytes are kept
  };

  explicit FileReplacement(const QString& path, Mode mode = Mode::Rename);
  ~FileReplacement();  // aborts a replacement that was not committed
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Makes the temporary file. False, with the reason in Error(), when none can be made or
  // the target is not a regular file or cannot be written; nothing has changed then.
  bool Begin();

  // The temporary file, open for writing, from Begin to Commit or Abort. A write that
  // fails makes Commit fail with its reason.
  QIODevice& File() { return sink_; }

  // Puts the new bytes in place and removes the temporary file.
  Outcome Commit();

  // Removes the temporary file; the target stays as it was.
  void Abort();

  // The system's reason for the failure of Begin or Commit (strerror text).
  const QString& Error() const { return error_; }

  // The complete copy an interrupted in-place write of `path` left beside it, if any.
  static std::optional<QString> InterruptedCopy(const QString& path);

 private:
  // Writes all it is given to the temporary file, or remembers why it could not. The
  // disk is asked to start on every few MiB written, so that Commit's flush finds little
  // left to write.
  class Sink : public QIODevice {
   public:
    void Open(int fd);
    int Error() const { return error_; }

   protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

   private:
    int fd_ = -1;
    int error_ = 0;
    qint64 written_ = 0;  // bytes written so far
    qint64 started_ = 0;  // bytes the disk was asked to write back
  };

  Outcome CommitRename();
  Outcome CommitInPlace();
  Outcome Fail(int error, Outcome outcome);
  void CloseTemp();

  QString path_;
  Mode mode_;
  QByteArray target_;    // the name written: as given (Rename) or with links followed
  QByteArray tempName_;  // the temporary file beside the target
  int tempFd_ = -1;
  temporaryfiles::Named named_;
  Sink sink_;
  QString error_;
};
