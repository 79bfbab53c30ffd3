#pragma once
// What the comparison of two snapshots reads of each: per owner, the objects a document
// shows, with the parts whose change can break a caller. Maps keep names sorted, so that
// whatever order a snapshot holds its rows in, the same dictionary reads the same.

#include <QString>
#include <QStringList>
#include <map>
#include <set>
#include <vector>

#include "db/column_type.h"

namespace changes {

struct ColumnState {
  ColumnType type;
  QString typeText;  // as a DBA writes it: NUMBER(8,2), VARCHAR2(40 CHAR)
  bool nullable = true;
  QString defaultValue;  // trimmed; "" for none
  QString comment;
};

// A key or check: "PRIMARY KEY (ID)", "FOREIGN KEY (DEPT_ID) REFERENCES HR.DEPT (ID)".
struct ConstraintState {
  QString name;  // as the dictionary names it
  QString type;  // P, U, R, C
  QString text;  // what it demands, as above
};

struct IndexState {
  QString name;
  bool unique = false;
  QString text;  // "UNIQUE (A, B DESC)"
};

struct TableState {
  QString comment;
  std::map<QString, ColumnState> columns;
  // Keyed by name, but a name the database made up (SYS_C...) by what it demands: two
  // databases built from the same script name such keys differently.
  std::map<QString, ConstraintState> constraints;
  std::map<QString, IndexState> indexes;
};

struct ViewState {
  QString text;
  QString comment;
  std::map<QString, ColumnState> columns;
};

struct ArgumentState {
  QString name;
  QString type;
  QString mode;  // IN, OUT, IN/OUT
  bool defaulted = false;
};

// A procedure's or function's parameters in declaration order; a function's return type.
struct Signature {
  std::vector<ArgumentState> arguments;
  QString returns;  // "" for a procedure
};

struct UnitState {
  QString type;  // FUNCTION or PROCEDURE
  Signature signature;
};

struct PackageState {
  // Members by name, an overloaded one as NAME, NAME#2, ... in declaration order.
  std::map<QString, Signature> members;
};

struct OwnerState {
  std::map<QString, TableState> tables;
  std::map<QString, ViewState> views;
  std::set<QString> sequences;
  std::map<QString, UnitState> units;
  std::map<QString, PackageState> packages;
};

struct SchemaState {
  std::map<QString, OwnerState> owners;
  // The snapshot declares arguments (dba_arguments has rows): signatures can be compared.
  bool hasSignatures = false;
};

// Reads the snapshot at `path` (through its prepared dictionary, under the snapshot
// limits). `owners` limits it to those owners; empty: every owner. Throws BackendFailure.
SchemaState ReadSchemaState(const QString& path, const QStringList& owners = {});

}  // namespace changes
