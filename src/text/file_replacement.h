#pragma once
// Replacing a file's contents so that it is always the old file or the new one, and stays
// the same file. Every file the program writes goes through here.
//
// The caller writes the complete new bytes into a temporary file beside the target; Commit
// flushes them to disk and then overwrites an existing target in place, so its creation
// time, mode, owner and hard links survive, and a symbolic link still leads to it (the
// file at the end of the link is what is written). Room for the new size is reserved
// before the first byte is overwritten; if the write still fails part way, the complete
// temporary file is renamed over the target instead. A target that does not exist is the
// temporary file renamed into place (a new file gets its creation time then, once).
//
// Where no temporary file can be made beside the target (a directory the user cannot
// write) but the target exists and is writable, the new bytes and a copy of the old ones
// go to the system's temporary directory and the target is overwritten in place; if that
// write fails part way, the old bytes are written back. Only a crash during that last copy
// can leave a mix there.

#include <QIODevice>
#include <QString>

struct stat;

class FileReplacement {
 public:
  enum class Outcome {
    New,      // the target holds the new bytes
    Old,      // the target holds its old bytes, or still does not exist
    Damaged,  // a failure left neither; Error() says where the complete bytes are kept
  };

  explicit FileReplacement(const QString& path);
  ~FileReplacement();  // aborts a replacement that was not committed
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Makes the temporary file. False, with the reason in Error(), when none can be made or
  // the target is not a regular file; nothing has changed then.
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

  Outcome CommitBeside(const struct stat& target);
  Outcome CommitInPlaceOnly();
  Outcome Fail(int error, Outcome outcome);
  void CloseTemp();

  QString path_;
  QByteArray target_;      // the file's name as bytes, links followed
  QByteArray tempName_;    // the temporary file beside the target; empty in place only
  int tempFd_ = -1;
  Sink sink_;
  QString error_;
};
