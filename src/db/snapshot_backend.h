#pragma once
// The snapshot backend: a dictionary snapshot file (SQLite), opened read-only.
//
// Log-on checks the user against dba_users and then copies that user's rows into
// in-memory TEMP tables named like Oracle's user_ views (plus all_tab_comments and
// all_synonyms over every owner), indexed for the fixed queries. Working on these copies
// keeps the queries fast whatever indexes the file has, never writes the file, and
// delivers rows in the dictionary's natural order (columns by column_id, key and index
// columns by position, source by line, names alphabetically; a table's comment of the
// logged-on user comes before other owners') although most queries have no ORDER BY.

#include <QString>
#include <QStringList>
#include <memory>

#include "db/backend.h"

// The path of the snapshot <server>.sqlite in `dirs` (name compared without regard to
// case), the first directory that has one winning; empty when none has, and for a name
// holding a path separator.
QString FindSnapshot(const QString& server, const QStringList& dirs);

// Logs on to the snapshot at `path`; throws BackendFailure.
std::unique_ptr<Backend> OpenSnapshotBackend(const QString& path, const QString& user,
                                             const QString& password);
