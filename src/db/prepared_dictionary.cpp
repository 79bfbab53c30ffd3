#include "db/prepared_dictionary.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <cstring>
#include <filesystem>

#include "db/backend.h"
#include "db/snapshot_schema.h"

namespace {

// The prepared dictionary holds a copy of every table of the snapshot schema under the
// same name, every owner's rows as the snapshot lists them, with these indexes: first what
// the fixed queries look rows up by (the key they bind or join on; the owner where they
// list a user's rows), then the owner, then the rest of the dictionary's natural order. So
// each query is driven by the table whose key it binds and reads rows in index order, and so
// in natural order, whatever order the snapshot holds them in. The prepared dictionary
// carries no statistics, so these plans are the same for every snapshot.
struct Index {
  const char* table;
  const char* columns;
};

const Index kIndexes[] = {
    {"dba_tables", "owner, table_name"},
    {"dba_views", "owner, view_name"},
    {"dba_source", "owner, name, type, line"},
    {"dba_sequences", "sequence_owner, sequence_name"},
    {"dba_constraints", "table_name, constraint_type, owner, constraint_name"},
    {"dba_cons_columns", "constraint_name, owner, position"},
    {"dba_indexes", "index_name, owner"},
    {"dba_indexes", "table_name, owner, index_name"},
    {"dba_ind_columns", "table_name, index_owner, index_name, column_position"},
    {"dba_ind_columns", "index_name, index_owner, column_position"},
    {"dba_ind_expressions", "index_name, index_owner, column_position"},
    {"dba_tab_columns", "table_name, owner, column_id"},
    {"dba_col_comments", "table_name, column_name, owner"},
    {"dba_tab_comments", "table_name, owner"},
    {"dba_synonyms", "table_name, owner, synonym_name"},
    {"dba_arguments", "owner, package_name, object_name, overload, sequence"},
    {"dba_procedures", "owner, object_name, subprogram_id"},
    {"dba_dependencies", "owner, name, type"},
    {"dba_dependencies", "referenced_owner, referenced_name"},
    {"dba_triggers", "table_owner, table_name, trigger_name"},
    {"dba_objects", "owner, status, object_name"},
};

// How a login view picks its rows from a prepared table.
enum class Rows {
  Owned,     // the user's, found by the owner column, which the view leaves out
  Granted,   // grants the user owns, made or received (owner, grantor, grantee)
  OwnFirst,  // every owner's, the user's own first
  Every,     // every owner's
};

// The views the fixed queries read, named like Oracle's. A new table of the schema gets its
// views, and its index above, by a line here.
struct LoginView {
  const char* name;
  const char* table;
  Rows rows;
  const char* owner;
};

const LoginView kLoginViews[] = {
    {"user_tables", "dba_tables", Rows::Owned, "owner"},
    {"user_views", "dba_views", Rows::Owned, "owner"},
    {"user_source", "dba_source", Rows::Owned, "owner"},
    {"user_sequences", "dba_sequences", Rows::Owned, "sequence_owner"},
    {"user_tab_privs", "dba_tab_privs", Rows::Granted, "owner"},
    {"user_constraints", "dba_constraints", Rows::Owned, "owner"},
    {"user_cons_columns", "dba_cons_columns", Rows::Owned, "owner"},
    {"user_indexes", "dba_indexes", Rows::Owned, "owner"},
    {"user_ind_columns", "dba_ind_columns", Rows::Owned, "index_owner"},
    {"user_ind_expressions", "dba_ind_expressions", Rows::Owned, "index_owner"},
    {"user_tab_columns", "dba_tab_columns", Rows::Owned, "owner"},
    {"user_col_comments", "dba_col_comments", Rows::Owned, "owner"},
    {"user_tab_comments", "dba_tab_comments", Rows::Owned, "owner"},
    {"user_arguments", "dba_arguments", Rows::Owned, "owner"},
    {"user_procedures", "dba_procedures", Rows::Owned, "owner"},
    {"all_tab_comments", "dba_tab_comments", Rows::OwnFirst, "owner"},
    {"all_cons_columns", "dba_cons_columns", Rows::Every, "owner"},
    {"all_synonyms", "dba_synonyms", Rows::Every, "owner"},
    {"all_dependencies", "dba_dependencies", Rows::Every, "owner"},
    {"all_triggers", "dba_triggers", Rows::Every, "owner"},
    {"all_objects", "dba_objects", Rows::Every, "owner"},
};

const snapshot::Table& SchemaTable(const char* name) {
  const snapshot::Table* table = snapshot::FindTable(name);
  Q_ASSERT(table);
  return *table;
}

QByteArray ColumnList(const snapshot::Table& table, const char* leaveOut = nullptr) {
  QByteArrayList names;
  for (const snapshot::Column& c : table.columns)
    if (!leaveOut || qstrcmp(c.name, leaveOut) != 0) names << c.name;
  return names.join(", ");
}

// The prepared table: the snapshot table's columns with their affinity, no constraint (a
// snapshot need not keep the schema's).
QByteArray CreateTableSql(const snapshot::Table& table) {
  QByteArrayList columns;
  for (const snapshot::Column& c : table.columns)
    columns << QByteArray(c.name) + ' ' + QByteArray(c.type).split(' ').first();
  return "CREATE TABLE main." + QByteArray(table.name) + " (" + columns.join(", ") + ");\n";
}

QByteArray CreateIndexesSql() {
  QByteArray sql;
  int n = 0;
  for (const Index& i : kIndexes)
    sql += "CREATE INDEX main.lookup_" + QByteArray::number(++n) + " ON " + i.table + " (" +
           i.columns + ");\n";
  return sql;
}

// The optional columns the snapshot lacks, which the copy holds as NULL: a reader that
// compares two snapshots tells a NULL the dictionary holds from a value never read.
const char kAbsentColumnsSql[] =
    "CREATE TABLE main.absent_columns (table_name TEXT, column_name TEXT);\n";

// What the copy looks like: a copy made under another layout is made again.
const QByteArray& Layout() {
  static const QByteArray layout = [] {
    QByteArray text;
    for (const snapshot::Table& t : snapshot::Tables()) text += CreateTableSql(t);
    text += CreateIndexesSql();
    text += kAbsentColumnsSql;
    return QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex();
  }();
  return layout;
}

QByteArray Utf8(const QString& s) { return s.toUtf8(); }

// The lower-case names of the snapshot's tables and views.
QStringList SnapshotTables(LimitedConnection& c) {
  sqlite3_stmt* stmt = nullptr;
  QStringList names;
  if (sqlite3_prepare_v2(c.db(),
                         "SELECT lower(name) FROM snapshot.sqlite_schema "
                         "WHERE type IN ('table', 'view')",
                         -1, &stmt, nullptr) != SQLITE_OK)
    c.Throw(QStringLiteral("cannot be read"));
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
    names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) c.Throw(QStringLiteral("cannot be read"));
  return names;
}

