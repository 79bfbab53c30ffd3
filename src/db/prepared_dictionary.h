#pragma once
// The prepared dictionary of a snapshot: what the snapshot backend reads in its place.
//
// A snapshot's tables come with whatever indexes and statistics their maker gave them, and
// those decide the query plans and so the order in which the fixed queries, most of them
// without ORDER BY, deliver rows. So the backend copies the dictionary once per snapshot
// file into tables of its own, one per login view (user_tab_columns, ..., all_synonyms),
// holding every owner's rows in the dictionary's natural order (columns by column_id, key
// and index columns by position, source by line, names alphabetically) and indexed by
// exactly the columns the fixed queries compare with "=", so that rows with equal keys
// come in that order. A log-on then selects the user's rows through TEMP views of the same
// names over these tables (LoginViewsSql): nothing is copied per log-on, and the
// dictionary stays on disk behind SQLite's page cache.
//
// Where: in the user's cache directory ($XDG_CACHE_HOME/VLM/dictionaries, ~/.cache when
// that is unset or, against the XDG rules, relative), one file per snapshot path, used while
// the snapshot is the same file (device and inode) with the same size, modification and
// change times (the last of which no one can set back) and the copy has the same layout,
// and made again otherwise. It is written under a temporary name and renamed when complete,
// so a half-made copy is never read and two programs making it at once do no harm. Only a
// regular file there is read: anything else (a FIFO, a link) is replaced by a new copy. A
// copy that a query finds damaged is removed by the caller (DamagedCopy), and made again.
// When the cache cannot be written, the copy goes to a temporary database that lives as
// long as the connection: still correct, made again by each program run. The snapshot file
// itself is only ever read.
//
// An optional column the snapshot lacks is NULL in the copy, and named in the table
// absent_columns (table_name, column_name), so that a NULL the dictionary holds can be told
// from a value the snapshot never held.
//
// The copy reads the snapshot's own tables and views once, under the limits of
// snapshot_limits.h, and may grow to at most four times the snapshot file plus 16 MiB.

#include <QByteArray>
#include <QString>
#include <memory>

#include "db/snapshot_limits.h"

// What identifies one version of a snapshot file. Times in nanoseconds since the epoch.
struct SnapshotStamp {
  qint64 size = -1;
  qint64 modified = 0;
  qint64 changed = 0;  // set by the system at every change, never by the user
  qint64 device = 0;
  qint64 inode = 0;
  bool operator==(const SnapshotStamp&) const = default;
};
// The stamp of the file at `path`; size -1 when it cannot be read.
SnapshotStamp StampOf(const QString& path);

// A connection whose main database is the prepared dictionary of the snapshot at `path`
// as of `stamp` (taken before it is read). Throws BackendFailure: the snapshot cannot be
// read, lacks a required table or column, or reaches a limit.
std::unique_ptr<LimitedConnection> OpenPreparedDictionary(const QString& path,
                                                          const SnapshotStamp& stamp);

// CREATE TEMP VIEW statements of the login views over the prepared tables, selecting by
// the SQL function logon_owner() (the user logged on), which the caller provides.
const QByteArray& LoginViewsSql();

// Removes the prepared copy in `copy`, found damaged, so that the next log-on makes it again.
void DiscardPreparedCopy(const QString& copy);
