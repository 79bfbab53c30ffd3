#include "text/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "text/file_name.h"
#include "text/input_file.h"

namespace {

// A file name longer than this gets a shortened name for its temporary file, which must
// still fit in one directory entry.
constexpr qsizetype kTempBaseLength = 200;
constexpr int kMaxLinks = 40;
// How much of the temporary file is written before the disk is asked to start on it.
constexpr qint64 kWriteBack = 4 << 20;

QByteArray DirOf(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  if (slash < 0) return ".";
  return slash == 0 ? QByteArray("/") : path.left(slash);
}

// The file a name leads to: each symbolic link is replaced by where it points, so that
// the file, not the link, is written (the link's target need not exist yet).
QByteArray FollowLinks(QByteArray path) {
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    QByteArray link(st.st_size > 0 ? st.st_size + 1 : 4096, '\0');
    const ssize_t n = ::readlink(path.constData(), link.data(), link.size());
    if (n <= 0 || n >= link.size()) break;
    link.truncate(n);
    path = link.startsWith('/') ? link : DirOf(path) + '/' + link;
  }
  return path;
}

int MakeTemp(QByteArray pattern, QByteArray* name) {
  pattern += ".XXXXXX";
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd >= 0) *name = pattern;
  return fd;
}

// The mode a newly created file gets: everyone's read and write, less the umask.
mode_t NewFileMode() {
  static const mode_t mode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
  }();
  return mode;
}

void SyncDirectory(const QByteArray& dir) {
  const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Copies `size` bytes of `from` to the start of `to`. *touched tells whether `to` changed.
bool CopyBytes(int from, int to, off_t size, bool* touched, int* error) {
  std::vector<char> buffer(std::min<off_t>(size, 1 << 20));
  for (off_t at = 0; at < size;) {
    const ssize_t got = ::pread(from, buffer.data(), std::min<off_t>(buffer.size(), size - at), at);
    if (got <= 0) {
      *error = got < 0 ? errno : EIO;
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::pwrite(to, buffer.data() + done, got - done, at + done);
      if (put < 0) {
        if (errno == EINTR) continue;
        *error = errno;
        return false;
      }
      *touched = true;
      done += put;
    }
    at += got;
  }
  return true;
}

struct Overwritten {
  bool ok = false;
  bool opened = false;   // the target could be opened for writing
  bool touched = false;  // its bytes may have changed
  int error = 0;
};

// Writes the first `size` bytes of `from` over the file `target` in place and cuts it to
// that size. Room is reserved first, so that a full disk fails before anything changes.
Overwritten Overwrite(int from, off_t size, const QByteArray& target) {
  Overwritten r;
  const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    r.error = errno;
    return r;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    r.error = S_ISREG(st.st_mode) ? errno : EINVAL;
    ::close(fd);
    return r;
  }
  r.opened = true;
  if (size > st.st_size && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS) {
    r.error = errno;
    ::close(fd);
    return r;
  }
  r.ok = CopyBytes(from, fd, size, &r.touched, &r.error);
  if (r.ok && st.st_size != size) {
    r.touched = true;
    if (::ftruncate(fd, size) != 0) {
      r.ok = false;
      r.error = errno;
    }
  }
  if (r.ok && ::fsync(fd) != 0) {
    r.ok = false;
    r.error = errno;
  }
  if (::close(fd) != 0 && r.ok) {
    r.ok = false;
    r.error = errno;
  }
  return r;
}

off_t SizeOf(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 ? st.st_size : -1;
}

}  // namespace

