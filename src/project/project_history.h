#pragma once
// The project history file: one project path per line, oldest first, CR LF, no header;
// lines in Windows-1252, or UTF-8 where that cannot spell a path (see line_file.h). It feeds
// File > Reopen and the Open button's drop-down (which show it newest first). Two paths that
// differ only in case are the same project.

#include <QString>
#include <QStringList>

class ProjectHistory {
 public:
  explicit ProjectHistory(const QString& path) : path_(path) {}
  const QString& Path() const { return path_; }

  bool Exists() const;

  // The recorded paths in file order (oldest first); a missing file gives none. Empty lines
  // and repeats of an earlier path (without regard to case) are skipped. False with an
  // "ERROR: ..." message naming the file and the reason when it exists but cannot be read
  // (or is no regular file).
  bool LoadHistory(QStringList* paths, QString* error) const;

  // Records `path` unless it is there already (compared without regard to case): creates
  // the file (and its directory) with it as the first line, or appends it. *added tells
  // whether it was new. The file is replaced whole, so a failed write loses nothing.
  bool AddToHistory(const QString& path, bool* added, QString* error) const;

  // Deletes the file, once; a file that cannot be deleted is reported, not retried.
  bool EmptyHistory(QString* error) const;

 private:
  QString path_;
};
