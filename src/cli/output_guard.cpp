#include "cli/output_guard.h"

#include <sys/stat.h>

#include "text/file_name.h"

namespace {

std::optional<struct stat> StatOf(const QString& path) {
  struct stat st {};
  if (::stat(filename::ToBytes(path).constData(), &st) != 0) return std::nullopt;
  return st;
}

QString KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return QStringLiteral("a directory");
  if (S_ISFIFO(mode)) return QStringLiteral("a FIFO");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("a device");
  return QStringLiteral("not a regular file");
}

}  // namespace

std::optional<OutputRefusal> RefuseOutput(const QString& outputPath,
                                          const QList<BuildInput>& inputs) {
  // What does not exist yet is created; what can't be looked at fails when it is written.
  const auto output = StatOf(outputPath);
  if (!output) return std::nullopt;
  for (const BuildInput& input : inputs) {
    const auto in = StatOf(input.path);
    if (in && in->st_dev == output->st_dev && in->st_ino == output->st_ino) {
      return OutputRefusal{OutputRefusal::Why::ReplacesInput,
                           QStringLiteral("OUTPUT %1 is %2 %3; nothing is built")
                               .arg(outputPath, input.role, input.path)};
    }
  }
  if (!S_ISREG(output->st_mode)) {
    return OutputRefusal{OutputRefusal::Why::NotRegularFile,
                         QStringLiteral("OUTPUT %1 is %2; nothing is written")
                             .arg(outputPath, KindOf(output->st_mode))};
  }
  return std::nullopt;
}
