#include "db/snapshot_backend.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <array>
#include <deque>
#include <mutex>
#include <vector>

#include "db/prepared_dictionary.h"

namespace {

// One prepared fixed query; a cursor reading it holds it busy.
struct SnapshotStatement {
  sqlite3_stmt* stmt = nullptr;
  bool busy = false;
};

// A prepared dictionary opened for use: the login views over it, the log-on check and the
// fixed queries, each prepared once and kept for every later log-on.
struct SnapshotConnection {
  std::unique_ptr<LimitedConnection> sql;
  QString path;
  SnapshotStamp stamp;
  QByteArray owner;  // UTF-8; what logon_owner() returns to the login views
  bool damaged = false;  // its prepared copy was found damaged: never used again
  sqlite3_stmt* logon = nullptr;
  // A second statement of a kind is prepared only while two queries of that kind are open.
  std::array<std::deque<SnapshotStatement>, kQueryCount> statements;
  std::array<QStringList, kQueryCount> columns;

  ~SnapshotConnection() {
    for (auto& list : statements)
      for (SnapshotStatement& s : list) sqlite3_finalize(s.stmt);
    sqlite3_finalize(logon);
  }

  [[noreturn]] void Throw(const QString& what) const { sql->Throw(what); }

  SnapshotStatement& Free(QueryId id) {
    const int index = static_cast<int>(id);
    for (SnapshotStatement& s : statements[index])
      if (!s.busy) return s;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(sql->db(), QueryTextOf(id).sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt,
                           nullptr) != SQLITE_OK)
      Throw(QStringLiteral("query %1 failed").arg(QLatin1String(QueryTextOf(id).name)));
    if (columns[index].isEmpty())
      for (int c = 0; c < sqlite3_column_count(stmt); ++c)
        columns[index] << QString::fromUtf8(sqlite3_column_name(stmt, c));
    return statements[index].emplace_back(SnapshotStatement{stmt, false});
  }
};

void LogonOwner(sqlite3_context* ctx, int, sqlite3_value**) {
  const auto* conn = static_cast<const SnapshotConnection*>(sqlite3_user_data(ctx));
  sqlite3_result_text(ctx, conn->owner.constData(), static_cast<int>(conn->owner.size()),
                      SQLITE_TRANSIENT);
}

std::unique_ptr<SnapshotConnection> Connect(const QString& path) {
  auto conn = std::make_unique<SnapshotConnection>();
  conn->path = path;
  conn->stamp = StampOf(path);
  conn->sql = OpenPreparedDictionary(path, conn->stamp);
  sqlite3* db = conn->sql->db();
  if (sqlite3_create_function_v2(db, "logon_owner", 0, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                 conn.get(), LogonOwner, nullptr, nullptr,
                                 nullptr) != SQLITE_OK)
    conn->Throw(QStringLiteral("cannot be prepared"));
  conn->sql->Exec(LoginViewsSql(), QStringLiteral("cannot be prepared"));
  if (sqlite3_prepare_v3(db,
                         "SELECT username, password_sha256 FROM main.dba_users "
                         "WHERE upper(username) = ?1",
                         -1, SQLITE_PREPARE_PERSISTENT, &conn->logon, nullptr) != SQLITE_OK)
    conn->Throw(QStringLiteral("cannot be read"));
  return conn;
}

// Connections waiting for their next log-on, the most recently used last. A few, so that
// a project spanning several snapshots keeps each one's; each holds a bounded page cache.
class ConnectionPool {
 public:
  // A waiting connection to this version of the file, or null. Connections to older
  // versions of it are closed.
  std::unique_ptr<SnapshotConnection> Take(const QString& path, const SnapshotStamp& stamp) {
    std::lock_guard lock(mutex_);
    std::unique_ptr<SnapshotConnection> found;
    for (auto it = idle_.begin(); it != idle_.end();) {
      if ((*it)->path != path) {
        ++it;
      } else if ((*it)->stamp == stamp && !found) {
        found = std::move(*it);
        it = idle_.erase(it);
      } else {
        it = idle_.erase(it);
      }
    }
    return found;
  }

  void Give(std::unique_ptr<SnapshotConnection> conn) {
    if (conn->damaged) return;
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(conn));
    if (idle_.size() > kIdle) idle_.erase(idle_.begin());
  }

 private:
  static constexpr size_t kIdle = 4;
  std::mutex mutex_;
  std::vector<std::unique_ptr<SnapshotConnection>> idle_;
};

// Never destroyed: a backend that ends during the program's exit still has it.
ConnectionPool& Pool() {
  static auto* pool = new ConnectionPool;
  return *pool;
}

// A prepared copy found damaged: the connection is not used again and the copy is removed,
// so that the next connection makes it again.
void Discard(SnapshotConnection& conn, const DamagedCopy& damage) {
  conn.damaged = true;
  DiscardPreparedCopy(damage.copy);
}

// The connection for one log-on, given back to the pool when the log-on and its last
// cursor end.
std::shared_ptr<SnapshotConnection> Lease(std::unique_ptr<SnapshotConnection> conn) {
  return std::shared_ptr<SnapshotConnection>(conn.release(), [](SnapshotConnection* c) {
    Pool().Give(std::unique_ptr<SnapshotConnection>(c));
  });
}

class SnapshotCursor : public BackendCursor {
 public:
  SnapshotCursor(std::shared_ptr<SnapshotConnection> conn, int index, SnapshotStatement& s)
      : conn_(std::move(conn)), columns_(conn_->columns[index]), s_(s) {
    s_.busy = true;
  }
  ~SnapshotCursor() override {
    sqlite3_reset(s_.stmt);
    s_.busy = false;
  }
  // Runs the statement up to its first row.
  void Start() { Step(); }

