#pragma once
// What changed between two readings of a dictionary (schema_state.h), each change classed
// breaking when it can break a caller that worked before: code, queries, loads and
// reports written against the old schema.

#include <QString>
#include <vector>

#include "changes/schema_state.h"

namespace changes {

struct Change {
  QString owner;
  QString objectType;  // table, view, sequence, function, procedure, package
  QString object;
  // added, removed (the object itself); column_added, column_removed, column_type_changed,
  // column_nullability_changed, column_default_changed, column_comment_changed,
  // comment_changed, constraint_added, constraint_removed, constraint_changed, index_added,
  // index_removed, index_changed, text_changed (a view's), member_added, member_removed,
  // argument_added, argument_removed, argument_renamed, argument_retyped,
  // argument_mode_changed, argument_moved, argument_default_added,
  // argument_default_dropped, return_type_changed
  QString kind;
  QString item;      // the column, constraint, index or member; "" for the object itself
  QString argument;  // the argument (its old name when renamed); ""
  QString oldValue, newValue;  // what the changed part was and is, where it has a value
  bool breaking = false;
};

// Every change from `before` to `after`: owners by name, then per owner tables, views,
// sequences, procedures and functions, packages, each by name; an object's own changes in
// the order of its parts (columns, constraints, indexes by name; arguments in order).
// Signatures are compared only when both readings declare arguments, and a detail of a
// column (scale, length in characters, default) only when both hold it.
std::vector<Change> CompareSchemas(const SchemaState& before, const SchemaState& after);

// Reads the snapshots at `oldPath` and `newPath` (the owners given, or all; both at once)
// and compares them, reading in full only the objects whose digests differ. Throws
// BackendFailure.
std::vector<Change> CompareSnapshots(const QString& oldPath, const QString& newPath,
                                     const QStringList& owners);

// One change in words: "table EMPLOYEES: column SALARY type NUMBER(8,2) -> NUMBER(6,2)".
QString ChangeText(const Change& change);

}  // namespace changes
