#pragma once
// The schema of a dictionary snapshot: the dictionary of one database for several users,
// in tables shaped like Oracle's DBA views (names upper case, as Oracle stores them).
// It is a published interface: users and tests make snapshots with plain SQL.
//
// The schema grows: a column or table added later is marked optional, and a snapshot made
// before it existed still opens (an optional column reads as NULL, an optional table as
// empty). Everything else is required.

#include <QList>

namespace snapshot {

struct Column {
  const char* name;
  const char* type;  // as written in CREATE TABLE: "TEXT NOT NULL", "INTEGER"
  bool optional = false;
};

struct Table {
  const char* name;
  QList<Column> columns;
  bool optional = false;
};

// Every dba_ table, with its columns in order.
const QList<Table>& Tables();
// The table named `name`; null when the schema has none.
const Table* FindTable(const char* name);

// CREATE TABLE statements of every table, optional ones included. A snapshot needs no
// index: Vellumar reads it through a prepared copy with indexes of its own.
const char* TablesSql();

}  // namespace snapshot
