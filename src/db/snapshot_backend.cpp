#include "db/snapshot_backend.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <array>
#include <deque>

#include "db/oracle_functions.h"
#include "db/snapshot_schema.h"

namespace {

// One per-login copy: its table, how it is filled from the snapshot (?1 is the user) in
// natural order, and the index the fixed queries look rows up by. An index holds exactly
// the columns those queries compare with "=", so rows with equal keys come in insertion
// order, which is the natural order.
//
// The schema grows: a fill names a column added later as {table.column}, which reads NULL
// in a snapshot made before the column existed (ResolveOptional); a copy whose snapshot
// table was added later (`optionalTable`) stays empty when the snapshot lacks it.
struct LoginTable {
  const char* create;
  const char* fill;
  const char* index;
  const char* optionalTable = nullptr;
};

const LoginTable kLoginTables[] = {
    {"user_tables (table_name TEXT)",
     "SELECT table_name FROM main.dba_tables WHERE owner = ?1 ORDER BY table_name", nullptr},
    {"user_views (view_name TEXT, text TEXT)",
     "SELECT view_name, text FROM main.dba_views WHERE owner = ?1 ORDER BY view_name",
     "(view_name)"},
    {"user_source (name TEXT, type TEXT, line INTEGER, text TEXT)",
     "SELECT name, type, line, text FROM main.dba_source WHERE owner = ?1 "
     "ORDER BY name, type, line",
     "(name, type)"},
    {"user_sequences (sequence_name TEXT)",
     "SELECT sequence_name FROM main.dba_sequences WHERE sequence_owner = ?1 "
     "ORDER BY sequence_name",
     nullptr},
    {"user_tab_privs (owner TEXT, table_name TEXT, grantor TEXT, grantee TEXT, "
     "privilege TEXT)",
     "SELECT owner, table_name, grantor, grantee, privilege FROM main.dba_tab_privs "
     "WHERE owner = ?1 OR grantor = ?1 OR grantee = ?1 "
     "ORDER BY grantee, owner, table_name, privilege",
     nullptr},
    {"user_constraints (constraint_name TEXT, constraint_type TEXT, table_name TEXT, "
     "r_owner TEXT, r_constraint_name TEXT, search_condition TEXT)",
     "SELECT constraint_name, constraint_type, table_name, r_owner, r_constraint_name, "
     "{dba_constraints.search_condition} FROM main.dba_constraints WHERE owner = ?1 ORDER BY table_name, constraint_name",
     "(table_name, constraint_type)"},
    {"user_cons_columns (constraint_name TEXT, table_name TEXT, column_name TEXT, "
     "position INTEGER)",
     "SELECT constraint_name, table_name, column_name, position FROM main.dba_cons_columns "
     "WHERE owner = ?1 ORDER BY constraint_name, position",
     "(constraint_name, position)"},
    {"user_indexes (index_name TEXT, table_owner TEXT, table_name TEXT, uniqueness TEXT)",
     "SELECT index_name, table_owner, table_name, {dba_indexes.uniqueness} "
     "FROM main.dba_indexes WHERE owner = ?1 "
     "ORDER BY index_name",
     "(index_name)"},
    {"user_ind_columns (index_name TEXT, table_owner TEXT, table_name TEXT, "
     "column_name TEXT, column_position INTEGER, descend TEXT)",
     "SELECT index_name, table_owner, table_name, column_name, column_position, "
     "{dba_ind_columns.descend} FROM main.dba_ind_columns WHERE index_owner = ?1 "
     "ORDER BY table_name, index_name, column_position",
     "(table_name)"},
    {"user_tab_columns (table_name TEXT, column_name TEXT, column_id INTEGER, "
     "data_type TEXT, data_length INTEGER, data_precision INTEGER, nullable TEXT, "
     "data_scale INTEGER, char_length INTEGER, char_used TEXT, data_default TEXT)",
     "SELECT table_name, column_name, column_id, data_type, data_length, data_precision, "
     "nullable, {dba_tab_columns.data_scale}, {dba_tab_columns.char_length}, "
     "{dba_tab_columns.char_used}, {dba_tab_columns.data_default} "
     "FROM main.dba_tab_columns WHERE owner = ?1 "
     "ORDER BY table_name, column_id",
     // column_id too: the index then reads a table's columns in their order, and the join
     // with the comments is driven by the columns whatever the width of their rows.
     "(table_name, column_id)"},
    {"user_col_comments (table_name TEXT, column_name TEXT, comments TEXT)",
     "SELECT table_name, column_name, comments FROM main.dba_col_comments WHERE owner = ?1 "
     "ORDER BY table_name, column_name",
     "(table_name, column_name)"},
    {"all_tab_comments (owner TEXT, table_name TEXT, table_type TEXT, comments TEXT)",
     "SELECT owner, table_name, table_type, comments FROM main.dba_tab_comments "
     "ORDER BY table_name, owner <> ?1, owner",
     "(table_name)"},
    {"user_tab_comments (table_name TEXT, table_type TEXT, comments TEXT)",
     "SELECT table_name, table_type, comments FROM main.dba_tab_comments WHERE owner = ?1 "
     "ORDER BY table_name",
     "(table_name)"},
    {"all_cons_columns (owner TEXT, constraint_name TEXT, table_name TEXT, column_name TEXT, "
     "position INTEGER)",
     "SELECT owner, constraint_name, table_name, column_name, position "
     "FROM main.dba_cons_columns ORDER BY owner, constraint_name, position",
     "(owner, constraint_name)"},
    {"user_arguments (package_name TEXT, object_name TEXT, overload TEXT, argument_name TEXT, "
     "position INTEGER, sequence INTEGER, data_level INTEGER, data_type TEXT, in_out TEXT, "
     "default_value TEXT)",
     "SELECT package_name, object_name, overload, argument_name, position, sequence, "
     "data_level, data_type, in_out, default_value FROM main.dba_arguments WHERE owner = ?1 "
     "ORDER BY package_name, object_name, overload, sequence",
     "(package_name, object_name)", "dba_arguments"},
    {"all_synonyms (owner TEXT, synonym_name TEXT, table_owner TEXT, table_name TEXT)",
     "SELECT owner, synonym_name, table_owner, table_name FROM main.dba_synonyms "
     "ORDER BY table_name, owner, synonym_name",
     "(table_name)"},
};

// One prepared fixed query; a cursor reading it holds it busy.
struct SnapshotStatement {
  sqlite3_stmt* stmt = nullptr;
  bool busy = false;
};

// Owns the SQLite handle and the prepared fixed queries; shared with the open cursors so
// that a cursor never reads a closed handle.
struct SnapshotConnection {
  sqlite3* db = nullptr;
  QString path;
  // Each query is prepared once and reused; a second one is prepared only while two
  // queries of the same kind are open at once.
  std::array<std::deque<SnapshotStatement>, kQueryCount> statements;
  std::array<QStringList, kQueryCount> columns;

