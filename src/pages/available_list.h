#pragma once
// The available list of an object page: the kind's objects in the current connection's
// dictionary that are not yet in the project for the current database.

#include <QList>
#include <QString>
#include <QStringList>

#include "db/database.h"
#include "project/project.h"

// The query that lists a kind's objects, and the result column that names them.
QueryId AvailableQuery(ObjectKind kind);
QString AvailableColumn(ObjectKind kind);

// `names` less those already chosen from `serverName` (an entry with that ServerName and
// that ObjectName, both compared exactly), in the lists' sort order. The chosen names go
// into a hash set first, so the work grows with the sum of the two counts, not their
// product: dictionaries with tens of thousands of objects stay responsive.
QStringList FilterAvailable(const QStringList& names, const QList<ObjectEntry>& entries,
                            const QString& serverName);

// Runs the kind's query afresh on the open connection and filters its rows as above.
// Throws DatabaseError (already reported through the connection's handler).
QStringList FillAvailableList(Database& db, ObjectKind kind,
                              const QList<ObjectEntry>& entries);
