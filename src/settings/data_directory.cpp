#include "settings/data_directory.h"

#include <QCoreApplication>
#include <QDir>

QString DataDirectory() {
  if (!QCoreApplication::instance()) return {};
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/" VELLUMAR_DATA_FROM_BIN));
}

QString HelpDirectory() { return DataDirectory() + QStringLiteral("/help"); }
