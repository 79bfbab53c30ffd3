#include "pages/available_list.h"

#include <QSet>

#include "pages/list_order.h"

QueryId AvailableQuery(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Tables: return QueryId::OCITables;
    case ObjectKind::Views: return QueryId::OCIViewNames;
    case ObjectKind::ProceduresAndFunctions: return QueryId::OCIProcedures;
    case ObjectKind::Packages: return QueryId::OCIPackages;
    case ObjectKind::Sequences: return QueryId::OCISequences;
    case ObjectKind::Roles: return QueryId::OCIRoles;
  }
  return QueryId::OCITables;
}

QString AvailableColumn(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Tables: return QStringLiteral("table_name");
    case ObjectKind::Views: return QStringLiteral("view_name");
    case ObjectKind::ProceduresAndFunctions: return QStringLiteral("proc");
    case ObjectKind::Packages: return QStringLiteral("name");
    case ObjectKind::Sequences: return QStringLiteral("sequence_name");
    case ObjectKind::Roles: return QStringLiteral("grantee");
  }
  return {};
}

QStringList FilterAvailable(const QStringList& names, const QList<ObjectEntry>& entries,
                            const QString& serverName) {
  QSet<QStringView> chosen;
  chosen.reserve(entries.size());
  for (const ObjectEntry& e : entries) {
    if (e.connection().ServerName() == serverName) chosen.insert(e.ObjectName());
  }
  QStringList available;
  available.reserve(names.size());
  for (const QString& name : names) {
    if (!chosen.contains(name)) available.append(name);
  }
  SortListLines(available);
  return available;
}

QStringList FillAvailableList(Database& db, ObjectKind kind,
                              const QList<ObjectEntry>& entries) {
  Query& q = db.query(AvailableQuery(kind));
  const QString column = AvailableColumn(kind);
  QStringList names;
  q.Close();
  q.Open();
  while (!q.Eof()) {
    names.append(q.Field(column));
    q.Next();
  }
  q.Close();
  return FilterAvailable(names, entries, db.ServerName());
}
