#pragma once
// vellumar-build --changes: the command-line side of comparing two snapshots (the
// comparison itself is changes/schema_changes.h).

#include <QString>
#include <QStringList>

// Prints the changes from `oldPath` to `newPath` (text, or JSON when `json`). Exit status: 0
// compared, 1 a snapshot could not be read or an owner asked for is in neither, 4 a change
// is breaking and `failOnBreaking`.
int RunChanges(const QString& oldPath, const QString& newPath, const QStringList& owners,
               bool json, bool failOnBreaking);