// The lower-case column names of a snapshot table or view.
QStringList SnapshotColumns(LimitedConnection& c, const char* table) {
  sqlite3_stmt* stmt = nullptr;
  const QByteArray sql = "SELECT * FROM snapshot." + QByteArray(table);
  if (sqlite3_prepare_v2(c.db(), sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
    c.Throw(QStringLiteral("cannot be read"));
  QStringList names;
  for (int i = 0; i < sqlite3_column_count(stmt); ++i)
    names << QString::fromUtf8(sqlite3_column_name(stmt, i)).toLower();
  sqlite3_finalize(stmt);
  return names;
}

// Copies `table` of the snapshot into the prepared table of its name. An optional column the
// snapshot lacks is NULL; a required one it lacks fails the copy. No ORDER BY: sorting
// what a snapshot's view yields could spill without bound, while the copy is capped.
void Copy(LimitedConnection& c, const snapshot::Table& table) {
  const QStringList present = SnapshotColumns(c, table.name);
  QByteArrayList values;
  for (const snapshot::Column& col : table.columns) {
    if (!col.optional || present.contains(QLatin1String(col.name))) {
      values << QByteArray(col.name);
      continue;
    }
    values << "NULL AS " + QByteArray(col.name);
    c.Exec("INSERT INTO main.absent_columns VALUES ('" + QByteArray(table.name) + "', '" +
               col.name + "')",
           QStringLiteral("cannot be prepared"));
  }
  c.Exec("INSERT INTO main." + QByteArray(table.name) + " SELECT " + values.join(", ") +
             " FROM snapshot." + table.name,
         QStringLiteral("cannot be read"));
}

// Makes the prepared dictionary in the main database of `c`, which is empty.
void Prepare(LimitedConnection& c, const QString& path, const SnapshotStamp& stamp) {
  c.SetDeadline(CurrentSnapshotLimits().prepareSeconds);
  c.Exec("PRAGMA main.page_size = 4096; PRAGMA main.journal_mode = OFF; "
         "PRAGMA main.synchronous = OFF;",
         QStringLiteral("cannot be prepared"));
  c.SetSizeCap(4 * stamp.size + (qint64(16) << 20));
  const QByteArray uri = "file:" + QFile::encodeName(path).toPercentEncoding("/") + "?mode=ro";
  sqlite3_stmt* attach = nullptr;
  sqlite3_prepare_v2(c.db(), "ATTACH ?1 AS snapshot", -1, &attach, nullptr);
  sqlite3_bind_text(attach, 1, uri.constData(), uri.size(), SQLITE_TRANSIENT);
  const int rc = sqlite3_step(attach);
  sqlite3_finalize(attach);
  if (rc != SQLITE_DONE) c.Throw(QStringLiteral("cannot be opened"));

  c.Exec("BEGIN", QStringLiteral("cannot be read"));
  const QStringList present = SnapshotTables(c);
  QStringList missing;
  for (const snapshot::Table& t : snapshot::Tables())
    if (!t.optional && !present.contains(QLatin1String(t.name))) missing << t.name;
  if (!missing.isEmpty())
    throw BackendFailure{QStringLiteral("Dictionary snapshot %1 is not complete: it lacks %2.")
                             .arg(QDir::toNativeSeparators(path), missing.join(", "))};

  c.Exec(kAbsentColumnsSql, QStringLiteral("cannot be prepared"));
  for (const snapshot::Table& t : snapshot::Tables()) {
    c.Exec(CreateTableSql(t), QStringLiteral("cannot be prepared"));
    if (present.contains(QLatin1String(t.name))) Copy(c, t);
  }
  c.Exec(CreateIndexesSql(), QStringLiteral("cannot be prepared"));
  c.Exec("CREATE TABLE main.prepared (snapshot TEXT, size INTEGER, modified INTEGER, "
         "layout TEXT, changed INTEGER, device INTEGER, inode INTEGER);",
         QStringLiteral("cannot be prepared"));
  sqlite3_stmt* mark = nullptr;
  sqlite3_prepare_v2(c.db(), "INSERT INTO main.prepared VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)", -1,
                     &mark, nullptr);
  const QByteArray file = Utf8(path);
  sqlite3_bind_text(mark, 1, file.constData(), file.size(), SQLITE_TRANSIENT);
  sqlite3_bind_int64(mark, 2, stamp.size);
  sqlite3_bind_int64(mark, 3, stamp.modified);
  sqlite3_bind_text(mark, 4, Layout().constData(), Layout().size(), SQLITE_TRANSIENT);
  sqlite3_bind_int64(mark, 5, stamp.changed);
  sqlite3_bind_int64(mark, 6, stamp.device);
  sqlite3_bind_int64(mark, 7, stamp.inode);
  const int marked = sqlite3_step(mark);
  sqlite3_finalize(mark);
  if (marked != SQLITE_DONE) c.Throw(QStringLiteral("cannot be prepared"));
  c.Exec("COMMIT; DETACH snapshot;", QStringLiteral("cannot be prepared"));
}

// The user's cache directory. A relative XDG_CACHE_HOME is ignored, as the XDG rules say:
// it would put the cache wherever the program happens to be started.
QString CacheHome() {
  const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
  if (!xdg.isEmpty() && QDir::isRelativePath(xdg)) return QDir::homePath() + "/.cache";
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

QString CachePath(const QString& path) {
  return CacheHome() + QStringLiteral("/VLM/dictionaries/") +
         QString::fromLatin1(
             QCryptographicHash::hash(Utf8(path), QCryptographicHash::Sha1).toHex()) +
         QStringLiteral(".sqlite");
}

// The cached copy when it was made from this version of the snapshot under this layout.
std::unique_ptr<LimitedConnection> OpenCached(const QString& path, const SnapshotStamp& stamp,
                                              const QString& cache) {
  // Only a regular file: SQLite would wait on a FIFO for ever, and a link leads elsewhere.
  struct stat st {};
  if (::lstat(QFile::encodeName(cache).constData(), &st) != 0 || !S_ISREG(st.st_mode))
    return nullptr;
  try {
    auto c = std::make_unique<LimitedConnection>(path, QFile::encodeName(cache),
                                                 SQLITE_OPEN_READONLY);
    c->SetCopyFile(cache);
    // The copy is never written once made (a new one is renamed over it), so the lock taken
    // at the first read is kept: no query pays for taking it and looking for a journal.
    c->Exec("PRAGMA main.locking_mode = EXCLUSIVE", QStringLiteral("cannot be read"));
    sqlite3_stmt* stmt = nullptr;
    bool current = false;
    if (sqlite3_prepare_v2(c->db(),
                           "SELECT snapshot, size, modified, layout, changed, device, inode "
                           "FROM main.prepared",
                           -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
      current = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) ==
                    Utf8(path) &&
                sqlite3_column_int64(stmt, 1) == stamp.size &&
                sqlite3_column_int64(stmt, 2) == stamp.modified &&
                QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3))) ==
                    Layout() &&
                sqlite3_column_int64(stmt, 4) == stamp.changed &&
                sqlite3_column_int64(stmt, 5) == stamp.device &&
                sqlite3_column_int64(stmt, 6) == stamp.inode;
    }
    sqlite3_finalize(stmt);
    return current ? std::move(c) : nullptr;
  } catch (const BackendFailure&) {
    return nullptr;  // unreadable: made again
  }
}

