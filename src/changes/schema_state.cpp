#include "changes/schema_state.h"

#include <sqlite3.h>

#include <functional>

#include "db/index_expressions.h"
#include "db/prepared_dictionary.h"

namespace changes {

struct SnapshotReads {
  explicit SnapshotReads(LimitedConnection& c) : connection(c) {}
  ~SnapshotReads() {
    for (const auto& [sql, stmt] : statements) sqlite3_finalize(stmt);
  }
  LimitedConnection& connection;
  std::map<const char*, sqlite3_stmt*> statements;  // by their SQL text, which is constant
};

namespace {

// A statement of a read, made at its first use and kept in `slot` for the next one: the
// parts of many objects are read with the same few statements.
class Statement {
 public:
  Statement(SnapshotReads& reads, const char* sql) : c_(reads.connection) {
    c_.SetDeadline(CurrentSnapshotLimits().querySeconds);
    sqlite3_stmt*& slot = reads.statements[sql];
    if (!slot && sqlite3_prepare_v2(c_.db(), sql, -1, &slot, nullptr) != SQLITE_OK)
      c_.Throw(QStringLiteral("cannot be read"));
    stmt_ = slot;
  }
  ~Statement() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int position, const QString& value) {
    const QByteArray bytes = value.toUtf8();
    sqlite3_bind_text(stmt_, position, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // The next row; false at the end.
  bool Next() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) c_.Throw(QStringLiteral("cannot be read"));
    return false;
  }
  // A value as text, NULL as "".
  QString operator[](int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column)) : QString();
  }
  QByteArrayView Bytes(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return {data, sqlite3_column_bytes(stmt_, column)};
  }
  // A value's hash chained to `seed`: a number as the number it is (no text made of it), a
  // NULL apart from an empty text.
  size_t Hash(int column, size_t seed) const {
    switch (sqlite3_column_type(stmt_, column)) {
      case SQLITE_NULL:
        return seed * 31 + 1;
      case SQLITE_INTEGER:
        return qHash(qint64(sqlite3_column_int64(stmt_, column)), seed) * 31 + 2;
      default: {
        const QByteArrayView value = Bytes(column);
        return qHashBits(value.data(), size_t(value.size()), seed) * 31 + 3;
      }
    }
  }
  int Columns() const { return sqlite3_column_count(stmt_); }

 private:
  LimitedConnection& c_;
  sqlite3_stmt* stmt_ = nullptr;
};

QString Joined(const QStringList& names) { return names.join(QStringLiteral(", ")); }

// The NOT NULL check Oracle keeps for each such column: the column's Null flag shows it.
bool IsNotNullCheck(const QString& condition) {
  const QString c = condition.trimmed();
  return c.startsWith(u'"') && c.endsWith(QLatin1String("\" IS NOT NULL")) &&
         c.indexOf(u'"', 1) == c.size() - int(qstrlen("\" IS NOT NULL"));
}

// A name the database made up, which differs between two databases made alike.
bool SystemName(const QString& name) { return name.startsWith(QLatin1String("SYS_")); }

// The reads whose rows make up the digests: each row belongs to the object its first two
// columns name (owner, name); the rest are what the row says of it. A name the database
// made up reads as NULL, and so does the hidden column of a descending or function-based
// index, whose number depends on the columns the table had when the index was made: its
// expression stands for it. Plain scans: a join would look a row up for each row.
#define SYSTEM_NAME_AS_NULL(column) \
  "CASE WHEN " column " LIKE 'SYS\\_%' ESCAPE '\\' THEN NULL ELSE " column " END"
#define HIDDEN_COLUMN_AS_NULL(column) \
  "CASE WHEN " column " LIKE 'SYS\\_NC%$' ESCAPE '\\' THEN NULL ELSE " column " END"
