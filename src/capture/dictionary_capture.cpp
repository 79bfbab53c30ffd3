#include "capture/dictionary_capture.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <memory>

#include "db/oracle_backend.h"
#include "db/snapshot_schema.h"
#include "text/file_replacement.h"

namespace {

// One snapshot table and the select that fills it from an ALL_ view. The select names its
// columns as the table does; "%O" stands for the list of owners' binds. Rows come sorted, so
// that the same dictionary gives the same file.
struct ViewRead {
  const char* table;
  const char* view;
  const char* sql;
};

const ViewRead kReads[] = {
    {"dba_tables", "ALL_TABLES",
     "SELECT owner, table_name FROM all_tables WHERE owner IN (%O) ORDER BY owner, table_name"},
    {"dba_tab_comments", "ALL_TAB_COMMENTS",
     "SELECT owner, table_name, table_type, comments FROM all_tab_comments "
     "WHERE owner IN (%O) ORDER BY owner, table_name"},
    {"dba_tab_columns", "ALL_TAB_COLUMNS",
     "SELECT owner, table_name, column_name, column_id, data_type, data_length, "
     "data_precision, nullable, data_scale, char_length, char_used, data_default "
     "FROM all_tab_columns WHERE owner IN (%O) ORDER BY owner, table_name, column_id"},
    {"dba_col_comments", "ALL_COL_COMMENTS",
     "SELECT owner, table_name, column_name, comments FROM all_col_comments "
     "WHERE owner IN (%O) ORDER BY owner, table_name, column_name"},
    // Only the kinds a document shows: view checks, read-only and REF constraints stay out.
    {"dba_constraints", "ALL_CONSTRAINTS",
     "SELECT owner, constraint_name, constraint_type, table_name, r_owner, "
     "r_constraint_name, search_condition FROM all_constraints WHERE owner IN (%O) "
     "AND constraint_type IN ('P', 'R', 'U', 'C') ORDER BY owner, constraint_name"},
    {"dba_cons_columns", "ALL_CONS_COLUMNS",
     "SELECT owner, constraint_name, table_name, column_name, position FROM all_cons_columns "
     "WHERE owner IN (%O) ORDER BY owner, constraint_name, position, column_name"},
    {"dba_indexes", "ALL_INDEXES",
     "SELECT owner, index_name, table_owner, table_name, uniqueness FROM all_indexes "
     "WHERE owner IN (%O) ORDER BY owner, index_name"},
    {"dba_ind_columns", "ALL_IND_COLUMNS",
     "SELECT index_owner, index_name, table_owner, table_name, column_name, column_position, "
     "descend FROM all_ind_columns WHERE index_owner IN (%O) "
     "ORDER BY index_owner, index_name, column_position"},
    // A function-based or descending index column is a hidden SYS_NC column above; its
    // expression is here (a LONG, which the client reads as text).
    {"dba_ind_expressions", "ALL_IND_EXPRESSIONS",
     "SELECT index_owner, index_name, table_owner, table_name, column_position, "
     "column_expression FROM all_ind_expressions WHERE index_owner IN (%O) "
     "ORDER BY index_owner, index_name, column_position"},
    {"dba_views", "ALL_VIEWS",
     "SELECT owner, view_name, text FROM all_views WHERE owner IN (%O) ORDER BY owner, view_name"},
    // Types and triggers have source too; the documents read only these four kinds.
    {"dba_source", "ALL_SOURCE",
     "SELECT owner, name, type, line, text FROM all_source WHERE owner IN (%O) "
     "AND type IN ('FUNCTION', 'PROCEDURE', 'PACKAGE', 'PACKAGE BODY') "
     "ORDER BY owner, name, type, line"},
    {"dba_sequences", "ALL_SEQUENCES",
     "SELECT sequence_owner, sequence_name FROM all_sequences WHERE sequence_owner IN (%O) "
     "ORDER BY sequence_owner, sequence_name"},
    // ALL_TAB_PRIVS calls the owner of the object its schema.
    {"dba_tab_privs", "ALL_TAB_PRIVS",
     "SELECT table_schema AS owner, table_name, grantor, grantee, privilege FROM all_tab_privs "
     "WHERE table_schema IN (%O) ORDER BY table_schema, table_name, grantee, privilege, grantor"},
    // The owners' synonyms and those of others (PUBLIC among them) for the owners' objects.
    {"dba_synonyms", "ALL_SYNONYMS",
     "SELECT owner, synonym_name, table_owner, table_name FROM all_synonyms "
     "WHERE owner IN (%O) OR table_owner IN (%O) ORDER BY owner, synonym_name"},
    {"dba_arguments", "ALL_ARGUMENTS",
     "SELECT owner, package_name, object_name, overload, argument_name, position, sequence, "
     "data_level, data_type, in_out, default_value, defaulted FROM all_arguments "
     "WHERE owner IN (%O) "
     "ORDER BY owner, package_name, object_name, overload, sequence"},
    {"dba_procedures", "ALL_PROCEDURES",
     "SELECT owner, object_name, procedure_name, object_type, subprogram_id, overload "
     "FROM all_procedures WHERE owner IN (%O) "
     "AND object_type IN ('PACKAGE', 'FUNCTION', 'PROCEDURE') "
     "ORDER BY owner, object_name, subprogram_id, overload"},
    // What the owners' objects use, and what of other schemas uses them.
    {"dba_dependencies", "ALL_DEPENDENCIES",
     "SELECT owner, name, type, referenced_owner, referenced_name, referenced_type, "
     "dependency_type FROM all_dependencies WHERE owner IN (%O) OR referenced_owner IN (%O) "
     "ORDER BY owner, name, type, referenced_owner, referenced_name, referenced_type"},
    // The trigger's body is a LONG, which the client reads as text.
    {"dba_triggers", "ALL_TRIGGERS",
     "SELECT owner, trigger_name, trigger_type, triggering_event, table_owner, "
     "base_object_type, table_name, column_name, referencing_names, when_clause, status, "
     "description, action_type, trigger_body FROM all_triggers WHERE owner IN (%O) "
     "ORDER BY owner, trigger_name"},
    // Dates as text in one fixed form, whatever the session's NLS_DATE_FORMAT.
    {"dba_objects", "ALL_OBJECTS",
     "SELECT owner, object_name, object_type, status, "
     "TO_CHAR(created, 'YYYY-MM-DD HH24:MI:SS') AS created, "
     "TO_CHAR(last_ddl_time, 'YYYY-MM-DD HH24:MI:SS') AS last_ddl_time FROM all_objects "
     "WHERE owner IN (%O) ORDER BY owner, object_name, object_type"},
};

struct Failure {
  QString message;
};

// The select's text with "%O" replaced by a bind per owner, and the binds in order.
std::pair<QString, QStringList> WithOwners(const char* sql, const QStringList& owners) {
  QString text = QString::fromLatin1(sql);
  QStringList binds;
  qsizetype at = 0;
  while ((at = text.indexOf(QLatin1String("%O"), at)) >= 0) {
    QStringList marks;
    for (const QString& owner : owners) {
      binds << owner;
      marks << QStringLiteral(":%1").arg(binds.size());
    }
    const QString list = marks.join(QStringLiteral(", "));
    text.replace(at, 2, list);
    at += list.size();
  }
  return {text, binds};
}

class MemorySnapshot {
 public:
  MemorySnapshot() {
    if (sqlite3_open(":memory:", &db_) != SQLITE_OK) Fail("cannot open");
    Exec(snapshot::TablesSql());
    Exec("BEGIN");
  }
  ~MemorySnapshot() { sqlite3_close(db_); }

