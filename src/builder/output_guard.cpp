#include "builder/output_guard.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QRegularExpression>

#include "modern/output_folder.h"
#include "text/file_name.h"

namespace {

std::optional<struct stat> StatOf(const QString& path, bool followLinks = true) {
  struct stat st {};
  const QByteArray name = filename::ToBytes(path);
  if ((followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0)
    return std::nullopt;
  return st;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QString KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return QStringLiteral("a directory");
  if (S_ISFIFO(mode)) return QStringLiteral("a FIFO");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("a device");
  if (S_ISLNK(mode)) return QStringLiteral("a symbolic link");
  if (S_ISREG(mode)) return QStringLiteral("a file");
  return QStringLiteral("not a regular file");
}

// A name the Markdown build writes: README.md, its list of files, or an object's page or
// drawing (named from its anchor).
bool WrittenByMarkdown(const QString& name) {
  static const QRegularExpression object(QStringLiteral("^[a-z0-9_$.~-]+\\.(md|svg)$"));
  return name == QLatin1String("README.md") || name == QLatin1String(kManifestName) ||
         object.match(name).hasMatch();
}

// The path with every link resolved, or the path itself when it cannot be resolved.
QString Resolved(const QString& path) {
  char real[PATH_MAX];
  return ::realpath(filename::ToBytes(path).constData(), real) ? filename::FromBytes(real) : path;
}

// True when `path` names an entry that the Markdown build writes into the folder `folder`
// or into a folder of a database and owner below it.
bool InFolder(const QString& path, const struct stat& folder) {
  const qsizetype slash = path.lastIndexOf(u'/');
  if (!WrittenByMarkdown(path.mid(slash + 1))) return false;
  QString parentPath = slash < 0 ? QStringLiteral("./") : path.left(slash + 1);
  for (int depth = 0; depth <= 2; ++depth, parentPath += QStringLiteral("../")) {
    const auto parent = StatOf(parentPath);
    if (parent && SameFile(*parent, folder)) return true;
  }
  return false;
}

}  // namespace

std::optional<OutputRefusal> RefuseOutput(const QString& outputPath,
                                          const QList<BuildInput>& inputs) {
  // What does not exist yet is created; what can't be looked at fails when it is written.
  const auto output = StatOf(outputPath);
  if (!output) return std::nullopt;
  for (const BuildInput& input : inputs) {
    const auto in = StatOf(input.path);
    if (in && SameFile(*in, *output)) {
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

std::optional<OutputRefusal> RefuseOutputFolder(const QString& folder,
                                                const QList<BuildInput>& inputs) {
  const auto output = StatOf(folder, false);
  if (!output) return std::nullopt;
  if (!S_ISDIR(output->st_mode)) {
    return OutputRefusal{OutputRefusal::Why::NotRegularFile,
                         QStringLiteral("OUTPUT %1 is %2, not a folder; nothing is written")
                             .arg(folder, KindOf(output->st_mode))};
  }
  for (const BuildInput& input : inputs) {
    // By the name it is read under, and where that name leads.
    if (InFolder(input.path, *output) || InFolder(Resolved(input.path), *output)) {
      return OutputRefusal{OutputRefusal::Why::ReplacesInput,
                           QStringLiteral("OUTPUT folder %1 holds %2 %3, which the build "
                                          "would replace; nothing is built")
                               .arg(folder, input.role, input.path)};
    }
  }
  return std::nullopt;
}
