#include "project/project_name.h"

#include <QDir>

#include "text/ansi.h"

namespace {
const QString kExtension = QStringLiteral(".VLM");

int LastSeparator(const QString& path) {
  return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(QDir::separator()));
}
}  // namespace

QString ProjectFileNameFor(const QString& dialogPath) {
  if (ansi::UpperCase(dialogPath).contains(kExtension)) return dialogPath;
  return dialogPath + QStringLiteral(".vlm");
}

QString ProjectNameFor(const QString& dialogPath) {
  const QString rest = dialogPath.mid(LastSeparator(dialogPath) + 1);
  // UpperCase keeps every position, so the index found there cuts the original text.
  const int at = ansi::UpperCase(rest).indexOf(kExtension);
  return at < 0 ? rest : rest.left(at);
}
