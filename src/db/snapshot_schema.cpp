#include "db/snapshot_schema.h"

namespace snapshot {

const char* TablesSql() {
  return R"sql(CREATE TABLE dba_users (username TEXT NOT NULL, password_sha256 TEXT);
CREATE TABLE dba_tables (owner TEXT NOT NULL, table_name TEXT NOT NULL);
CREATE TABLE dba_tab_comments (owner TEXT NOT NULL, table_name TEXT NOT NULL,
  table_type TEXT, comments TEXT);
CREATE TABLE dba_tab_columns (owner TEXT NOT NULL, table_name TEXT NOT NULL,
  column_name TEXT NOT NULL, column_id INTEGER, data_type TEXT, data_length INTEGER,
  data_precision INTEGER, nullable TEXT, data_scale INTEGER, char_length INTEGER,
  char_used TEXT, data_default TEXT);
CREATE TABLE dba_col_comments (owner TEXT NOT NULL, table_name TEXT NOT NULL,
  column_name TEXT NOT NULL, comments TEXT);
CREATE TABLE dba_constraints (owner TEXT NOT NULL, constraint_name TEXT NOT NULL,
  constraint_type TEXT, table_name TEXT, r_owner TEXT, r_constraint_name TEXT,
  search_condition TEXT);
CREATE TABLE dba_cons_columns (owner TEXT NOT NULL, constraint_name TEXT NOT NULL,
  table_name TEXT, column_name TEXT, position INTEGER);
CREATE TABLE dba_indexes (owner TEXT NOT NULL, index_name TEXT NOT NULL,
  table_owner TEXT, table_name TEXT, uniqueness TEXT);
CREATE TABLE dba_ind_columns (index_owner TEXT NOT NULL, index_name TEXT NOT NULL,
  table_owner TEXT, table_name TEXT, column_name TEXT, column_position INTEGER,
  descend TEXT);
CREATE TABLE dba_views (owner TEXT NOT NULL, view_name TEXT NOT NULL, text TEXT);
CREATE TABLE dba_source (owner TEXT NOT NULL, name TEXT NOT NULL, type TEXT,
  line INTEGER, text TEXT);
CREATE TABLE dba_sequences (sequence_owner TEXT NOT NULL, sequence_name TEXT NOT NULL);
CREATE TABLE dba_tab_privs (owner TEXT NOT NULL, table_name TEXT NOT NULL,
  grantor TEXT, grantee TEXT, privilege TEXT);
CREATE TABLE dba_synonyms (owner TEXT NOT NULL, synonym_name TEXT NOT NULL,
  table_owner TEXT, table_name TEXT);
CREATE TABLE dba_arguments (owner TEXT NOT NULL, package_name TEXT, object_name TEXT,
  overload TEXT, argument_name TEXT, position INTEGER, sequence INTEGER, data_level INTEGER,
  data_type TEXT, in_out TEXT, default_value TEXT);
)sql";
}

const char* IndexesSql() {
  return R"sql(CREATE INDEX dba_tables_owner ON dba_tables (owner);
CREATE INDEX dba_tab_comments_table ON dba_tab_comments (table_name);
CREATE INDEX dba_tab_columns_owner ON dba_tab_columns (owner, table_name, column_id);
CREATE INDEX dba_col_comments_owner ON dba_col_comments (owner, table_name, column_name);
CREATE INDEX dba_constraints_owner ON dba_constraints (owner, table_name);
CREATE INDEX dba_cons_columns_owner ON dba_cons_columns (owner, constraint_name, position);
CREATE INDEX dba_indexes_owner ON dba_indexes (owner, index_name);
CREATE INDEX dba_ind_columns_owner ON dba_ind_columns (index_owner, table_name);
CREATE INDEX dba_views_owner ON dba_views (owner, view_name);
CREATE INDEX dba_source_owner ON dba_source (owner, name, type, line);
CREATE INDEX dba_sequences_owner ON dba_sequences (sequence_owner);
CREATE INDEX dba_tab_privs_grantee ON dba_tab_privs (grantee);
CREATE INDEX dba_synonyms_table ON dba_synonyms (table_name);
CREATE INDEX dba_arguments_owner ON dba_arguments (owner, package_name, object_name);
)sql";
}

const QStringList& TableNames() {
  static const QStringList names = {
      "dba_users",        "dba_tables",      "dba_tab_comments", "dba_tab_columns",
      "dba_col_comments", "dba_constraints", "dba_cons_columns", "dba_indexes",
      "dba_ind_columns",  "dba_views",       "dba_source",       "dba_sequences",
      "dba_tab_privs",    "dba_synonyms"};
  return names;
}

}  // namespace snapshot