// Errors of the place a copy is written to, rather than of the snapshot.
bool IsStorageError(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_PERM:
      return true;
    default:
      return false;
  }
}

// Makes the copy in the cache; null when the cache cannot be written.
std::unique_ptr<LimitedConnection> MakeCached(const QString& path, const SnapshotStamp& stamp,
                                              const QString& cache) {
  const QFileInfo target(cache);
  if (!QDir().mkpath(target.absolutePath())) return nullptr;
  QTemporaryFile part(target.absolutePath() + QStringLiteral("/XXXXXX.part"));
  if (!part.open()) return nullptr;
  part.close();
  {
    std::unique_ptr<LimitedConnection> c;
    try {
      c = std::make_unique<LimitedConnection>(path, QFile::encodeName(part.fileName()),
                                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI);
    } catch (const BackendFailure&) {
      return nullptr;
    }
    try {
      Prepare(*c, path, stamp);
    } catch (const BackendFailure&) {
      // Reading the snapshot failed, or writing here did: only the second is tried again
      // elsewhere (and a snapshot that fills any place fails there too).
      if (IsStorageError(sqlite3_extended_errcode(c->db()))) return nullptr;
      throw;
    }
  }
  std::error_code error;
  std::filesystem::rename(QFile::encodeName(part.fileName()).toStdString(),
                          QFile::encodeName(cache).toStdString(), error);
  if (error) return nullptr;
  return OpenCached(path, stamp, cache);
}

}  // namespace

