#include "model/what_uses_what.h"

#include <algorithm>
#include <tuple>

#include "db/database.h"
#include "model/triggers.h"

namespace {

QString Field(const Query& q, const char* name) { return q.Field(name); }

QString NameKey(const QString& owner, const QString& name) { return owner + u'\n' + name; }

// The packages every PL/SQL unit and trigger uses: listing them says nothing.
bool Everyones(const QString& owner, const QString& name) {
  return owner == QLatin1String("SYS") &&
         (name == QLatin1String("STANDARD") || name == QLatin1String("DBMS_STANDARD"));
}

bool OneOf(const QString& type, std::initializer_list<const char*> types) {
  return std::any_of(types.begin(), types.end(),
                     [&](const char* t) { return type == QLatin1String(t); });
}

int KindRank(const QString& type) {
  static const char* const kOrder[] = {"TABLE",     "VIEW",    "SEQUENCE", "FUNCTION",
                                       "PROCEDURE", "PACKAGE", "TRIGGER"};
  const auto it = std::find_if(std::begin(kOrder), std::end(kOrder),
                               [&](const char* t) { return type == QLatin1String(t); });
  return int(it - std::begin(kOrder));
}

void Sort(QList<ModelDependency>& list) {
  std::sort(list.begin(), list.end(), [](const ModelDependency& a, const ModelDependency& b) {
    const int ra = KindRank(a.type), rb = KindRank(b.type);
    if (ra != rb) return ra < rb;
    if (a.type != b.type) return a.type < b.type;
    if (a.object.owner != b.object.owner) return a.object.owner < b.object.owner;
    return a.object.name < b.object.name;
  });
}

// Adds the object unless the list has it.
void AddOnce(QList<ModelDependency>& list, QSet<QString>& seen, ModelDependency d) {
  if (seen.contains(d.type + u'\n' + NameKey(d.object.owner, d.object.name))) return;
  seen.insert(d.type + u'\n' + NameKey(d.object.owner, d.object.name));
  list.append(std::move(d));
}

}  // namespace

QList<DependencyRow> ReadDependencies(Database& db, const QString& owner) {
  QList<DependencyRow> rows;
  Query& q = db.query(QueryId::OCIDependencies);
  q.Close();
  q.BindText(1, owner);
  q.BindText(2, owner);
  q.Open();
  for (; !q.Eof(); q.Next())
    rows.append({Field(q, "owner"), Field(q, "name"), Field(q, "type"),
                 Field(q, "referenced_owner"), Field(q, "referenced_name"),
                 Field(q, "referenced_type")});
  q.Close();
  return rows;
}

// A body is part of what it implements: its uses are its package's (or type's).
QString OwnType(const QString& type) {
  if (type == QLatin1String("PACKAGE BODY")) return QStringLiteral("PACKAGE");
  if (type == QLatin1String("TYPE BODY")) return QStringLiteral("TYPE");
  return type;
}

WhatUsesWhat::Schema& WhatUsesWhat::Of(Database& db, const ObjectKey& key) {
  const QString schema = key.database + u'\n' + key.owner;
  auto it = schemas_.find(schema);
  if (it != schemas_.end()) return *it;
  it = schemas_.insert(schema, {});
  Query& invalid = RunQuery(db, QueryId::OCIInvalidObjects, key.owner);
  for (; !invalid.Eof(); invalid.Next())
    it->invalid.insert(Field(invalid, "object_type") + u'\n' + Field(invalid, "object_name"));
  invalid.Close();

  it->rows = ReadDependencies(db, key.owner);
  for (qsizetype i = 0; i < it->rows.size(); ++i) {
    const DependencyRow& row = it->rows[i];
    it->byUser[NameKey(row.owner, row.name)].append(i);
    it->byUsed[NameKey(row.referencedOwner, row.referencedName)].append(i);
  }
  it->triggers = ReadTriggers(db, key.owner);
  return *it;
}

QHash<QString, QList<ModelTrigger>> WhatUsesWhat::ReadTriggers(Database& db,
                                                               const QString& owner) {
  QHash<QString, QList<ModelTrigger>> triggers;
  Query& t = RunQuery(db, QueryId::OCITriggers, owner);
  for (; !t.Eof(); t.Next()) {
    ModelTrigger trigger = TriggerOf(
        Field(t, "trigger_type"), Field(t, "triggering_event"), Field(t, "description"));
    trigger.owner = Field(t, "owner");
    trigger.name = Field(t, "trigger_name");
    trigger.when = Field(t, "when_clause").trimmed();
    trigger.header = Field(t, "description");
    trigger.enabled = Field(t, "status") != QLatin1String("DISABLED");
    trigger.body = TriggerLines(Field(t, "trigger_body"));
    triggers[Field(t, "table_name")].append(std::move(trigger));
  }
  t.Close();
  return triggers;
}

