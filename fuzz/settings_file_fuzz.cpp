// Feeds arbitrary bytes to vellumar-build's --settings reader and checks what must hold
// whatever the file holds:
// - a refused file gets a reason that names it;
// - the settings read, saved to the user's kind of store, leave no value empty whose default
//   is not empty (a missing, empty or non-text value has its default; the template
//   directory's default is empty, the built-in templates) and load again as the same
//   settings.

#include <QSettings>

#include "cli/settings_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // QSettings keeps files it has seen in a cache checked by size and time: a new name per
  // input reads every input afresh.
  static int counter = 0;
  const QString name = QString::number(++counter);
  const QString input = fuzz::WriteScratch(name + QStringLiteral(".ini"), data, size);
  QString error;
  const std::optional<SettingsFile> file = ReadSettingsFile(input, &error);
  QFile::remove(input);
  if (!file) {
    fuzz::Check(error.contains(input), "the reason names the file", error);
    return 0;
  }
  const Settings& s = file->settings;
  const QString saved = fuzz::ScratchPath(name + QStringLiteral(".conf"));
  {
    QSettings store(saved, QSettings::IniFormat);
    fuzz::Check(SaveSettings(s, store, &error), "the settings save", error);
  }
  static const QStringList mayBeEmpty = [] {
    QSettings defaults(fuzz::ScratchPath(QStringLiteral("defaults.conf")), QSettings::IniFormat);
    QString ignored;
    SaveSettings(DefaultSettings(), defaults, &ignored);
    QStringList names;
    for (const QString& value : SettingsValueNames())
      if (defaults.value(value).toString().isEmpty()) names.append(value);
    return names;
  }();
  QSettings store(saved, QSettings::IniFormat);
  for (const QString& value : SettingsValueNames())
    fuzz::Check(mayBeEmpty.contains(value) || !store.value(value).toString().isEmpty(),
                "no value is empty unless its default is", value);
  fuzz::Check(LoadSettings(store) == s, "saved settings load the same");
  QFile::remove(saved);
  return 0;
}
