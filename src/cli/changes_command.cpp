#include "cli/changes_command.h"

#include <cstdio>

#include "changes/changes_output.h"
#include "cli/console_progress.h"
#include "db/backend.h"

int RunChanges(const QString& oldPath, const QString& newPath, const QStringList& owners,
               bool json, bool failOnBreaking) {
  std::vector<changes::Change> found;
  try {
    found = changes::CompareSnapshots(oldPath, newPath, owners);
  } catch (const BackendFailure& f) {
    const QByteArray line = ConsoleText("vellumar-build: " + f.message, true) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    return 1;
  }
  const QByteArray out = json ? changes::ChangesJson(found, oldPath, newPath)
                              : ConsoleText(changes::ChangesText(found, oldPath, newPath), true);
  std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
  return failOnBreaking && changes::AnyBreaking(found) ? 4 : 0;
}
