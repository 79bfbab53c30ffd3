#include "db/snapshot_limits.h"

#include <sqlite3.h>

#include <QDir>

#include "db/backend.h"
#include "db/oracle_functions.h"

namespace {

SnapshotLimits g_limits;

// How many virtual machine steps pass between two looks at the clock: a few microseconds.
constexpr int kProgressSteps = 1000;

}  // namespace

const SnapshotLimits& CurrentSnapshotLimits() { return g_limits; }

void SetSnapshotLimits(const SnapshotLimits& limits) { g_limits = limits; }

LimitedConnection::LimitedConnection(const QString& snapshot, const QByteArray& file, int flags)
    : snapshot_(snapshot) {
  // The heap limit is SQLite's, for the whole process: only snapshots use SQLite here.
  sqlite3_hard_heap_limit64(g_limits.heapBytes);
  // One connection serves one thread: SQLite's own locking would only cost time.
  const int rc = sqlite3_open_v2(file.constData(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) CloseAndThrow(QStringLiteral("cannot be opened"));
  sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, g_limits.valueBytes);
  sqlite3_progress_handler(db_, kProgressSteps, &LimitedConnection::Progress, this);
  sqlite3_busy_timeout(db_, 2000);
  if (!RegisterOracleFunctions(db_)) CloseAndThrow(QStringLiteral("cannot be prepared"));
}

void LimitedConnection::CloseAndThrow(const QString& what) {
  const BackendFailure failure = Failure(what);
  sqlite3_close_v2(db_);
  db_ = nullptr;
  throw failure;
}

LimitedConnection::~LimitedConnection() { sqlite3_close_v2(db_); }

void LimitedConnection::SetDeadline(int seconds) {
  deadlineSeconds_ = seconds;
  deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
}

void LimitedConnection::SetSizeCap(qint64 bytes) {
  sizeCap_ = bytes;
  Exec("PRAGMA main.max_page_count = " + QByteArray::number(bytes / 4096 + 1),
       QStringLiteral("cannot be prepared"));
}

int LimitedConnection::Progress(void* self) noexcept {
  const auto* c = static_cast<const LimitedConnection*>(self);
  return std::chrono::steady_clock::now() > c->deadline_ ? 1 : 0;
}

void LimitedConnection::Exec(const QByteArray& sql, const QString& what) {
  if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) Throw(what);
}

void LimitedConnection::Throw(const QString& what) const {
  const int code = db_ ? sqlite3_errcode(db_) : SQLITE_OK;
  if (!copy_.isEmpty() && (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)) {
    throw DamagedCopy{{Failure(what).message + QStringLiteral(" (in its prepared copy %1)")
                                                   .arg(QDir::toNativeSeparators(copy_))},
                      copy_};
  }
  throw Failure(what);
}

BackendFailure LimitedConnection::Failure(const QString& what) const {
  QString why;
  switch (db_ ? sqlite3_errcode(db_) : SQLITE_NOMEM) {
    case SQLITE_INTERRUPT:
      why = QStringLiteral("reading it took longer than %1 seconds; the snapshot may be damaged")
                .arg(deadlineSeconds_);
      break;
    case SQLITE_NOMEM:
      why = QStringLiteral("reading it needs more than %1 MiB of memory; the snapshot may be "
                           "damaged")
                .arg(g_limits.heapBytes >> 20);
      break;
    case SQLITE_TOOBIG:
      why = QStringLiteral("it holds a value longer than %1 MiB; the snapshot may be damaged")
                .arg(g_limits.valueBytes >> 20);
      break;
    case SQLITE_FULL:
      if (sizeCap_ > 0) {
        why = QStringLiteral("its dictionary does not fit in %1 MiB, or the disk is full; the "
                             "snapshot may be damaged")
                  .arg(sizeCap_ >> 20);
        break;
      }
      [[fallthrough]];
    default:
      why = QString::fromUtf8(sqlite3_errmsg(db_));
  }
  return BackendFailure{QStringLiteral("Dictionary snapshot %1: %2: %3")
                            .arg(QDir::toNativeSeparators(snapshot_), what, why)};
}
