#pragma once
// The schema of a dictionary snapshot: the dictionary of one database for several users,
// in tables shaped like Oracle's DBA views (names upper case, as Oracle stores them).
// It is a published interface: users and tests make snapshots with plain SQL.

#include <QStringList>

namespace snapshot {

// CREATE TABLE statements of the dba_ tables: the fourteen every snapshot has, with the
// columns added later (which a snapshot made before them may lack), and dba_arguments,
// which such a snapshot may lack as a whole.
const char* TablesSql();

// CREATE INDEX statements that make log-on fast on large snapshots with many owners. A
// snapshot without them works the same.
const char* IndexesSql();

// The names of the fourteen tables a snapshot must have.
const QStringList& TableNames();

}  // namespace snapshot
