#pragma once
// Generates large dictionary snapshots for benchmarks: user BENCH (password "bench") owns
// `tables` tables of 20 columns, each with comments, a primary key, a check, two foreign
// keys, two indexes and a synonym, plus views with their columns, stand-alone units and
// packages with tagged comment blocks and declared arguments, sequences and grants in
// proportion; user OTHER owns a tenth as many, so that
// log-on has rows of another owner to pass over. With `whatUsesWhat`, also what Oracle keeps
// of it: a trigger on every table, the dependencies of views, units, package bodies and
// triggers (about five rows a table), and the status of every object (a view in fifty
// INVALID).

#include <QList>
#include <QString>
#include <QStringList>

#include "db/database.h"

struct SnapshotShape {
  int tables = 1000;
  bool whatUsesWhat = true;  // dba_dependencies, dba_triggers and dba_objects filled
};

// Writes the snapshot to `path` (replacing it). False with the reason in *error.
bool GenerateSnapshot(const QString& path, const SnapshotShape& shape, QString* error = nullptr);

// The names the generator gives (for callers that build projects over a snapshot).
QString GeneratedTableName(int index);    // index from 0
QString GeneratedViewName(int index);
QString GeneratedUnitName(int index);     // stand-alone functions
QString GeneratedPackageName(int index);
QString GeneratedTriggerName(int index);  // the trigger of table `index`
int GeneratedViewCount(int tables);
int GeneratedUnitCount(int tables);
int GeneratedPackageCount(int tables);

// The five queries a build runs per table, with the columns it reads of each: what the
// benchmarks time as the dictionary work of a table.
struct TableQuery {
  QueryId id;
  QStringList columns;
};
const QList<TableQuery>& PerTableQueries();