const char* const kDigestReads[] = {
    "SELECT owner, table_name, table_type, comments FROM dba_tab_comments",
    "SELECT owner, table_name, column_name, data_type, data_length, data_precision, "
    "data_scale, char_length, char_used, nullable, data_default FROM dba_tab_columns",
    "SELECT owner, table_name, column_name, comments FROM dba_col_comments",
    "SELECT owner, table_name, " SYSTEM_NAME_AS_NULL("constraint_name") ", constraint_type, "
    "r_owner, r_constraint_name, search_condition FROM dba_constraints",
    "SELECT owner, table_name, " SYSTEM_NAME_AS_NULL("constraint_name") ", column_name, "
    "position FROM dba_cons_columns",
    "SELECT table_owner, table_name, " SYSTEM_NAME_AS_NULL("index_name") ", uniqueness "
    "FROM dba_indexes",
    "SELECT table_owner, table_name, " SYSTEM_NAME_AS_NULL("index_name") ", "
    HIDDEN_COLUMN_AS_NULL("column_name") ", column_position, descend FROM dba_ind_columns",
    "SELECT table_owner, table_name, " SYSTEM_NAME_AS_NULL("index_name") ", column_position, "
    "column_expression FROM dba_ind_expressions",
    "SELECT owner, view_name, text FROM dba_views",
    "SELECT owner, coalesce(package_name, object_name), object_name, overload, argument_name, "
    "position, data_type, in_out, default_value, defaulted FROM dba_arguments "
    "WHERE data_level = 0",
    "SELECT owner, object_name, procedure_name, overload FROM dba_procedures "
    "WHERE object_type = 'PACKAGE' AND procedure_name IS NOT NULL",
};
#undef HIDDEN_COLUMN_AS_NULL
#undef SYSTEM_NAME_AS_NULL

QByteArray ObjectKey(QByteArrayView owner, QByteArrayView name) {
  QByteArray key;
  key.reserve(owner.size() + name.size() + 1);
  return key.append(owner).append('\x1f').append(name);
}

}  // namespace

SnapshotReader::SnapshotReader(const QString& path, const QStringList& owners)
    : connection_(OpenPreparedDictionary(path, StampOf(path))),
      reads_(std::make_unique<SnapshotReads>(*connection_)) {
  for (const QString& owner : owners) owners_ << owner.toUtf8();
  ReadObjects();
  ReadDigests();
}

SnapshotReader::~SnapshotReader() = default;

void SnapshotReader::ReadObjects() {
  const auto wanted = [&](const QString& owner) {
    return owners_.isEmpty() || owners_.contains(owner.toUtf8());
  };
  const auto each = [&](const char* sql, const std::function<void(const Statement&)>& row) {
    Statement s(*reads_, sql);
    while (s.Next())
      if (wanted(s[0])) row(s);
  };
  OwnerState* last = nullptr;
  QString lastOwner;
  const auto owner = [&](const QString& name) -> OwnerState& {
    if (!last || name != lastOwner) last = &state_.owners[lastOwner = name];
    return *last;
  };
  each("SELECT owner, table_name FROM dba_tables",
       [&](const Statement& s) { owner(s[0]).tables[s[1]]; });
  each("SELECT owner, view_name FROM dba_views",
       [&](const Statement& s) { owner(s[0]).views[s[1]]; });
  each("SELECT sequence_owner, sequence_name FROM dba_sequences",
       [&](const Statement& s) { owner(s[0]).sequences.insert(s[1]); });
  each("SELECT DISTINCT owner, name, type FROM dba_source "
       "WHERE type IN ('FUNCTION', 'PROCEDURE', 'PACKAGE')",
       [&](const Statement& s) {
         if (s[2] == QLatin1String("PACKAGE"))
           owner(s[0]).packages[s[1]];
         else
           owner(s[0]).units[s[1]].type = s[2];
       });
  Statement any(*reads_, "SELECT 1 FROM dba_arguments LIMIT 1");
  state_.hasSignatures = any.Next();
  Statement absent(*reads_, "SELECT column_name FROM absent_columns "
                            "WHERE table_name = 'dba_tab_columns'");
  ColumnDetails& held = state_.columnDetails;
  while (absent.Next()) {
    const QString column = absent[0];
    if (column == QLatin1String("data_scale")) held.scale = false;
    if (column == QLatin1String("char_length")) held.charLength = false;
    if (column == QLatin1String("char_used")) held.charUsed = false;
    if (column == QLatin1String("data_default")) held.defaults = false;
  }
}

// Sums a hash of each row into its object's digest: a sum does not depend on the order of
// the rows, which no read here fixes, and hashing the raw bytes makes no text of them.
void SnapshotReader::ReadDigests() {
  for (size_t read = 0; read < std::size(kDigestReads); ++read) {
    Statement s(*reads_, kDigestReads[read]);
    QByteArray lastOwner, lastName;
    quint64* digest = nullptr;
    while (s.Next()) {
      const QByteArrayView owner = s.Bytes(0), name = s.Bytes(1);
      if (!owners_.isEmpty() && !owners_.contains(owner)) continue;
      // Rows of one object mostly come together: its entry is looked up once for them.
      if (!digest || owner != lastOwner || name != lastName) {
        lastOwner = owner.toByteArray();
        lastName = name.toByteArray();
        digest = &digests_[ObjectKey(owner, name)];
      }
      size_t h = read + 1;
      for (int i = 2; i < s.Columns(); ++i) h = s.Hash(i, h);
      *digest += h;
    }
  }
}

