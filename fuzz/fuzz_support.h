#pragma once
// What the fuzz targets share: a failed property aborts with what it was, and the readers
// that take a path read the input from a scratch file (in $TMPDIR; `make fuzz-run` puts
// it in memory).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Check(bool ok, const char* what, const QString& where = QString()) {
  if (ok) return;
  std::fprintf(stderr, "violated: %s\n%s\n", what, where.toUtf8().constData());
  std::abort();
}

// A path named `name` in the process's scratch directory.
inline QString ScratchPath(const QString& name) {
  static QTemporaryDir dir;
  return dir.filePath(name);
}

inline QByteArray ReadScratch(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the input as the file `name` and returns its path.
inline QString WriteScratch(const QString& name, const uint8_t* data, size_t size) {
  const QString path = ScratchPath(name);
  QFile f(path);
  Check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file opens", path);
  Check(f.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size),
        "the scratch file is written", path);
  return path;
}

}  // namespace fuzz
