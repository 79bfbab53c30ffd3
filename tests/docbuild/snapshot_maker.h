#pragma once
// Dictionary snapshots for the builder tests, made with plain SQL in the snapshot schema.

#include <QString>

// Creates (or replaces) the snapshot file `path` with the schema, then runs `sql` in it.
void MakeSnapshot(const QString& path, const QString& sql);

// The stored form of a password in dba_users: lower-case hex SHA-256 of its UTF-8 bytes.
QString PasswordHash(const QString& password);
