// Feeds arbitrary bytes to vellumar-build's --settings reader and checks what must hold
// whatever the file holds:
// - a refused file gets a reason that names it;
// - the settings read, saved to the user's kind of store, leave no value empty (a missing,
//   empty or non-text value has its default) and load again as the same settings.

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
  QSettings store(saved, QSettings::IniFormat);
  for (const QString& value : SettingsValueNames())
    fuzz::Check(!store.value(value).toString().isEmpty(), "no value is empty", value);
  fuzz::Check(LoadSettings(store) == s, "saved settings load the same");
  QFile::remove(saved);
  return 0;
}
