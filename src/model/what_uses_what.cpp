#include "model/what_uses_what.h"

#include "db/database.h"

WhatUsesWhat::Schema& WhatUsesWhat::Of(Database& db, const ObjectKey& key) {
  const QString schema = key.database + u'\n' + key.owner;
  auto it = schemas_.find(schema);
  if (it != schemas_.end()) return *it;
  it = schemas_.insert(schema, {});
  Query& q = RunQuery(db, QueryId::OCIInvalidObjects, key.owner);
  for (; !q.Eof(); q.Next())
    it->invalid.insert(q.Field(QStringLiteral("object_type")) + u'\n' +
                       q.Field(QStringLiteral("object_name")));
  q.Close();
  return *it;
}

bool WhatUsesWhat::Invalid(Database& db, const ObjectKey& key,
                           std::initializer_list<const char*> types) {
  const Schema& schema = Of(db, key);
  for (const char* type : types)
    if (schema.invalid.contains(QString::fromLatin1(type) + u'\n' + key.name)) return true;
  return false;
}
