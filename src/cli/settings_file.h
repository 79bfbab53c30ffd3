#pragma once
// The settings INI file that vellumar-build is given with --settings. A file named on the
// command line is meant to be used, so one that would silently give every default is
// refused: unreadable, not an INI file, or without any of the settings' value names.

#include <QString>
#include <QStringList>
#include <optional>

#include "settings/settings.h"

struct SettingsFile {
  Settings settings;
  // One line per value that is not a text and so has its default (as in the user's store).
  QStringList warnings;
};

// The settings in `path`, or nullopt with the reason, naming the file, in *error.
std::optional<SettingsFile> ReadSettingsFile(const QString& path, QString* error);