  // Inserts every row of `cursor` into `table`, its columns read by their names.
  qint64 Insert(const snapshot::Table& table, BackendCursor& cursor, const char* view) {
    QString sql = QStringLiteral("INSERT INTO %1 VALUES (").arg(QLatin1String(table.name));
    std::vector<int> from;
    for (const snapshot::Column& c : table.columns) {
      sql += from.empty() ? QStringLiteral("?") : QStringLiteral(", ?");
      from.push_back(cursor.ColumnIndex(QLatin1String(c.name)));
      if (from.back() < 0)
        throw Failure{QStringLiteral("%1 has no column %2").arg(QLatin1String(view),
                                                               QString(c.name).toUpper())};
    }
    sqlite3_stmt* stmt = Prepare(sql + u')');
    qint64 rows = 0;
    for (; !cursor.Eof(); cursor.Next(), ++rows) {
      for (size_t i = 0; i < from.size(); ++i) {
        // Oracle has no empty text: what reads as "" is NULL.
        const QByteArray value = cursor.Value(from[i]).toUtf8();
        if (value.isEmpty())
          sqlite3_bind_null(stmt, int(i) + 1);
        else
          sqlite3_bind_text(stmt, int(i) + 1, value.constData(), int(value.size()),
                            SQLITE_TRANSIENT);
      }
      Step(stmt);
    }
    sqlite3_finalize(stmt);
    return rows;
  }

