#include "changes/schema_state.h"

#include <sqlite3.h>

#include <functional>

#include "db/prepared_dictionary.h"

namespace changes {
namespace {

// One row of a read: its values as text, NULL as "".
class RowValues {
 public:
  explicit RowValues(sqlite3_stmt* stmt) : stmt_(stmt) {}
  QString operator[](int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column)) : QString();
  }

 private:
  sqlite3_stmt* stmt_;
};

class Reader {
 public:
  Reader(LimitedConnection& c, const QStringList& owners) : c_(c), owners_(owners) {}

  bool Wanted(const QString& owner) const { return owners_.isEmpty() || owners_.contains(owner); }

  // Runs `sql` within the query time limit and hands each row to `row`.
  void Each(const char* sql, const std::function<void(const RowValues&)>& row) {
    c_.SetDeadline(CurrentSnapshotLimits().querySeconds);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(c_.db(), sql, -1, &stmt, nullptr) != SQLITE_OK)
      c_.Throw(QStringLiteral("cannot be read"));
    const RowValues values(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) row(values);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) c_.Throw(QStringLiteral("cannot be read"));
  }

 private:
  LimitedConnection& c_;
  const QStringList& owners_;
};

using Key = std::pair<QString, QString>;  // owner, name

// The NOT NULL check Oracle keeps for each such column: the column's Null flag shows it.
bool IsNotNullCheck(const QString& condition) {
  const QString c = condition.trimmed();
  return c.startsWith(u'"') && c.endsWith(QLatin1String("\" IS NOT NULL")) &&
         c.indexOf(u'"', 1) == c.size() - int(qstrlen("\" IS NOT NULL"));
}

// A name the database made up, which differs between two databases made alike.
bool SystemName(const QString& name) { return name.startsWith(QLatin1String("SYS_")); }

QString Joined(const QStringList& names) { return names.join(QStringLiteral(", ")); }

struct ConstraintRow {
  QString type, table, rOwner, rName, condition;
  QStringList columns;
};

struct IndexRow {
  QString tableOwner, table;
  bool unique = false;
  QStringList columns;
};

void ReadObjects(Reader& r, SchemaState& s) {
  r.Each("SELECT owner, table_name FROM dba_tables", [&](const RowValues& v) {
    if (r.Wanted(v[0])) s.owners[v[0]].tables[v[1]];
  });
  r.Each("SELECT owner, view_name, text FROM dba_views", [&](const RowValues& v) {
    if (r.Wanted(v[0])) s.owners[v[0]].views[v[1]].text = v[2];
  });
  r.Each("SELECT sequence_owner, sequence_name FROM dba_sequences", [&](const RowValues& v) {
    if (r.Wanted(v[0])) s.owners[v[0]].sequences.insert(v[1]);
  });
  r.Each("SELECT DISTINCT owner, name, type FROM dba_source "
         "WHERE type IN ('FUNCTION', 'PROCEDURE', 'PACKAGE')",
         [&](const RowValues& v) {
           if (!r.Wanted(v[0])) return;
           if (v[2] == QLatin1String("PACKAGE"))
             s.owners[v[0]].packages[v[1]];
           else
             s.owners[v[0]].units[v[1]].type = v[2];
         });
}

// Comments and columns of the tables and views read.
void ReadColumns(Reader& r, SchemaState& s) {
  const auto find = [&](const QString& owner, const QString& name, auto&& use) {
    const auto o = s.owners.find(owner);
    if (o == s.owners.end()) return;
    if (const auto t = o->second.tables.find(name); t != o->second.tables.end())
      use(t->second);
    else if (const auto w = o->second.views.find(name); w != o->second.views.end())
      use(w->second);
  };
  r.Each("SELECT owner, table_name, comments FROM dba_tab_comments", [&](const RowValues& v) {
    find(v[0], v[1], [&](auto& object) { object.comment = v[2]; });
  });
  r.Each(
      "SELECT c.owner, c.table_name, c.column_name, c.data_type, c.data_length, "
      "c.data_precision, c.data_scale, c.char_length, c.char_used, c.nullable, c.data_default, "
      "m.comments FROM dba_tab_columns c LEFT JOIN dba_col_comments m ON m.owner = c.owner "
      "AND m.table_name = c.table_name AND m.column_name = c.column_name",
      [&](const RowValues& v) {
        find(v[0], v[1], [&](auto& object) {
          ColumnState& col = object.columns[v[2]];
          col.type = {v[3], v[4], v[5], v[6], v[7], v[8]};
          col.typeText = ColumnTypeText(col.type);
          col.nullable = v[9] != QLatin1String("N");
          col.defaultValue = v[10].trimmed();
          col.comment = v[11];
        });
      });
}

TableState* FindTable(SchemaState& s, const QString& owner, const QString& table) {
  const auto o = s.owners.find(owner);
  if (o == s.owners.end()) return nullptr;
  const auto t = o->second.tables.find(table);
  return t == o->second.tables.end() ? nullptr : &t->second;
}

