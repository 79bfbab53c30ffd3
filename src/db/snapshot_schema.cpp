#include "db/snapshot_schema.h"

#include <QByteArray>
#include <cstring>

namespace snapshot {

const QList<Table>& Tables() {
  static const QList<Table> tables = {
      {"dba_users", {{"username", "TEXT NOT NULL"}, {"password_sha256", "TEXT"}}},
      {"dba_tables", {{"owner", "TEXT NOT NULL"}, {"table_name", "TEXT NOT NULL"}}},
      {"dba_tab_comments",
       {{"owner", "TEXT NOT NULL"},
        {"table_name", "TEXT NOT NULL"},
        {"table_type", "TEXT"},
        {"comments", "TEXT"}}},
      {"dba_tab_columns",
       {{"owner", "TEXT NOT NULL"},
        {"table_name", "TEXT NOT NULL"},
        {"column_name", "TEXT NOT NULL"},
        {"column_id", "INTEGER"},
        {"data_type", "TEXT"},
        {"data_length", "INTEGER"},
        {"data_precision", "INTEGER"},
        {"nullable", "TEXT"},
        {"data_scale", "INTEGER", true},
        {"char_length", "INTEGER", true},
        {"char_used", "TEXT", true},
        {"data_default", "TEXT", true}}},
      {"dba_col_comments",
       {{"owner", "TEXT NOT NULL"},
        {"table_name", "TEXT NOT NULL"},
        {"column_name", "TEXT NOT NULL"},
        {"comments", "TEXT"}}},
      {"dba_constraints",
       {{"owner", "TEXT NOT NULL"},
        {"constraint_name", "TEXT NOT NULL"},
        {"constraint_type", "TEXT"},
        {"table_name", "TEXT"},
        {"r_owner", "TEXT"},
        {"r_constraint_name", "TEXT"},
        {"search_condition", "TEXT", true}}},
      {"dba_cons_columns",
       {{"owner", "TEXT NOT NULL"},
        {"constraint_name", "TEXT NOT NULL"},
        {"table_name", "TEXT"},
        {"column_name", "TEXT"},
        {"position", "INTEGER"}}},
      {"dba_indexes",
       {{"owner", "TEXT NOT NULL"},
        {"index_name", "TEXT NOT NULL"},
        {"table_owner", "TEXT"},
        {"table_name", "TEXT"},
        {"uniqueness", "TEXT", true}}},
      {"dba_ind_columns",
       {{"index_owner", "TEXT NOT NULL"},
        {"index_name", "TEXT NOT NULL"},
        {"table_owner", "TEXT"},
        {"table_name", "TEXT"},
        {"column_name", "TEXT"},
        {"column_position", "INTEGER"},
        {"descend", "TEXT", true}}},
      {"dba_ind_expressions",
       {{"index_owner", "TEXT NOT NULL"},
        {"index_name", "TEXT NOT NULL"},
        {"table_owner", "TEXT"},
        {"table_name", "TEXT"},
        {"column_expression", "TEXT"},
        {"column_position", "INTEGER"}},
       true},
      {"dba_views", {{"owner", "TEXT NOT NULL"}, {"view_name", "TEXT NOT NULL"}, {"text", "TEXT"}}},
      {"dba_source",
       {{"owner", "TEXT NOT NULL"},
        {"name", "TEXT NOT NULL"},
        {"type", "TEXT"},
        {"line", "INTEGER"},
        {"text", "TEXT"}}},
      {"dba_sequences", {{"sequence_owner", "TEXT NOT NULL"}, {"sequence_name", "TEXT NOT NULL"}}},
      {"dba_tab_privs",
       {{"owner", "TEXT NOT NULL"},
        {"table_name", "TEXT NOT NULL"},
        {"grantor", "TEXT"},
        {"grantee", "TEXT"},
        {"privilege", "TEXT"}}},
      {"dba_synonyms",
       {{"owner", "TEXT NOT NULL"},
        {"synonym_name", "TEXT NOT NULL"},
        {"table_owner", "TEXT"},
        {"table_name", "TEXT"}}},
      {"dba_arguments",
       {{"owner", "TEXT NOT NULL"},
        {"package_name", "TEXT"},
        {"object_name", "TEXT"},
        {"overload", "TEXT"},
        {"argument_name", "TEXT"},
        {"position", "INTEGER"},
        {"sequence", "INTEGER"},
        {"data_level", "INTEGER"},
        {"data_type", "TEXT"},
        {"in_out", "TEXT"},
        {"default_value", "TEXT"},
        {"defaulted", "TEXT", true}},
       true},
      {"dba_procedures",
       {{"owner", "TEXT NOT NULL"},
        {"object_name", "TEXT NOT NULL"},
        {"procedure_name", "TEXT"},
        {"object_type", "TEXT"},
        {"subprogram_id", "INTEGER"},
        {"overload", "TEXT"}},
       true},
      {"dba_dependencies",
       {{"owner", "TEXT NOT NULL"},
        {"name", "TEXT NOT NULL"},
        {"type", "TEXT"},
        {"referenced_owner", "TEXT"},
        {"referenced_name", "TEXT"},
        {"referenced_type", "TEXT"},
        {"dependency_type", "TEXT"}},
       true},
      {"dba_triggers",
       {{"owner", "TEXT NOT NULL"},
        {"trigger_name", "TEXT NOT NULL"},
        {"trigger_type", "TEXT"},
        {"triggering_event", "TEXT"},
        {"table_owner", "TEXT"},
        {"base_object_type", "TEXT"},
        {"table_name", "TEXT"},
        {"column_name", "TEXT"},
        {"referencing_names", "TEXT"},
        {"when_clause", "TEXT"},
        {"status", "TEXT"},
        {"description", "TEXT"},
        {"action_type", "TEXT"},
        {"trigger_body", "TEXT"}},
       true},
      {"dba_objects",
       {{"owner", "TEXT NOT NULL"},
        {"object_name", "TEXT NOT NULL"},
        {"object_type", "TEXT"},
        {"status", "TEXT"},
        {"created", "TEXT"},
        {"last_ddl_time", "TEXT"}},
       true},
  };
  return tables;
}

const Table* FindTable(const char* name) {
  for (const Table& t : Tables())
    if (std::strcmp(t.name, name) == 0) return &t;
  return nullptr;
}

const char* TablesSql() {
  static const QByteArray sql = [] {
    QByteArray out;
    for (const Table& t : Tables()) {
      out += "CREATE TABLE " + QByteArray(t.name) + " (";
      for (qsizetype i = 0; i < t.columns.size(); ++i)
        out += (i ? ", " : "") + QByteArray(t.columns[i].name) + ' ' + t.columns[i].type;
      out += ");\n";
    }
    return out;
  }();
  return sql.constData();
}

}  // namespace snapshot
