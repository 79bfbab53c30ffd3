#pragma once
// The snapshot backend: a dictionary snapshot file (SQLite), only ever read.
//
// The backend reads the snapshot's prepared dictionary (prepared_dictionary.h), made once
// per snapshot file, through TEMP views named like Oracle's user_ views (plus
// all_tab_comments and all_synonyms over every owner) that select the logged-on user's
// rows, so the fixed queries run as they stand and deliver rows in the dictionary's
// natural order although most have no ORDER BY.
//
// A connection to a prepared dictionary, with its views and its prepared queries, serves
// one log-on at a time; when the log-on ends it waits in a small pool, and the next log-on
// to the same version of the file, as any user, takes it back: switching users costs a
// password check, not a copy. Reading is bounded as snapshot_limits.h says.

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
