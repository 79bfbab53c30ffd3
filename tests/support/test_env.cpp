#include "test_env.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace testenv {
namespace {
std::unique_ptr<QTemporaryDir> g_home;
}

void Isolate() {
  g_home = std::make_unique<QTemporaryDir>();
  const QString home = g_home->path();
  for (const char* sub : {"config", "data", "cache"}) QDir(home).mkpath(sub);
  qputenv("HOME", home.toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (home + "/config").toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home + "/data").toLocal8Bit());
  qputenv("XDG_CACHE_HOME", (home + "/cache").toLocal8Bit());
  // Locale-dependent texts (the file times' separators) are checked in the C locale.
  qputenv("LC_ALL", "C");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString Home() { return g_home ? g_home->path() : QString(); }

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size());
}

QString SourceDir() { return QStringLiteral(VELLUMAR_SOURCE_DIR); }

}  // namespace testenv