void ReadConstraints(Reader& r, SchemaState& s) {
  // Every owner's: a foreign key may reference another owner's key.
  std::map<Key, ConstraintRow> rows;
  r.Each("SELECT owner, constraint_name, constraint_type, table_name, r_owner, "
         "r_constraint_name, search_condition FROM dba_constraints",
         [&](const RowValues& v) { rows[{v[0], v[1]}] = {v[2], v[3], v[4], v[5], v[6], {}}; });
  r.Each("SELECT owner, constraint_name, column_name FROM dba_cons_columns "
         "ORDER BY owner, constraint_name, position, column_name",
         [&](const RowValues& v) {
           if (const auto c = rows.find({v[0], v[1]}); c != rows.end()) c->second.columns << v[2];
         });
  for (const auto& [key, row] : rows) {
    TableState* table = FindTable(s, key.first, row.table);
    if (!table) continue;
    QString text;
    if (row.type == QLatin1String("P")) {
      text = "PRIMARY KEY (" + Joined(row.columns) + ')';
    } else if (row.type == QLatin1String("U")) {
      text = "UNIQUE (" + Joined(row.columns) + ')';
    } else if (row.type == QLatin1String("R")) {
      const auto ref = rows.find({row.rOwner, row.rName});
      text = "FOREIGN KEY (" + Joined(row.columns) + ") REFERENCES " +
             (ref == rows.end() ? row.rOwner + '.' + row.rName
                                : row.rOwner + '.' + ref->second.table + " (" +
                                      Joined(ref->second.columns) + ')');
    } else if (row.type == QLatin1String("C") && !IsNotNullCheck(row.condition)) {
      text = "CHECK (" + row.condition.trimmed() + ')';
    } else {
      continue;
    }
    table->constraints[SystemName(key.second) ? row.type + ' ' + text : key.second] = {
        key.second, row.type, text};
  }
}

void ReadIndexes(Reader& r, SchemaState& s) {
  std::map<Key, IndexRow> rows;
  r.Each("SELECT owner, index_name, table_owner, table_name, uniqueness FROM dba_indexes",
         [&](const RowValues& v) {
           if (r.Wanted(v[2]))
             rows[{v[0], v[1]}] = {v[2], v[3], v[4] == QLatin1String("UNIQUE"), {}};
         });
  r.Each("SELECT index_owner, index_name, column_name, descend FROM dba_ind_columns "
         "ORDER BY index_owner, index_name, column_position",
         [&](const RowValues& v) {
           if (const auto i = rows.find({v[0], v[1]}); i != rows.end())
             i->second.columns << (v[3] == QLatin1String("DESC") ? v[2] + " DESC" : v[2]);
         });
  for (const auto& [key, row] : rows) {
    TableState* table = FindTable(s, row.tableOwner, row.table);
    if (!table) continue;
    const QString text =
        (row.unique ? QStringLiteral("UNIQUE (") : QStringLiteral("(")) + Joined(row.columns) + ')';
    table->indexes[SystemName(key.second) ? text : key.second] = {key.second, row.unique, text};
  }
}

// Signatures of units and package members, from their declared arguments and (members
// without arguments) from the package's list of subprograms.
void ReadSignatures(Reader& r, SchemaState& s) {
  // owner, package ("" for a unit), subprogram -> overload number -> signature
  std::map<std::tuple<QString, QString, QString>, std::map<int, Signature>> declared;
  r.Each("SELECT owner, package_name, object_name, overload, argument_name, position, "
         "data_type, in_out, default_value, defaulted FROM dba_arguments WHERE data_level = 0 "
         "ORDER BY owner, package_name, object_name, CAST(overload AS INTEGER), sequence",
         [&](const RowValues& v) {
           s.hasSignatures = true;
           if (!r.Wanted(v[0])) return;
           Signature& sig = declared[{v[0], v[1], v[2]}][v[3].toInt()];
           if (v[4].isEmpty()) {
             // The return value; before Oracle 12.1.0.2 a procedure without arguments had a
             // row without a name or a type in their place.
             if (v[5] == QLatin1String("0")) sig.returns = v[6];
             return;
           }
           sig.arguments.push_back(
               {v[4], v[6], v[7], v[9] == QLatin1String("Y") || !v[8].trimmed().isEmpty()});
         });
  r.Each("SELECT owner, object_name, procedure_name, overload FROM dba_procedures "
         "WHERE object_type = 'PACKAGE' AND procedure_name IS NOT NULL",
         [&](const RowValues& v) {
           if (r.Wanted(v[0])) declared[{v[0], v[1], v[2]}][v[3].toInt()];
         });
  for (const auto& [key, overloads] : declared) {
    const auto& [owner, package, name] = key;
    const auto o = s.owners.find(owner);
    if (o == s.owners.end()) continue;
    if (package.isEmpty()) {
      if (const auto u = o->second.units.find(name); u != o->second.units.end())
        u->second.signature = overloads.begin()->second;
      continue;
    }
    const auto p = o->second.packages.find(package);
    if (p == o->second.packages.end()) continue;
    int rank = 0;
    for (const auto& [overload, sig] : overloads)
      p->second.members[++rank == 1 ? name : name + '#' + QString::number(rank)] = sig;
  }
}

}  // namespace

SchemaState ReadSchemaState(const QString& path, const QStringList& owners) {
  const auto connection = OpenPreparedDictionary(path, StampOf(path));
  Reader r(*connection, owners);
  SchemaState s;
  ReadObjects(r, s);
  ReadColumns(r, s);
  ReadConstraints(r, s);
  ReadIndexes(r, s);
  ReadSignatures(r, s);
  return s;
}

}  // namespace changes
