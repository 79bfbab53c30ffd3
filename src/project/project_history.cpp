#include "project/project_history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "text/ansi.h"
#include "text/line_file.h"

namespace {

QString OpenError(const QString& path) {
  return QStringLiteral("ERROR: Project history file %1 can't be opened.").arg(path);
}

QString CreateError(const QString& path) {
  return QStringLiteral("ERROR: Project history file %1 can't be created.").arg(path);
}

}  // namespace

bool ProjectHistory::Exists() const { return QFileInfo::exists(path_); }

bool ProjectHistory::LoadHistory(QStringList* paths, QString* error) const {
  paths->clear();
  if (!Exists()) return true;
  const linefile::ReadResult file = linefile::Read(path_);
  if (!file.ok) {
    if (error) *error = OpenError(path_);
    return false;
  }
  for (const QString& line : file.lines) {
    if (line.isEmpty()) continue;
    const bool known = std::any_of(paths->cbegin(), paths->cend(),
                                   [&](const QString& p) { return ansi::SameText(p, line); });
    if (!known) paths->append(line);
  }
  return true;
}

bool ProjectHistory::AddToHistory(const QString& path, bool* added, QString* error) const {
  if (added) *added = false;
  QStringList lines;
  if (Exists()) {
    const linefile::ReadResult file = linefile::Read(path_);
    if (!file.ok) {
      if (error) *error = OpenError(path_);
      return false;
    }
    for (const QString& line : file.lines)
      if (ansi::SameText(line, path)) return true;
    lines = file.lines;
  } else if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
    // The default file lives in the per-user data directory, made on first use.
    if (error) *error = CreateError(path_);
    return false;
  }
  // The whole file is written again rather than appended to, so a last line without its
  // line end is not joined to the new one, and a failed write leaves the old file whole.
  lines.append(path);
  if (!linefile::Write(path_, lines)) {
    if (error) *error = CreateError(path_);
    return false;
  }
  if (added) *added = true;
  return true;
}

bool ProjectHistory::EmptyHistory(QString* error) const {
  if (!Exists() && !QFileInfo(path_).isSymLink()) return true;
  if (QFileInfo(path_).isDir() || !QFile::remove(path_)) {
    if (error)
      *error = QStringLiteral("ERROR: Project history file %1 can't be deleted.").arg(path_);
    return false;
  }
  return true;
}
