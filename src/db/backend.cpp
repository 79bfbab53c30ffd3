#include "db/backend.h"

#include <QDir>

#include "db/oracle_backend.h"
#include "db/snapshot_backend.h"

std::unique_ptr<Backend> OpenBackend(const QString& server, const QString& user,
                                     const QString& password, const QStringList& snapshotDirs,
                                     int callTimeoutSeconds) {
  const QString snapshot = FindSnapshot(server, snapshotDirs);
  if (!snapshot.isEmpty()) return OpenSnapshotBackend(snapshot, user, password);
  try {
    return OpenOracleBackend(server, user, password, callTimeoutSeconds);
  } catch (const OciLibraryMissing& missing) {
    // Neither backend can serve the name: say both, so a mistyped snapshot name is plain.
    QStringList dirs;
    for (const QString& d : snapshotDirs)
      if (!d.isEmpty()) dirs << QDir::toNativeSeparators(d);
    throw BackendFailure{QStringLiteral("No dictionary snapshot %1.sqlite in %2, and %3")
                             .arg(server, dirs.isEmpty() ? QStringLiteral("(no directory)")
                                                         : dirs.join(", "),
                                  missing.message)};
  }
}