  void AddUser(const QString& name, const std::optional<QString>& password) {
    sqlite3_stmt* stmt = Prepare(QStringLiteral("INSERT INTO dba_users VALUES (?, ?)"));
    const QByteArray user = name.toUtf8();
    sqlite3_bind_text(stmt, 1, user.constData(), int(user.size()), SQLITE_TRANSIENT);
    if (password) {
      const QByteArray hash =
          QCryptographicHash::hash(password->toUtf8(), QCryptographicHash::Sha256).toHex();
      sqlite3_bind_text(stmt, 2, hash.constData(), int(hash.size()), SQLITE_TRANSIENT);
    }
    Step(stmt);
    sqlite3_finalize(stmt);
  }

  QByteArray Bytes() {
    Exec("COMMIT");
    sqlite3_int64 size = 0;
    unsigned char* data = sqlite3_serialize(db_, "main", &size, 0);
    if (!data) Fail("cannot serialize");
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    sqlite3_free(data);
    return bytes;
  }

 private:
  [[noreturn]] void Fail(const char* what) const {
    throw Failure{QStringLiteral("The snapshot could not be made in memory (%1: %2).")
                      .arg(QLatin1String(what), QString::fromUtf8(sqlite3_errmsg(db_)))};
  }
  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail("schema");
  }
  sqlite3_stmt* Prepare(const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
      Fail("insert");
    return stmt;
  }
  void Step(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
      sqlite3_finalize(stmt);
      Fail("insert");
    }
  }

  sqlite3* db_ = nullptr;
};

// Runs a select, naming the view it reads when it fails.
std::unique_ptr<BackendCursor> Read(OracleSession& session, const char* view, const QString& sql,
                                    const QStringList& binds) {
  try {
    return session.Select(sql, binds);
  } catch (const BackendFailure& f) {
    throw Failure{QStringLiteral("Reading %1 failed: %2").arg(QLatin1String(view), f.message)};
  }
}

// The owners asked for, each checked against ALL_USERS; the user's own when none are.
QStringList Owners(OracleSession& session, const QStringList& asked) {
  QStringList owners = asked;
  if (owners.isEmpty()) {
    auto cursor = Read(session, "USER_USERS", QStringLiteral("SELECT username FROM user_users"), {});
    if (!cursor->Eof()) owners << cursor->Value(0);
  }
  owners.removeDuplicates();
  const auto [sql, binds] =
      WithOwners("SELECT username FROM all_users WHERE username IN (%O)", owners);
  auto cursor = Read(session, "ALL_USERS", sql, binds);
  QStringList seen;
  for (; !cursor->Eof(); cursor->Next()) seen << cursor->Value(0);
  QStringList missing;
  for (const QString& owner : owners)
    if (!seen.contains(owner)) missing << owner;
  if (!missing.isEmpty())
    throw Failure{QStringLiteral("ALL_USERS shows no user %1. Owners are named as Oracle "
                                 "stores them, in upper case unless created in quotes.")
                      .arg(missing.join(QStringLiteral(", ")))};
  return owners;
}

