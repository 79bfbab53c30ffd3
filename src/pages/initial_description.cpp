#include "pages/initial_description.h"

#include "db/database.h"
#include "docbuild/dictionary_source.h"

namespace {

// The comment of the first row that all_tab_comments returns for the name (it has no
// owner condition, so several owners may answer).
QString TableComment(Database& db, const QString& tableName) {
  Query& q = db.query(QueryId::OCIComments);
  q.Close();
  q.BindText(1, tableName);
  q.Open();
  const QString comment = q.Eof() ? QString() : q.Field(QStringLiteral("COMMENTS"));
  q.Close();
  return comment;
}

}  // namespace

QString InitialDescription(Database& db, const Settings& settings, ObjectKind kind,
                           const QString& objectName) {
  switch (kind) {
    case ObjectKind::Tables: return TableComment(db, objectName);
    case ObjectKind::Packages: return ExtractPackageDescription(db, settings, objectName);
    default: return {};
  }
}
