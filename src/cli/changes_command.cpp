#include "cli/changes_command.h"

#include <cstdio>

#include "changes/changes_output.h"
#include "cli/console_progress.h"
#include "db/backend.h"

int RunChanges(const QString& oldPath, const QString& newPath, const QStringList& owners,
               bool json, bool failOnBreaking) {
  std::vector<changes::Change> found;
  try {
    // An owner in neither snapshot is a misspelt one, not a schema without changes.
    if (!owners.isEmpty()) {
      const QStringList before = changes::SnapshotUsers(oldPath);
      const QStringList after = changes::SnapshotUsers(newPath);
      QStringList unknown;
      for (const QString& owner : owners)
        if (!before.contains(owner) && !after.contains(owner)) unknown << owner;
      if (!unknown.isEmpty()) {
        PrintError(QStringLiteral("neither %1 nor %2 has a user %3 in dba_users. Owners are "
                                  "named as Oracle stores them, in upper case unless created "
                                  "in quotes.")
                       .arg(oldPath, newPath, unknown.join(QStringLiteral(", "))));
        return 1;
      }
    }
    found = changes::CompareSnapshots(oldPath, newPath, owners);
  } catch (const BackendFailure& f) {
    PrintError(f.message);
    return 1;
  }
  const QByteArray out = json ? changes::ChangesJson(found, oldPath, newPath)
                              : ConsoleText(changes::ChangesText(found, oldPath, newPath), true);
  if (!WriteReport(out)) return 1;
  return failOnBreaking && changes::AnyBreaking(found) ? 4 : 0;
}
