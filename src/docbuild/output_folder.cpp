#include "docbuild/output_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kStagedSuffix = ".vellumar-new";

// A name the manifest may name: a plain file name, never a path out of the folder.
bool IsPlainName(const QString& name) {
  return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && name != u'.' &&
         name != QStringLiteral("..");
}

QStringList ManifestNames(const QDir& dir) {
  QFile file(dir.filePath(QString::fromLatin1(kManifestName)));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList names;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QString name = QString::fromUtf8(line).trimmed();
    if (IsPlainName(name)) names.append(name);
  }
  return names;
}

// The messages name the file the user will look for, never its temporary name.
bool WriteWhole(const QString& path, const QString& shown, const QByteArray& bytes,
                QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(bytes) != bytes.size() || !file.flush()) {
    *error = QStringLiteral("Can't write %1: %2.")
                 .arg(QDir::toNativeSeparators(shown), file.errorString());
    return false;
  }
  return true;
}

bool Rename(const QString& from, const QString& to, QString* error) {
  std::error_code ec;
  std::filesystem::rename(from.toStdU16String(), to.toStdU16String(), ec);
  if (!ec) return true;
  *error = QStringLiteral("Can't replace %1: %2.")
               .arg(QDir::toNativeSeparators(to), QString::fromStdString(ec.message()));
  return false;
}

}  // namespace

bool WriteOutputFolder(const QString& folder, const QList<OutputFile>& files, QString* error) {
  const QFileInfo info(folder);
  if (info.exists() && !info.isDir()) {
    *error = QStringLiteral("%1 is a file, not a folder.").arg(QDir::toNativeSeparators(folder));
    return false;
  }
  const bool made = !info.exists();
  if (made && !QDir().mkpath(folder)) {
    *error = QStringLiteral("Can't create the folder %1.").arg(QDir::toNativeSeparators(folder));
    return false;
  }
  const QDir dir(folder);

  QList<OutputFile> all = files;
  QStringList names;
  for (const OutputFile& f : files) names.append(f.name);
  names.sort();
  all.append({QString::fromLatin1(kManifestName), names.join(u'\n').toUtf8() + '\n'});

  QStringList staged;
  auto undo = [&] {
    for (const QString& s : staged) QFile::remove(s);
    if (made) QDir().rmdir(folder);
  };
  for (const OutputFile& f : all) {
    const QString temp = dir.filePath(f.name + QString::fromLatin1(kStagedSuffix));
    staged.append(temp);
    if (!WriteWhole(temp, dir.filePath(f.name), f.bytes, error)) {
      undo();
      return false;
    }
  }

  const QStringList previous = ManifestNames(dir);
  for (qsizetype i = 0; i < all.size(); ++i) {
    if (!Rename(staged[i], dir.filePath(all[i].name), error)) {
      staged = staged.mid(i);
      undo();
      return false;
    }
  }
  const QSet<QString> current(names.cbegin(), names.cend());
  for (const QString& old : previous)
    if (!current.contains(old)) QFile::remove(dir.filePath(old));
  return true;
}