// A view is read: its step, named with the rows it gave, so that a schema the user cannot
// see shows as a count of nothing.
void Done(BuildProgress& progress, const char* view, qint64 rows) {
  progress.SetInfoText(QStringLiteral("%1: %2 %3")
                           .arg(QLatin1String(view))
                           .arg(rows)
                           .arg(rows == 1 ? QStringLiteral("row") : QStringLiteral("rows")));
  progress.StepProgress(1);
}

}  // namespace

std::optional<ConnectionText> ParseConnection(const QString& text) {
  const qsizetype at = text.lastIndexOf(u'@');
  if (at < 0) return std::nullopt;
  const QString left = text.left(at);
  const qsizetype slash = left.indexOf(u'/');
  ConnectionText c;
  c.user = slash < 0 ? left : left.left(slash);
  if (slash >= 0) c.password = left.mid(slash + 1);
  c.database = text.mid(at + 1);
  if (c.user.isEmpty() || c.database.isEmpty()) return std::nullopt;
  return c;
}

QStringList OwnerNames(const QString& list) {
  QStringList names;
  for (QString name : list.split(u',')) {
    name = name.trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
      name = name.mid(1, name.size() - 2);
    else
      name = name.toUpper();
    if (!name.isEmpty()) names << name;
  }
  return names;
}

CaptureResult CaptureDictionary(const CaptureRequest& request, const QString& out,
                                BuildProgress& progress) {
  CaptureResult result;
  FileReplacement file(out);
  if (!file.Begin()) {
    result.error = QStringLiteral("%1 cannot be written: %2").arg(out, file.Error());
    return result;
  }
  const int steps = int(std::size(kReads)) + 1;
  progress.SetProgressMax(steps);
  std::unique_ptr<OracleSession> session;
  try {
    progress.SetInfoText(QStringLiteral("Logging on as %1@%2").arg(request.user, request.server));
    try {
      session = OpenOracleSession(request.server, request.user, request.password,
                                  request.callTimeoutSeconds);
    } catch (const BackendFailure& f) {
      throw Failure{f.message};
    } catch (const OciLibraryMissing& m) {
      throw Failure{m.message};
    }
    MemorySnapshot snapshot;
    progress.SetInfoText(QStringLiteral("Reading ALL_USERS"));
    result.owners = Owners(*session, request.owners);
    for (const QString& owner : result.owners) snapshot.AddUser(owner, request.snapshotPassword);
    result.rows = result.owners.size();
    Done(progress, "ALL_USERS", result.rows);
    for (const ViewRead& read : kReads) {
      progress.SetInfoText(QStringLiteral("Reading %1").arg(QLatin1String(read.view)));
      const auto [sql, binds] = WithOwners(read.sql, result.owners);
      auto cursor = Read(*session, read.view, sql, binds);
      qint64 rows = 0;
      try {
        rows = snapshot.Insert(*snapshot::FindTable(read.table), *cursor, read.view);
      } catch (const BackendFailure& f) {
        throw Failure{QStringLiteral("Reading %1 failed: %2").arg(QLatin1String(read.view),
                                                                   f.message)};
      }
      result.rows += rows;
      Done(progress, read.view, rows);
    }
    const QByteArray bytes = snapshot.Bytes();
    file.File().write(bytes);
    if (file.Commit() != FileReplacement::Outcome::New)
      throw Failure{QStringLiteral("%1 cannot be written: %2").arg(out, file.Error())};
  } catch (const Failure& f) {
    result.error = f.message;
  }
  return result;
}