SnapshotStamp StampOf(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  const auto nanoseconds = [](const timespec& t) {
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
  };
  return {qint64(st.st_size), nanoseconds(st.st_mtim), nanoseconds(st.st_ctim),
          qint64(st.st_dev), qint64(st.st_ino)};
}

void DiscardPreparedCopy(const QString& copy) { ::unlink(QFile::encodeName(copy).constData()); }

std::unique_ptr<LimitedConnection> OpenPreparedDictionary(const QString& path,
                                                          const SnapshotStamp& stamp) {
  // SQLite would wait for ever on a FIFO, read a device as a damaged database and name a
  // missing file by its URI: the system's own reason is clearer.
  struct stat st {};
  const bool found = ::stat(QFile::encodeName(path).constData(), &st) == 0;
  const QString why = !found ? QString::fromLocal8Bit(std::strerror(errno))
                             : QStringLiteral("it is not a regular file");
  if (!found || !S_ISREG(st.st_mode))
    throw BackendFailure{QStringLiteral("Dictionary snapshot %1: cannot be opened: %2")
                             .arg(QDir::toNativeSeparators(path), why)};
  const QString cache = CachePath(path);
  if (auto cached = OpenCached(path, stamp, cache)) return cached;
  if (auto made = MakeCached(path, stamp, cache)) return made;
  auto temporary = std::make_unique<LimitedConnection>(
      path, QByteArray(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI);
  Prepare(*temporary, path, stamp);
  return temporary;
}

const QByteArray& LoginViewsSql() {
  static const QByteArray sql = [] {
    QByteArray out;
    for (const LoginView& v : kLoginViews) {
      const snapshot::Table& table = SchemaTable(v.table);
      const QByteArray from = " FROM main." + QByteArray(v.table);
      QByteArray select;
      switch (v.rows) {
        case Rows::Owned:
          select = "SELECT " + ColumnList(table, v.owner) + from + " WHERE " + v.owner +
                   " = logon_owner()";
          break;
        case Rows::Granted:
          select = "SELECT " + ColumnList(table) + from +
                   " WHERE owner = logon_owner() OR grantor = logon_owner() "
                   "OR grantee = logon_owner()";
          break;
        case Rows::OwnFirst:
          select = "SELECT " + ColumnList(table) + from + " WHERE " + v.owner +
                   " = logon_owner() UNION ALL SELECT " + ColumnList(table) + from + " WHERE " +
                   v.owner + " IS NOT logon_owner()";
          break;
        case Rows::Every:
          select = "SELECT " + ColumnList(table) + from;
          break;
      }
      out += "CREATE TEMP VIEW " + QByteArray(v.name) + " AS " + select + ";\n";
    }
    return out;
  }();
  return sql;
}
