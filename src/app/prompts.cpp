#include "app/prompts.h"

#include <QDir>
#include <QFileInfo>

FileRequest RequestIn(const QString& directory, const QString& title, const QString& fileName,
                      const QString& filter) {
  if (!directory.isEmpty()) QDir().mkpath(directory);
  return {title, directory, fileName, filter};
}

bool Prompts::MayReplace(QWidget* parent, const QString& path) {
  if (!QFileInfo::exists(path)) return true;
  return Question(parent, QStringLiteral("%1 already exists.\nDo you want to replace it?")
                              .arg(QDir::toNativeSeparators(path)));
}