bool WhatUsesWhat::Invalid(Database& db, const ObjectKey& key,
                           std::initializer_list<const char*> types) {
  const Schema& schema = Of(db, key);
  for (const char* type : types)
    if (schema.invalid.contains(QString::fromLatin1(type) + u'\n' + key.name)) return true;
  return false;
}

QList<ModelTrigger> WhatUsesWhat::Triggers(Database& db, const ObjectKey& key) {
  Schema& schema = Of(db, key);
  QList<ModelTrigger> triggers = schema.triggersGiven.contains(key.name)
                                     ? ReadTriggers(db, key.owner).value(key.name)
                                     : schema.triggers.take(key.name);
  schema.triggersGiven.insert(key.name);
  for (ModelTrigger& t : triggers)
    t.invalid = t.owner == key.owner &&
                schema.invalid.contains(QStringLiteral("TRIGGER\n") + t.name);
  return triggers;
}

ModelDependencies WhatUsesWhat::Dependencies(Database& db, const ObjectKey& key,
                                             std::initializer_list<const char*> types) {
  const Schema& schema = Of(db, key);
  const QString own = NameKey(key.owner, key.name);
  ModelDependencies d;
  QSet<QString> seen;
  for (const qsizetype i : schema.byUser.value(own)) {
    const DependencyRow& r = schema.rows[i];
    if (!OneOf(r.type, types) || Everyones(r.referencedOwner, r.referencedName) ||
        NameKey(r.referencedOwner, r.referencedName) == own)
      continue;
    AddOnce(d.uses, seen,
            {{key.database, r.referencedOwner, r.referencedName}, r.referencedType, {}});
  }
  seen.clear();
  for (const qsizetype i : schema.byUsed.value(own)) {
    const DependencyRow& r = schema.rows[i];
    if (!OneOf(r.referencedType, types) || NameKey(r.owner, r.name) == own) continue;
    AddOnce(d.usedBy, seen, {{key.database, r.owner, r.name}, OwnType(r.type), {}});
  }
  Sort(d.uses);
  Sort(d.usedBy);
  return d;
}

DependencyAnchors::DependencyAnchors(const DocumentModel& model) {
  // Tables, views, sequences, units and packages share one namespace per owner, so the
  // name alone finds the documented one; the first documented object of a name is linked.
  const auto index = [&](const auto& objects) {
    for (const auto& o : objects)
      if (!anchors_.contains(o.key.FullName())) anchors_.insert(o.key.FullName(), o.anchor);
  };
  index(model.tables);
  index(model.views);
  index(model.units);
  index(model.packages);
  index(model.sequences);
  // Triggers have a namespace of their own.
  const auto indexTriggers = [&](const auto& objects) {
    for (const auto& o : objects)
      for (const ModelTrigger& tr : o.triggers) {
        const QString key = ObjectKey{o.key.database, tr.owner, tr.name}.FullName();
        if (!triggers_.contains(key)) triggers_.insert(key, {tr.anchor, o.anchor});
      }
  };
  indexTriggers(model.tables);
  indexTriggers(model.views);
}

void DependencyAnchors::Link(ModelDependencies& d) const {
  for (QList<ModelDependency>* list : {&d.uses, &d.usedBy})
    for (ModelDependency& dep : *list) {
      const int rank = KindRank(dep.type), trigger = KindRank(QStringLiteral("TRIGGER"));
      if (rank < trigger) dep.anchor = anchors_.value(dep.object.FullName());
      if (rank == trigger) std::tie(dep.anchor, dep.page) = triggers_.value(dep.object.FullName());
    }
}

void LinkDependencies(DocumentModel& model) {
  const DependencyAnchors anchors(model);
  for (TableObject& o : model.tables) anchors.Link(o.dependencies);
  for (ViewObject& o : model.views) anchors.Link(o.dependencies);
  for (UnitObject& o : model.units) anchors.Link(o.dependencies);
  for (PackageObject& o : model.packages) anchors.Link(o.dependencies);
  for (ListEntry& o : model.sequences) anchors.Link(o.dependencies);
}

QString DependencyHref(const Links& links, const ModelDependency& dependency) {
  if (dependency.anchor.isEmpty()) return {};
  if (!dependency.page.isEmpty()) return MemberHref(links, dependency.page, dependency.anchor);
  if (dependency.type == QStringLiteral("SEQUENCE")) return EntryHref(links, SectionKind::Sequences, dependency.anchor);
  return ObjectHref(links, dependency.anchor);
}
