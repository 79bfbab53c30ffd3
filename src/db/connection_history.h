#pragma once
// The connection history of the login dialog: the database/user pairs that logged on
// successfully, and the last one. Passwords are never stored.
//
// File: "[PREVIOUS]", one "DATABASE;USER;" line per pair in the order first remembered,
// "[LAST]", then the last pair in the same form; CR LF lines in Windows-1252, or UTF-8 where
// that cannot spell a name (see line_file.h).

#include <QList>
#include <QString>

struct ConnectionEntry {
  QString Database;
  QString UserName;
  friend bool operator==(const ConnectionEntry&, const ConnectionEntry&) = default;
};

class ConnectionHistory {
 public:
  static constexpr int kCapacity = 1000;

  explicit ConnectionHistory(const QString& path = {}) : path_(path) {}
  void SetHistoryFile(const QString& path) { path_ = path; }
  const QString& HistoryFile() const { return path_; }

  // Empties the table and the last connection.
  void ClearConnectionHistory();

  // Reads the file; a missing file is not an error. On a read failure keeps what was read
  // and returns false with "ERROR: Database log file <path> can't be opened." and the reason.
  bool ReadConnectionHistory(QString* error);

  // Adds the pair unless an equal one (exact comparison) is there; a 1001st pair drops
  // the oldest.
  void RememberConnection(const ConnectionEntry& entry);

  // Writes every pair but `leaveOut` (index into Entries(), -1 for none), then `last`.
  // False with "ERROR: Database log file <path> can't be created." and the reason.
  bool WriteConnectionHistory(const ConnectionEntry& last, int leaveOut, QString* error) const;

  const QList<ConnectionEntry>& Entries() const { return entries_; }
  const ConnectionEntry& LastConnection() const { return last_; }

 private:
  QString path_;
  QList<ConnectionEntry> entries_;
  ConnectionEntry last_;
};
