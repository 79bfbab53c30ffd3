#include "text/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/file_name.h"

namespace inputfile {
namespace {

QString NotRegular(mode_t mode) {
  return S_ISDIR(mode) ? Reason(EISDIR) : QStringLiteral("Not a regular file");
}

}  // namespace

Status Open(const QString& path, QFile& file, QString* reason) {
  const QByteArray name = filename::ToBytes(path);
  const auto fail = [&](const QString& why) {
    if (reason) *reason = why;
    return Status::Failed;
  };
  struct stat st {};
  if (::stat(name.constData(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Status::Missing;
    return fail(Reason(errno));
  }
  if (!S_ISREG(st.st_mode)) return fail(NotRegular(st.st_mode));
  // O_NONBLOCK: should the name have become a FIFO since, opening it must not wait.
  const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? Status::Missing : fail(Reason(errno));
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const QString why = NotRegular(st.st_mode);
    ::close(fd);
    return fail(why);
  }
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return fail(file.errorString());
  }
  return Status::Opened;
}

Status ReadWhole(const QString& path, QByteArray* bytes, QString* reason) {
  QFile file;
  const Status status = Open(path, file, reason);
  if (status != Status::Opened) return status;
  if (file.size() > kMaxReadBytes) {
    if (reason) *reason = QStringLiteral("It is larger than %1 MiB").arg(kMaxReadBytes >> 20);
    return Status::Failed;
  }
  // Read to a bound even so: the file may have grown since its size was taken.
  *bytes = file.read(kMaxReadBytes + 1);
  if (file.error() != QFileDevice::NoError || bytes->size() > kMaxReadBytes) {
    if (reason)
      *reason = file.error() != QFileDevice::NoError
                    ? file.errorString()
                    : QStringLiteral("It is larger than %1 MiB").arg(kMaxReadBytes >> 20);
    return Status::Failed;
  }
  return Status::Opened;
}

bool Exists(const QString& path) {
  struct stat st {};
  return ::stat(filename::ToBytes(path).constData(), &st) == 0;
}

QString Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString WithReason(const QString& message, const QString& reason) {
  if (reason.isEmpty()) return message;
  return message + u' ' + reason + (reason.endsWith(u'.') ? QString() : QStringLiteral("."));
}

}  // namespace inputfile