quint64 SnapshotReader::Digest(const QString& owner, const QString& name) const {
  return digests_.value(ObjectKey(owner.toUtf8(), name.toUtf8()));
}

namespace {

ColumnState ColumnOf(const Statement& s, int from) {
  ColumnState col;
  col.type = {s[from], s[from + 1], s[from + 2], s[from + 3], s[from + 4], s[from + 5]};
  col.typeText = ColumnTypeText(col.type);
  col.nullable = s[from + 6] != QLatin1String("N");
  col.defaultValue = s[from + 7].trimmed();
  col.comment = s[from + 8];
  return col;
}

// The table or view's comment and columns.
template <class Object>
void ReadColumns(SnapshotReads& c, const QString& owner, const QString& name, Object& object) {
  Statement comment(c, "SELECT comments FROM dba_tab_comments WHERE table_name = ?1 AND owner = ?2");
  comment.Bind(1, name).Bind(2, owner);
  if (comment.Next()) object.comment = comment[0];
  Statement s(c,
              "SELECT c.column_name, c.data_type, c.data_length, c.data_precision, c.data_scale, "
              "c.char_length, c.char_used, c.nullable, c.data_default, m.comments "
              "FROM dba_tab_columns c LEFT JOIN dba_col_comments m ON m.owner = c.owner "
              "AND m.table_name = c.table_name AND m.column_name = c.column_name "
              "WHERE c.table_name = ?1 AND c.owner = ?2");
  s.Bind(1, name).Bind(2, owner);
  while (s.Next()) object.columns[s[0]] = ColumnOf(s, 1);
}

// The table and columns of the key `name` of `owner`.
std::pair<QString, QStringList> KeyColumns(SnapshotReads& c, const QString& owner,
                                           const QString& name) {
  Statement s(c, "SELECT table_name, column_name FROM dba_cons_columns "
                 "WHERE constraint_name = ?1 AND owner = ?2 ORDER BY position, column_name");
  s.Bind(1, name).Bind(2, owner);
  std::pair<QString, QStringList> key;
  while (s.Next()) {
    key.first = s[0];
    key.second << s[1];
  }
  return key;
}

void ReadConstraints(SnapshotReads& c, const QString& owner, const QString& name,
                     TableState& table) {
  Statement s(c, "SELECT constraint_name, constraint_type, r_owner, r_constraint_name, "
                 "search_condition FROM dba_constraints WHERE table_name = ?1 AND owner = ?2");
  s.Bind(1, name).Bind(2, owner);
  while (s.Next()) {
    const QString constraint = s[0], type = s[1], condition = s[4];
    const QString columns = Joined(KeyColumns(c, owner, constraint).second);
    QString text;
    if (type == QLatin1String("P")) {
      text = "PRIMARY KEY (" + columns + ')';
    } else if (type == QLatin1String("U")) {
      text = "UNIQUE (" + columns + ')';
    } else if (type == QLatin1String("R")) {
      const auto [refTable, refColumns] = KeyColumns(c, s[2], s[3]);
      text = "FOREIGN KEY (" + columns + ") REFERENCES " + s[2] + '.' +
             (refTable.isEmpty() ? s[3] : refTable + " (" + Joined(refColumns) + ')');
    } else if (type == QLatin1String("C") && !IsNotNullCheck(condition)) {
      text = "CHECK (" + condition.trimmed() + ')';
    } else {
      continue;
    }
    table.constraints[SystemName(constraint) ? type + ' ' + text : constraint] = {constraint,
                                                                                  type, text};
  }
}

void ReadIndexes(SnapshotReads& c, const QString& owner, const QString& name,
                 TableState& table) {
  Statement s(c, "SELECT owner, index_name, uniqueness FROM dba_indexes "
                 "WHERE table_name = ?1 AND table_owner = ?2");
  s.Bind(1, name).Bind(2, owner);
  while (s.Next()) {
    const QString index = s[1];
    const bool unique = s[2] == QLatin1String("UNIQUE");
    // A hidden column is its expression: its own name says only when it was made.
    Statement cols(c, "SELECT i.column_name, i.descend, e.column_expression "
                      "FROM dba_ind_columns i LEFT JOIN dba_ind_expressions e "
                      "ON e.index_name = i.index_name AND e.index_owner = i.index_owner "
                      "AND e.column_position = i.column_position "
                      "WHERE i.index_name = ?1 AND i.index_owner = ?2 "
                      "ORDER BY i.column_position");
    cols.Bind(1, index).Bind(2, s[0]);
    QStringList columns;
    while (cols.Next()) {
      const QString expression = cols[2];
      const QString column = expression.isEmpty() ? cols[0] : IndexExpressionText(expression);
      columns << (cols[1] == QLatin1String("DESC") ? column + " DESC" : column);
    }
    const QString text =
        (unique ? QStringLiteral("UNIQUE (") : QStringLiteral("(")) + Joined(columns) + ')';
    table.indexes[SystemName(index) ? text : index] = {index, unique, text};
  }
}

// What an argument row says of a default: its own default_value, or `defaulted` Y or N; a
// snapshot made before `defaulted` was read says nothing.
ArgumentState::Default DefaultOf(const QString& value, const QString& defaulted) {
  if (defaulted == QLatin1String("Y") || !value.trimmed().isEmpty())
    return ArgumentState::Default::Yes;
  if (defaulted == QLatin1String("N")) return ArgumentState::Default::No;
  return ArgumentState::Default::Unknown;
}

// The signatures declared for a unit (`package` empty) or a package's members, by member
// and overload number; members without arguments from the package's list of subprograms.
std::map<QString, std::map<int, Signature>> ReadSignatures(SnapshotReads& c,
                                                           const QString& owner,
                                                           const QString& unit, bool package) {
  std::map<QString, std::map<int, Signature>> declared;
  Statement s(c, package
                     ? "SELECT object_name, overload, argument_name, position, data_type, in_out, "
                       "default_value, defaulted FROM dba_arguments WHERE owner = ?1 AND "
                       "package_name = ?2 AND data_level = 0 "
                       "ORDER BY object_name, CAST(overload AS INTEGER), sequence"
                     : "SELECT object_name, overload, argument_name, position, data_type, in_out, "
                       "default_value, defaulted FROM dba_arguments WHERE owner = ?1 AND "
                       "package_name IS NULL AND object_name = ?2 AND data_level = 0 "
                       "ORDER BY sequence");
  s.Bind(1, owner).Bind(2, unit);
  while (s.Next()) {
    Signature& sig = declared[s[0]][s[1].toInt()];
    if (s[2].isEmpty()) {
      // The return value; before Oracle 12.1.0.2 a procedure without arguments had a row
      // without a name or a type in their place.
      if (s[3] == QLatin1String("0")) sig.returns = s[4];
      continue;
    }
    sig.arguments.push_back({s[2], s[4], s[5], DefaultOf(s[6], s[7])});
  }
  if (package) {
    Statement members(c, "SELECT procedure_name, overload FROM dba_procedures WHERE owner = ?1 "
                         "AND object_name = ?2 AND object_type = 'PACKAGE' "
                         "AND procedure_name IS NOT NULL");
    members.Bind(1, owner).Bind(2, unit);
    while (members.Next()) declared[members[0]][members[1].toInt()];
  }
  return declared;
}

}  // namespace

