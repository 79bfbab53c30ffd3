#include "text/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "text/file_name.h"
#include "text/input_file.h"
#include "text/kill_point.h"

namespace {

// A file name longer than this gets a shortened name for its temporary file, which must
// still fit in one directory entry.
constexpr qsizetype kTempBaseLength = 200;
constexpr int kMaxLinks = 40;
// How much of the temporary file is written before the disk is asked to start on it.
constexpr qint64 kWriteBack = 4 << 20;
// An overwrite in place goes in pieces of this size.
constexpr qsizetype kPiece = 1 << 20;
// The complete new file kept beside one that is being overwritten in place.
constexpr char kCopySuffix[] = ".vellumar-save";

QString NotRegular(mode_t mode) {
  return S_ISDIR(mode) ? inputfile::Reason(EISDIR) : QStringLiteral("Not a regular file");
}

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

// A new file of a name no other file has (mkostemp creates it exclusively, so a link
// planted under that name is never followed). Mode 0600.
int MakeTemp(const QByteArray& beside, QByteArray* name) {
  QByteArray pattern = DirOf(beside) + '/' +
                       beside.mid(beside.lastIndexOf('/') + 1).left(kTempBaseLength) + ".XXXXXX";
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

bool ReadAll(int fd, QByteArray* bytes, int* error) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    *error = errno;
    return false;
  }
  bytes->resize(st.st_size);
  for (qsizetype at = 0; at < bytes->size();) {
    const ssize_t got = ::pread(fd, bytes->data() + at, bytes->size() - at, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      *error = got < 0 ? errno : EIO;
      return false;
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
  nlink_t links = 1;     // the names the file has
  QByteArray old;        // its old bytes, where it has other names to restore them under
};

// Writes `bytes` over the file `target` in place and cuts it to their size. Room is
// reserved first, so that a full disk fails before anything changes.
Overwritten Overwrite(QByteArrayView bytes, const QByteArray& target, bool keepOld) {
  Overwritten r;
  const int fd =
      ::open(target.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
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
  r.links = st.st_nlink;
  if (keepOld && r.links > 1 && !ReadAll(fd, &r.old, &r.error)) {
    ::close(fd);
    return r;
  }
  if (bytes.size() > st.st_size && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS) {
    r.error = errno;
    ::close(fd);
    return r;
  }
  r.ok = true;
  for (qsizetype at = 0; r.ok && at < bytes.size();) {
    const ssize_t put =
        ::pwrite(fd, bytes.data() + at, std::min(kPiece, bytes.size() - at), at);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      r.ok = false;
      r.error = put < 0 ? errno : EIO;
      break;
    }
    r.touched = true;
    at += put;
    killpoint::Reach("replace.overwrite");
  }
  if (r.ok && st.st_size != bytes.size()) {
    r.touched = true;
    if (::ftruncate(fd, bytes.size()) != 0) {
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

FileReplacement::FileReplacement(const QString& path, Mode mode) : path_(path), mode_(mode) {}

FileReplacement::~FileReplacement() { Abort(); }

std::optional<QString> FileReplacement::InterruptedCopy(const QString& path) {
  const QByteArray copy = FollowLinks(filename::ToBytes(path)) + kCopySuffix;
  struct stat st {};
  if (::lstat(copy.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return filename::FromBytes(copy);
}

bool FileReplacement::Begin() {
  Abort();
  error_.clear();
  const QByteArray given = filename::ToBytes(path_);
  target_ = mode_ == Mode::InPlace ? FollowLinks(given) : given;
  struct stat st {};
  const bool exists = ::lstat(target_.constData(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode) && !(mode_ == Mode::Rename && S_ISLNK(st.st_mode))) {
    error_ = NotRegular(st.st_mode);
    return false;
  }
  if (exists && S_ISREG(st.st_mode)) {
    // A file that cannot be written (read-only, busy) fails now, not after its new bytes
    // were made; it is never replaced behind the user's back.
    const int probe =
        ::open(target_.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (probe < 0) {
      error_ = inputfile::Reason(errno);
      return false;
    }
    ::close(probe);
  }
  tempFd_ = MakeTemp(target_, &tempName_);
  if (tempFd_ < 0) {
    error_ = inputfile::Reason(errno);
    return false;
  }
  named_.Set(tempName_);
  sink_.Open(tempFd_);
  return true;
}

FileReplacement::Outcome FileReplacement::Commit() {
  error_.clear();
  if (tempFd_ < 0) return Fail(EBADF, Outcome::Old);
  if (sink_.Error() != 0) return Fail(sink_.Error(), Outcome::Old);
  sink_.close();
  if (::fsync(tempFd_) != 0) return Fail(errno, Outcome::Old);
  killpoint::Reach("replace.complete");
  const temporaryfiles::SignalHold hold;
  return mode_ == Mode::Rename ? CommitRename() : CommitInPlace();
}

FileReplacement::Outcome FileReplacement::CommitRename() {
  // The replaced file's mode, and its owner where the system lets another owner be given;
  // a link or a new name gets a new file's mode.
  struct stat st {};
  const bool regular = ::lstat(target_.constData(), &st) == 0 && S_ISREG(st.st_mode);
  if (::fchmod(tempFd_, regular ? st.st_mode & 07777 : NewFileMode()) != 0)
    return Fail(errno, Outcome::Old);
  if (regular) [[maybe_unused]] const int owned = ::fchown(tempFd_, st.st_uid, st.st_gid);
  if (::rename(tempName_.constData(), target_.constData()) != 0) return Fail(errno, Outcome::Old);
  named_.Forget();
  tempName_.clear();
  CloseTemp();
  SyncDirectory(DirOf(target_));
  killpoint::Reach("replace.done");
  return Outcome::New;
}

FileReplacement::Outcome FileReplacement::CommitInPlace() {
  struct stat st {};
  if (::lstat(target_.constData(), &st) != 0) {
    if (errno != ENOENT) return Fail(errno, Outcome::Old);
    // A new file: the temporary one becomes it, and is born once.
    if (::fchmod(tempFd_, NewFileMode()) != 0 ||
        ::rename(tempName_.constData(), target_.constData()) != 0)
      return Fail(errno, Outcome::Old);
    named_.Forget();
    tempName_.clear();
    CloseTemp();
    SyncDirectory(DirOf(target_));
    return Outcome::New;
  }
  if (!S_ISREG(st.st_mode)) {
    Abort();
    error_ = NotRegular(st.st_mode);
    return Outcome::Old;
  }
  QByteArray fresh;
  int error = 0;
  if (!ReadAll(tempFd_, &fresh, &error)) return Fail(error, Outcome::Old);

  // The complete copy goes beside the file under its known name, replacing one an earlier
  // interrupted write left, before the file is touched.
  const QByteArray copy = target_ + kCopySuffix;
  if (::rename(tempName_.constData(), copy.constData()) != 0) return Fail(errno, Outcome::Old);
  named_.Forget();
  tempName_.clear();
  SyncDirectory(DirOf(target_));
  killpoint::Reach("replace.copy-kept");

  const Overwritten r = Overwrite(fresh, target_, true);
  if (r.ok || !r.touched) {
    ::unlink(copy.constData());
    SyncDirectory(DirOf(target_));
    CloseTemp();
    if (r.ok) return Outcome::New;
    error_ = inputfile::Reason(r.error);
    return Outcome::Old;
  }
  // Half-written. A file with this one name gets the complete copy in its place, with its
  // mode and owner; one with more names gets its old bytes back, or every name would hold
  // something else.
  if (r.links <= 1) {
    ::fchmod(tempFd_, st.st_mode & 07777);
    [[maybe_unused]] const int owned = ::fchown(tempFd_, st.st_uid, st.st_gid);
    if (::rename(copy.constData(), target_.constData()) == 0) {
      CloseTemp();
      SyncDirectory(DirOf(target_));
      return Outcome::New;
    }
  } else if (Overwrite(r.old, target_, false).ok) {
    ::unlink(copy.constData());
    CloseTemp();
    error_ = inputfile::Reason(r.error);
    return Outcome::Old;
  }
  error_ = inputfile::Reason(r.error) +
           QStringLiteral("; the complete file is kept as %1").arg(filename::FromBytes(copy));
  CloseTemp();
  return Outcome::Damaged;
}

FileReplacement::Outcome FileReplacement::Fail(int error, Outcome outcome) {
  Abort();
  error_ = inputfile::Reason(error);
  return outcome;
}

void FileReplacement::Abort() {
  sink_.close();
  if (!tempName_.isEmpty()) ::unlink(tempName_.constData());
  named_.Forget();
  tempName_.clear();
  CloseTemp();
}

void FileReplacement::CloseTemp() {
  if (tempFd_ >= 0) ::close(tempFd_);
  tempFd_ = -1;
}