void FileReplacement::Sink::Open(int fd) {
  fd_ = fd;
  error_ = 0;
  written_ = started_ = 0;
  QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FileReplacement::Sink::writeData(const char* data, qint64 size) {
  for (qint64 done = 0; done < size && error_ == 0;) {
    const ssize_t put = ::write(fd_, data + done, size - done);
    if (put > 0)
      done += put;
    else if (put < 0 && errno != EINTR)
      error_ = errno;
  }
  if (error_ != 0) return -1;
  written_ += size;
  if (written_ - started_ >= kWriteBack) {
    // Does not wait, and its failure is harmless: Commit's fsync is what makes the file safe.
    ::sync_file_range(fd_, started_, written_ - started_, SYNC_FILE_RANGE_WRITE);
    started_ = written_;
  }
  return size;
}

FileReplacement::FileReplacement(const QString& path) : path_(path) {}

FileReplacement::~FileReplacement() { Abort(); }

bool FileReplacement::Begin() {
  error_.clear();
  target_ = FollowLinks(filename::ToBytes(path_));
  struct stat st {};
  const bool exists = ::stat(target_.constData(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    error_ = S_ISDIR(st.st_mode) ? inputfile::Reason(EISDIR) : QStringLiteral("Not a regular file");
    return false;
  }
  if (exists) {
    // A file that cannot be written (read-only, busy) fails now, not after its new bytes
    // were made; it is never replaced behind the user's back.
    const int probe = ::open(target_.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (probe < 0) {
      error_ = inputfile::Reason(errno);
      return false;
    }
    ::close(probe);
  }
  const QByteArray base = target_.mid(target_.lastIndexOf('/') + 1).left(kTempBaseLength);
  tempFd_ = MakeTemp(DirOf(target_) + '/' + base, &tempName_);
  if (tempFd_ < 0) {
    // No temporary file beside it: an existing file is written in place, from a temporary
    // file in the system's temporary directory.
    if (!exists) {
      error_ = inputfile::Reason(errno);
      return false;
    }
    QByteArray name;
    tempFd_ = MakeTemp(filename::ToBytes(QDir::tempPath()) + "/vellumar-new", &name);
    if (tempFd_ < 0) {
      error_ = inputfile::Reason(errno);
      return false;
    }
    ::unlink(name.constData());  // never renamed: it goes when it is closed
  }
  sink_.Open(tempFd_);
  return true;
}

FileReplacement::Outcome FileReplacement::Commit() {
  error_.clear();
  if (tempFd_ < 0) return Fail(EBADF, Outcome::Old);
  if (sink_.Error() != 0) return Fail(sink_.Error(), Outcome::Old);
  sink_.close();
  if (::fsync(tempFd_) != 0) return Fail(errno, Outcome::Old);

  if (tempName_.isEmpty()) return CommitInPlaceOnly();
  struct stat st {};
  if (::stat(target_.constData(), &st) == 0) return CommitBeside(st);
  if (::fchmod(tempFd_, NewFileMode()) != 0 ||
      ::rename(tempName_.constData(), target_.constData()) != 0)
    return Fail(errno, Outcome::Old);
  tempName_.clear();
  CloseTemp();
  SyncDirectory(DirOf(target_));
  return Outcome::New;
}

FileReplacement::Outcome FileReplacement::CommitBeside(const struct stat& target) {
  const Overwritten r = Overwrite(tempFd_, SizeOf(tempFd_), target_);
  if (r.ok) {
    Abort();
    return Outcome::New;
  }
  // A file that cannot be opened for writing any more is not replaced behind the user's
  // back; one that failed while being written gets the complete copy instead, with its
  // mode, and its owner where the system lets another owner be given.
  if (!r.opened) return Fail(r.error, Outcome::Old);
  ::fchmod(tempFd_, target.st_mode & 07777);
  [[maybe_unused]] const int owned = ::fchown(tempFd_, target.st_uid, target.st_gid);
  if (::rename(tempName_.constData(), target_.constData()) == 0) {
    tempName_.clear();
    CloseTemp();
    SyncDirectory(DirOf(target_));
    return Outcome::New;
  }
  if (!r.touched) return Fail(r.error, Outcome::Old);
  // The target is neither: the complete new file stays beside it, and the reason says where.
  error_ = inputfile::Reason(r.error) +
           QStringLiteral("; the complete file is kept as %1").arg(filename::FromBytes(tempName_));
  tempName_.clear();
  CloseTemp();
  return Outcome::Damaged;
}

FileReplacement::Outcome FileReplacement::CommitInPlaceOnly() {
  QFile oldFile;
  QString reason;
  if (inputfile::Open(filename::FromBytes(target_), oldFile, &reason) != inputfile::Status::Opened) {
    Abort();
    error_ = reason.isEmpty() ? inputfile::Reason(ENOENT) : reason;
    return Outcome::Old;
  }
  QByteArray oldName;
  const int oldFd = MakeTemp(filename::ToBytes(QDir::tempPath()) + "/vellumar-old", &oldName);
  if (oldFd < 0) return Fail(errno, Outcome::Old);
  const off_t oldSize = SizeOf(oldFile.handle());
  bool copied = false;
  int error = 0;
  if (!CopyBytes(oldFile.handle(), oldFd, oldSize, &copied, &error)) {
    ::close(oldFd);
    ::unlink(oldName.constData());
    return Fail(error, Outcome::Old);
  }
  oldFile.close();

  const Overwritten r = Overwrite(tempFd_, SizeOf(tempFd_), target_);
  Outcome outcome = Outcome::New;
  if (!r.ok) {
    outcome = Outcome::Old;
    error_ = inputfile::Reason(r.error);
    if (r.touched && !Overwrite(oldFd, oldSize, target_).ok) {
      error_ += QStringLiteral("; the old file is kept as %1").arg(filename::FromBytes(oldName));
      oldName.clear();
      outcome = Outcome::Damaged;
    }
  }
  ::close(oldFd);
  if (!oldName.isEmpty()) ::unlink(oldName.constData());
  CloseTemp();
  return outcome;
}

FileReplacement::Outcome FileReplacement::Fail(int error, Outcome outcome) {
  Abort();
  error_ = inputfile::Reason(error);
  return outcome;
}

void FileReplacement::Abort() {
  sink_.close();
  if (!tempName_.isEmpty()) ::unlink(tempName_.constData());
  tempName_.clear();
  CloseTemp();
}

void FileReplacement::CloseTemp() {
  if (tempFd_ >= 0) ::close(tempFd_);
  tempFd_ = -1;
}