  ~SnapshotConnection() {
    for (auto& list : statements)
      for (SnapshotStatement& s : list) sqlite3_finalize(s.stmt);
    sqlite3_close(db);
  }

  [[noreturn]] void Throw(const QString& what) const {
    throw BackendFailure{QStringLiteral("Dictionary snapshot %1: %2: %3")
                             .arg(QDir::toNativeSeparators(path), what,
                                  QString::fromUtf8(sqlite3_errmsg(db)))};
  }

  void Exec(const QByteArray& sql, const QString& owner) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
      Throw(QStringLiteral("cannot be read"));
    if (sqlite3_bind_parameter_count(stmt) > 0) {
      const QByteArray u = owner.toUtf8();
      sqlite3_bind_text(stmt, 1, u.constData(), u.size(), SQLITE_TRANSIENT);
    }
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) Throw(QStringLiteral("cannot be read"));
  }

  SnapshotStatement& Free(QueryId id) {
    const int index = static_cast<int>(id);
    for (SnapshotStatement& s : statements[index])
      if (!s.busy) return s;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db, QueryTextOf(id).sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt,
                           nullptr) != SQLITE_OK)
      Throw(QStringLiteral("query %1 failed").arg(QLatin1String(QueryTextOf(id).name)));
    if (columns[index].isEmpty())
      for (int c = 0; c < sqlite3_column_count(stmt); ++c)
        columns[index] << QString::fromUtf8(sqlite3_column_name(stmt, c));
    return statements[index].emplace_back(SnapshotStatement{stmt, false});
  }
};

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
    if (rc != SQLITE_DONE) conn_->Throw(QStringLiteral("query failed"));
  }

  std::shared_ptr<SnapshotConnection> conn_;
  const QStringList& columns_;
  SnapshotStatement& s_;
  bool eof_ = false;
};

class SnapshotBackend : public Backend {
 public:
  explicit SnapshotBackend(std::shared_ptr<SnapshotConnection> conn) : conn_(std::move(conn)) {}

  std::unique_ptr<BackendCursor> Execute(QueryId id, const QStringList& binds) override {
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
    auto cursor = std::make_unique<SnapshotCursor>(conn_, static_cast<int>(id), s);
    cursor->Start();
    return cursor;
  }

 private:
  std::shared_ptr<SnapshotConnection> conn_;
};

QString Sha256Hex(const QString& text) {
  return QString::fromLatin1(
      QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

// The owner name of `user` when the password fits; throws the Oracle log-on error otherwise.
QString LogOn(SnapshotConnection& conn, const QString& user, const QString& password) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(conn.db,
                         "SELECT username, password_sha256 FROM main.dba_users "
                         "WHERE upper(username) = ?1",
                         -1, &stmt, nullptr) != SQLITE_OK)
    conn.Throw(QStringLiteral("cannot be read"));
  const QByteArray u = user.toUpper().toUtf8();
  sqlite3_bind_text(stmt, 1, u.constData(), u.size(), SQLITE_TRANSIENT);
  QString owner;
  bool accepted = false;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW && !accepted) {
    const bool anyPassword = sqlite3_column_type(stmt, 1) == SQLITE_NULL;
    const QString hash =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
    if (anyPassword || hash.compare(Sha256Hex(password), Qt::CaseInsensitive) == 0) {
      owner = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
      accepted = true;
    }
  }
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) conn.Throw(QStringLiteral("cannot be read"));
  if (!accepted)
    throw BackendFailure{QStringLiteral("ORA-01017: invalid username/password; logon denied")};
  return owner;
}