void SnapshotReader::ReadParts(const QString& owner, const QString& name) {
  const auto o = state_.owners.find(owner);
  if (o == state_.owners.end()) return;
  OwnerState& objects = o->second;
  SnapshotReads& c = *reads_;
  if (const auto t = objects.tables.find(name); t != objects.tables.end()) {
    ReadColumns(c, owner, name, t->second);
    ReadConstraints(c, owner, name, t->second);
    ReadIndexes(c, owner, name, t->second);
  } else if (const auto v = objects.views.find(name); v != objects.views.end()) {
    ReadColumns(c, owner, name, v->second);
    Statement text(c, "SELECT text FROM dba_views WHERE owner = ?1 AND view_name = ?2");
    text.Bind(1, owner).Bind(2, name);
    if (text.Next()) v->second.text = text[0];
  } else if (const auto u = objects.units.find(name); u != objects.units.end()) {
    const auto declared = ReadSignatures(c, owner, name, false);
    if (!declared.empty()) u->second.signature = declared.begin()->second.begin()->second;
  } else if (const auto p = objects.packages.find(name); p != objects.packages.end()) {
    for (const auto& [member, overloads] : ReadSignatures(c, owner, name, true)) {
      int rank = 0;
      for (const auto& [overload, sig] : overloads)
        p->second.members[++rank == 1 ? member : member + '#' + QString::number(rank)] = sig;
    }
  }
}

QStringList SnapshotUsers(const QString& path) {
  const auto connection = OpenPreparedDictionary(path, StampOf(path));
  SnapshotReads reads(*connection);
  Statement s(reads, "SELECT username FROM dba_users ORDER BY username");
  QStringList users;
  while (s.Next()) users << s[0];
  return users;
}

}  // namespace changes
