#include "project/project_history.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <cerrno>

#include "text/ansi.h"
#include "text/file_name.h"
#include "text/input_file.h"
#include "text/line_file.h"

namespace {

QString OpenError(const QString& path, const QString& reason) {
  return inputfile::WithReason(
      QStringLiteral("ERROR: Project history file %1 can't be opened.").arg(path), reason);
}

QString CreateError(const QString& path, const QString& reason) {
  return inputfile::WithReason(
      QStringLiteral("ERROR: Project history file %1 can't be created.").arg(path), reason);
}

}  // namespace

bool ProjectHistory::Exists() const { return inputfile::Exists(path_); }

bool ProjectHistory::LoadHistory(QStringList* paths, QString* error) const {
  paths->clear();
  const linefile::ReadResult file = linefile::Read(path_);
  if (file.missing) return true;
  if (!file.ok) {
    if (error) *error = OpenError(path_, file.error);
    return false;
  }
  QSet<QString> known;
  known.reserve(file.lines.size());
  for (const QString& line : file.lines) {
    if (line.isEmpty()) continue;
    const qsizetype before = known.size();
    known.insert(ansi::UpperCase(line));
    if (known.size() != before) paths->append(line);
  }
  return true;
}

bool ProjectHistory::AddToHistory(const QString& path, bool* added, QString* error) const {
  if (added) *added = false;
  linefile::ReadResult file = linefile::Read(path_);
  if (file.missing) {
    // The default file lives in the per-user data directory, made on first use.
    QDir().mkpath(QFileInfo(path_).absolutePath());
  } else if (!file.ok) {
    if (error) *error = OpenError(path_, file.error);
    return false;
  }
  for (const QString& line : file.lines)
    if (ansi::SameText(line, path)) return true;
  // The whole file is written again rather than appended to, so a last line without its
  // line end is not joined to the new one, and a failed write leaves the old file whole.
  file.lines.append(path);
  QString reason;
  if (!linefile::Write(path_, file.lines, &reason)) {
    if (error) *error = CreateError(path_, reason);
    return false;
  }
  if (added) *added = true;
  return true;
}

bool ProjectHistory::EmptyHistory(QString* error) const {
  if (::unlink(filename::ToBytes(path_).constData()) == 0 || errno == ENOENT) return true;
  const int reason = errno;
  if (error)
    *error = inputfile::WithReason(
        QStringLiteral("ERROR: Project history file %1 can't be deleted.").arg(path_),
        inputfile::Reason(reason));
  return false;
}