void CheckTables(SnapshotConnection& conn) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(conn.db,
                         "SELECT lower(name) FROM main.sqlite_schema "
                         "WHERE type IN ('table', 'view')",
                         -1, &stmt, nullptr) != SQLITE_OK)
    conn.Throw(QStringLiteral("cannot be read"));
  QStringList present;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
    present << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) conn.Throw(QStringLiteral("cannot be read"));
  QStringList missing;
  for (const QString& name : snapshot::TableNames())
    if (!present.contains(name)) missing << name;
  if (!missing.isEmpty())
    throw BackendFailure{QStringLiteral("Dictionary snapshot %1 is not complete: it lacks %2.")
                             .arg(QDir::toNativeSeparators(conn.path), missing.join(", "))};
}

// The fill with every {table.column} it names made the column, or NULL where the
// snapshot's table lacks it.
QByteArray ResolveOptional(SnapshotConnection& conn, const char* fill) {
  QByteArray sql(fill);
  for (qsizetype open = sql.indexOf('{'); open >= 0; open = sql.indexOf('{', open)) {
    const qsizetype close = sql.indexOf('}', open);
    const QByteArray name = sql.mid(open + 1, close - open - 1);
    const QByteArray table = name.left(name.indexOf('.'));
    const QByteArray column = name.mid(name.indexOf('.') + 1);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(conn.db, "SELECT 1 FROM pragma_table_info(?1) WHERE lower(name) = ?2",
                           -1, &stmt, nullptr) != SQLITE_OK)
      conn.Throw(QStringLiteral("cannot be read"));
    sqlite3_bind_text(stmt, 1, table.constData(), table.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, column.constData(), column.size(), SQLITE_TRANSIENT);
    const bool present = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    sql.replace(open, close - open + 1, present ? column : QByteArray("NULL"));
  }
  return sql;
}

bool HasTable(SnapshotConnection& conn, const char* table) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(conn.db,
                         "SELECT 1 FROM main.sqlite_schema WHERE type IN ('table', 'view') "
                         "AND lower(name) = ?1",
                         -1, &stmt, nullptr) != SQLITE_OK)
    conn.Throw(QStringLiteral("cannot be read"));
  sqlite3_bind_text(stmt, 1, table, -1, SQLITE_STATIC);
  const bool present = sqlite3_step(stmt) == SQLITE_ROW;
  sqlite3_finalize(stmt);
  return present;
}

}  // namespace

QString FindSnapshot(const QString& server, const QStringList& dirs) {
  // A name with a path in it is an Oracle connect string ("//host:1521/service"), and must
  // never reach a file outside the snapshot directories.
  if (server.isEmpty() || server.contains('/') || server.contains('\\')) return {};
  const QString wanted = server + QStringLiteral(".sqlite");
  for (const QString& dir : dirs) {
    if (dir.isEmpty()) continue;
    const QFileInfo exact(QDir(dir), wanted);
    if (exact.isFile()) return exact.absoluteFilePath();
    const QFileInfoList files = QDir(dir).entryInfoList(QDir::Files);
    for (const QFileInfo& f : files)
      if (f.fileName().compare(wanted, Qt::CaseInsensitive) == 0) return f.absoluteFilePath();
  }
  return {};
}

std::unique_ptr<Backend> OpenSnapshotBackend(const QString& path, const QString& user,
                                             const QString& password) {
  auto conn = std::make_shared<SnapshotConnection>();
  conn->path = path;
  // One connection serves one thread: SQLite's own locking would only cost time.
  if (sqlite3_open_v2(path.toUtf8().constData(), &conn->db,
                      SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
    conn->Throw(QStringLiteral("cannot be opened"));
  sqlite3_busy_timeout(conn->db, 2000);
  if (!RegisterOracleFunctions(conn->db)) conn->Throw(QStringLiteral("cannot be prepared"));
  conn->Exec("PRAGMA temp_store = MEMORY", {});
  CheckTables(*conn);
  const QString owner = LogOn(*conn, user, password);
  conn->Exec("BEGIN", {});
  for (const LoginTable& t : kLoginTables) {
    const QByteArray table(t.create);
    const QByteArray name = table.left(table.indexOf(' '));
    conn->Exec("CREATE TEMP TABLE " + table, owner);
    if (!t.optionalTable || HasTable(*conn, t.optionalTable))
      conn->Exec("INSERT INTO temp." + name + " " + ResolveOptional(*conn, t.fill), owner);
    if (t.index) conn->Exec("CREATE INDEX temp." + name + "_ix ON " + name + " " + t.index, owner);
  }
  conn->Exec("COMMIT", {});
  return std::make_unique<SnapshotBackend>(std::move(conn));
}
