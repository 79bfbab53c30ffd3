#pragma once
// What reading one dictionary snapshot may cost, and the SQLite connection that keeps to
// it. A snapshot is a file someone hands you, and its schema may hold views that never end,
// that grow without bound or that call what they should not. So every connection that
// reads one
//  - runs with trusted_schema off and defensive on: a snapshot's own views may call only
//    SQLite's harmless built-in functions (ours are direct-only besides, oracle_functions.h);
//  - caps the size of one value, and SQLite's whole heap in this process;
//  - gives up on a statement that runs past its deadline (a progress handler);
// and reaching a bound is a BackendFailure that says which, never an abort.

#include <QByteArray>
#include <QString>
#include <chrono>

#include "db/backend.h"

struct sqlite3;

// A query found the prepared copy of a snapshot damaged ("database disk image is
// malformed"): the message names `copy`, its file, which is to be made again.
struct DamagedCopy : BackendFailure {
  QString copy;
};

struct SnapshotLimits {
  qint64 heapBytes = qint64(256) << 20;  // SQLite's heap, the whole process
  int valueBytes = 64 << 20;             // one text value
  int querySeconds = 60;                 // one dictionary query, from its start to its end
  int prepareSeconds = 900;              // preparing one snapshot (prepared_dictionary.h)
};
const SnapshotLimits& CurrentSnapshotLimits();
// Tests lower the limits to reach them quickly.
void SetSnapshotLimits(const SnapshotLimits& limits);

class LimitedConnection {
 public:
  // Opens `file` with `flags` as sqlite3_open_v2 takes them. Errors name `snapshot`, the
  // file the user knows. Throws BackendFailure.
  LimitedConnection(const QString& snapshot, const QByteArray& file, int flags);
  ~LimitedConnection();
  LimitedConnection(const LimitedConnection&) = delete;
  LimitedConnection& operator=(const LimitedConnection&) = delete;

  sqlite3* db() const { return db_; }
  const QString& Snapshot() const { return snapshot_; }
  // What runs from now on must end within `seconds`.
  void SetDeadline(int seconds);
  // The main database may grow to `bytes` at most (what it is written to say so).
  void SetSizeCap(qint64 bytes);
  // The main database is the prepared copy in the file `copy`: damage found in it from now
  // on is thrown as DamagedCopy.
  void SetCopyFile(const QString& copy) { copy_ = copy; }
  // Runs statements that return no rows; throws BackendFailure about `what`.
  void Exec(const QByteArray& sql, const QString& what);
  // "Dictionary snapshot <file>: <what>: <why>", the why from SQLite's last error, in
  // words that name the bound when one was reached.
  [[noreturn]] void Throw(const QString& what) const;

 private:
  static int Progress(void* self) noexcept;
  BackendFailure Failure(const QString& what) const;
  [[noreturn]] void CloseAndThrow(const QString& what);

  sqlite3* db_ = nullptr;
  QString snapshot_;
  QString copy_;
  int deadlineSeconds_ = 0;
  qint64 sizeCap_ = 0;
  std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
};
