#include "classic/dictionary_source.h"

#include "db/database.h"

namespace {

// Binds by name, so the order of a query's parameters is the query table's business.
void Bind(Query& query, const QString& name, const QString& value) {
  query.BindText(QueryTextOf(query.Id()).params.indexOf(name) + 1, value);
}

}  // namespace

LineSource QueryLines(Query& query) {
  return [&query](QString& line) {
    if (query.Eof()) return false;
    line = query.Field(QStringLiteral("text"));
    query.Next();
    return true;
  };
}

Query& OpenUnitSource(Database& db, const QString& name, const QString& type) {
  Query& query = db.query(QueryId::OCIProctext);
  query.Close();
  Bind(query, QStringLiteral(":P_NIMI"), name);
  Bind(query, QStringLiteral(":P_TYYPPI"), type);
  query.Open();
  return query;
}

Query& OpenPackageSource(Database& db, const QString& packageName) {
  Query& query = db.query(QueryId::OCIPackageText);
  query.Close();
  Bind(query, QStringLiteral(":P_NIMI"), packageName);
  query.Open();
  return query;
}

QString ExtractPackageDescription(Database& db, const Settings& settings,
                                  const QString& packageName) {
  Query& query = OpenPackageSource(db, packageName);
  const QString description = ExtractPackageDescription(settings, QueryLines(query));
  query.Close();
  return description;
}
