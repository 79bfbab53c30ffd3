#include "cli/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>

std::optional<SettingsFile> ReadSettingsFile(const QString& path, QString* error) {
  const QString name = QStringLiteral("settings file ") + path;
  // A FIFO or a device would block or never end; only a regular file is read.
  const QFileInfo info(path);
  if (!info.exists()) {
    *error = name + QStringLiteral(" not found");
    return std::nullopt;
  }
  if (!info.isFile()) {
    *error = name + QStringLiteral(" is not a regular file");
    return std::nullopt;
  }
  QFile probe(path);
  if (!probe.open(QIODevice::ReadOnly)) {
    *error = name + QStringLiteral(" can't be read: ") + probe.errorString();
    return std::nullopt;
  }
  probe.close();

  QSettings store(path, QSettings::IniFormat);
  const QStringList keys = store.allKeys();
  if (store.status() != QSettings::NoError) {
    *error = name + QStringLiteral(" is not an INI file");
    return std::nullopt;
  }
  const QStringList known = SettingsValueNames();
  if (std::none_of(keys.begin(), keys.end(), [&](const QString& k) { return known.contains(k); })) {
    *error = name + QStringLiteral(" holds none of the settings' value names (Document_parts, "
                                   "Function_opentag, ...) in its [General] section");
    return std::nullopt;
  }
  SettingsFile file;
  QStringList notText;
  file.settings = LoadSettings(store, &notText);
  for (const QString& value : notText)
    file.warnings.append(QStringLiteral("warning: %1 in %2 is not a text; its default is used")
                             .arg(value, path));
  return file;
}
