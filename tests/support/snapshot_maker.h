#pragma once
// Makes dictionary snapshots for tests with plain SQL in the published snapshot schema.

#include <QString>

namespace testdb {

// Creates `path` with the snapshot tables, then runs `sql`; fails the test when SQLite
// refuses any of it.
void MakeSnapshot(const QString& path, const QString& sql);

// SQL that adds user `user` with `password` (NULL in the file when password is null).
QString UserSql(const QString& user, const QString& password);

}  // namespace testdb
