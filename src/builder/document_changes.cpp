#include "builder/document_changes.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <set>

#include "changes/schema_changes.h"
#include "db/backend.h"
#include "db/database.h"
#include "db/snapshot_backend.h"
#include "model/document_model.h"
#include "settings/settings.h"

namespace {

// The anchor of the object `key` of kind `objectType` when the document shows it.
QString AnchorOf(const DocumentModel& model, const QString& objectType, const ObjectKey& key) {
  const auto find = [&](const auto& objects) {
    for (const auto& o : objects)
      if (o.key == key) return o.anchor;
    return QString();
  };
  if (objectType == QLatin1String("table")) return find(model.tables);
  if (objectType == QLatin1String("view")) return find(model.views);
  if (objectType == QLatin1String("package")) return find(model.packages);
  if (objectType == QLatin1String("sequence")) return find(model.sequences);
  return find(model.units);
}

}  // namespace

bool AddChangesSince(DocumentModel& model, const Settings& settings, const QString& older,
                     QString* error) {
  // The schemas the document shows, by database.
  std::map<QString, std::set<QString>> schemas;
  const auto note = [&](const auto& objects) {
    for (const auto& o : objects) schemas[o.key.database].insert(o.key.owner);
  };
  note(model.tables);
  note(model.views);
  note(model.units);
  note(model.packages);
  note(model.sequences);
  try {
    const QStringList olderUsers = changes::SnapshotUsers(older);
    bool compared = false;
    for (const auto& [database, owners] : schemas) {
      const QString snapshot =
          FindSnapshot(database, {settings.Project_dir, SampleDictionaryDirectory()});
      // A schema made since is compared too: its objects are all new.
      const QStringList shown(owners.begin(), owners.end());
      const bool shares = std::any_of(shown.begin(), shown.end(), [&](const QString& owner) {
        return olderUsers.contains(owner);
      });
      if (snapshot.isEmpty() || !shares) continue;
      compared = true;
      for (const changes::Change& c : changes::CompareSnapshots(older, snapshot, shown)) {
        const ObjectKey key{database, c.owner, c.object};
        model.changes.append({key, database + u'.' + c.owner + u' ' + changes::ChangeText(c),
                              c.breaking, AnchorOf(model, c.objectType, key),
                              c.objectType == QLatin1String("sequence")});
      }
    }
    if (!compared) {
      *error = QStringLiteral("%1 holds none of the schemas the document reads from a "
                              "dictionary snapshot, so there is nothing to compare it with.")
                   .arg(QDir::toNativeSeparators(older));
      return false;
    }
  } catch (const BackendFailure& f) {
    *error = f.message;
    return false;
  }
  model.changesSince = QFileInfo(older).completeBaseName();
  return true;
}

bool CanCompareWith(const QString& older, QString* error) {
  try {
    changes::SnapshotUsers(older);
    return true;
  } catch (const BackendFailure& f) {
    *error = f.message;
    return false;
  }
}
