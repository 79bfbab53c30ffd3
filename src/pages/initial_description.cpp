#include "pages/initial_description.h"

#include "classic/dictionary_source.h"
#include "db/database.h"

QString InitialDescription(Database& db, const Settings& settings, ObjectKind kind,
                           const QString& objectName) {
  switch (kind) {
    // all_tab_comments has no owner condition, so several owners may answer: the first
    // row's comment is taken.
    case ObjectKind::Tables:
      return FirstRowField(db, QueryId::OCIComments, objectName, QStringLiteral("COMMENTS"));
    case ObjectKind::Packages: return ExtractPackageDescription(db, settings, objectName);
    default: return {};
  }
}