  bool Eof() const override { return eof_; }
  int ColumnIndex(const QString& name) const override { return FindColumn(columns_, name); }
  QString Value(int column) const override {
    if (eof_ || sqlite3_column_type(s_.stmt, column) == SQLITE_NULL) return {};
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(s_.stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(s_.stmt, column));
  }
  void Next() override {
    if (!eof_) Step();
  }

 private:
  void Step() {
    const int rc = sqlite3_step(s_.stmt);
    if (rc == SQLITE_ROW) return;
    eof_ = true;
    if (rc == SQLITE_DONE) return;
    try {
      conn_->Throw(QStringLiteral("query failed"));
    } catch (const DamagedCopy& damage) {
      Discard(*conn_, damage);
      throw;
    }
  }

  std::shared_ptr<SnapshotConnection> conn_;
  const QStringList& columns_;
  SnapshotStatement& s_;
  bool eof_ = false;
};

class SnapshotBackend : public Backend {
 public:
  explicit SnapshotBackend(std::shared_ptr<SnapshotConnection> conn) : conn_(std::move(conn)) {}

  // A query that finds the prepared copy damaged before its first row makes the copy again
  // and runs once more; damage found again, or later in the rows, fails naming the copy.
  std::unique_ptr<BackendCursor> Execute(QueryId id, const QStringList& binds) override {
    try {
      return Run(id, binds);
    } catch (const DamagedCopy& damage) {
      Discard(*conn_, damage);
      auto fresh = Connect(conn_->path);
      fresh->owner = conn_->owner;
      conn_ = Lease(std::move(fresh));
    }
    return Run(id, binds);
  }

 private:
  std::unique_ptr<BackendCursor> Run(QueryId id, const QStringList& binds) {
    SnapshotStatement& s = conn_->Free(id);
    sqlite3_reset(s.stmt);
    for (int i = 0; i < binds.size(); ++i) {
      // Oracle has no empty text: an empty bind is NULL and matches nothing.
      if (binds[i].isEmpty()) {
        sqlite3_bind_null(s.stmt, i + 1);
      } else {
        const QByteArray u = binds[i].toUtf8();
        sqlite3_bind_text(s.stmt, i + 1, u.constData(), u.size(), SQLITE_TRANSIENT);
      }
    }
    conn_->sql->SetDeadline(CurrentSnapshotLimits().querySeconds);
    auto cursor = std::make_unique<SnapshotCursor>(conn_, static_cast<int>(id), s);
    cursor->Start();
    return cursor;
  }

  std::shared_ptr<SnapshotConnection> conn_;
};

QString Sha256Hex(const QString& text) {
  return QString::fromLatin1(
      QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

// The owner name of `user` when the password fits; throws the Oracle log-on error otherwise.
QByteArray LogOn(SnapshotConnection& conn, const QString& user, const QString& password) {
  sqlite3_stmt* stmt = conn.logon;
  const QByteArray u = user.toUpper().toUtf8();
  sqlite3_bind_text(stmt, 1, u.constData(), u.size(), SQLITE_TRANSIENT);
  conn.sql->SetDeadline(CurrentSnapshotLimits().querySeconds);
  QByteArray owner;
  bool accepted = false;
  int rc;
  while (!accepted && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    const bool anyPassword = sqlite3_column_type(stmt, 1) == SQLITE_NULL;
    const QString hash =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
    if (anyPassword || hash.compare(Sha256Hex(password), Qt::CaseInsensitive) == 0) {
      owner = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                         sqlite3_column_bytes(stmt, 0));
      accepted = true;
    }
  }
  sqlite3_reset(stmt);
  if (!accepted && rc != SQLITE_DONE) conn.Throw(QStringLiteral("cannot be read"));
  if (!accepted)
    throw BackendFailure{QStringLiteral("ORA-01017: invalid username/password; logon denied")};
  return owner;
}

}  // namespace

QString FindSnapshot(const QString& server, const QStringList& dirs) {
  // A name with a path in it is an Oracle connect string ("//host:1521/service"), and must
  // never reach a file outside the snapshot directories.
  if (server.isEmpty() || server.contains('/') || server.contains('\\')) return {};
  const QString wanted = server + QStringLiteral(".sqlite");
  for (const QString& dir : dirs) {
    if (dir.isEmpty()) continue;
    // The name as given or in lower case, else any case: every log-on looks, and a
    // directory listing would be most of its cost.
    for (const QString& name : {wanted, wanted.toLower()}) {
      const QFileInfo f(QDir(dir), name);
      if (f.isFile()) return f.absoluteFilePath();
    }
    const QFileInfoList files = QDir(dir).entryInfoList(QDir::Files);
    for (const QFileInfo& f : files)
      if (f.fileName().compare(wanted, Qt::CaseInsensitive) == 0) return f.absoluteFilePath();
  }
  return {};
}

std::unique_ptr<Backend> OpenSnapshotBackend(const QString& path, const QString& user,
                                             const QString& password) {
  // A damaged prepared copy is made again once, as a query does.
  for (int attempt = 0;; ++attempt) {
    std::shared_ptr<SnapshotConnection> conn;
    try {
      std::unique_ptr<SnapshotConnection> waiting = Pool().Take(path, StampOf(path));
      conn = Lease(waiting ? std::move(waiting) : Connect(path));
      conn->owner = LogOn(*conn, user, password);
      return std::make_unique<SnapshotBackend>(std::move(conn));
    } catch (const DamagedCopy& damage) {
      if (conn)
        Discard(*conn, damage);
      else
        DiscardPreparedCopy(damage.copy);
      if (attempt > 0) throw;
    }
  }
}
