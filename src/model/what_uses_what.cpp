#include "model/what_uses_what.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <tuple>
#include <utility>

#include "db/database.h"
#include "model/triggers.h"

namespace {

QString Field(const Query& q, const char* name) { return q.Field(name); }

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

// Sorts the list and keeps each object once: its rows (a body's and its specification's, or
// one per kind of dependency) are then next to each other.
void SortOnce(QList<ModelDependency>& list) {
  Sort(list);
  const auto same = [](const ModelDependency& a, const ModelDependency& b) {
    return a.type == b.type && a.object.owner == b.object.owner && a.object.name == b.object.name;
  };
  list.erase(std::unique(list.begin(), list.end(), same), list.end());
}

}  // namespace

void ReadDependencies(Database& db, const QString& owner,
                      const std::function<void(DependencyRow&&)>& each) {
  Query& q = db.query(QueryId::OCIDependencies);
  q.Close();
  q.BindText(1, owner);
  q.BindText(2, owner);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    // Oracle keeps a NON-EXISTENT row for a name a unit looked up and did not find, so that
    // an object made under that name later invalidates it: nothing is used there.
    QString referencedType = Field(q, "referenced_type");
    if (referencedType == QLatin1String("NON-EXISTENT")) continue;
    each({Field(q, "owner"), Field(q, "name"), Field(q, "type"), Field(q, "referenced_owner"),
          Field(q, "referenced_name"), std::move(referencedType)});
  }
  q.Close();
}

QList<DependencyRow> ReadDependencies(Database& db, const QString& owner) {
  QList<DependencyRow> rows;
  ReadDependencies(db, owner, [&rows](DependencyRow&& row) { rows.append(std::move(row)); });
  return rows;
}

// A body is part of what it implements: its uses are its package's (or type's).
QString OwnType(const QString& type) {
  if (type == QLatin1String("PACKAGE BODY")) return QStringLiteral("PACKAGE");
  if (type == QLatin1String("TYPE BODY")) return QStringLiteral("TYPE");
  return type;
}

QString DependencyKindTitle(const QString& type) {
  QString title = type.toLower();
  if (title.isEmpty()) return title;
  title[0] = title[0].toUpper();
  if (title.endsWith(u'y')) return title.chopped(1) + QStringLiteral("ies");
  if (title.endsWith(u's') || title.endsWith(u'x')) return title + QStringLiteral("es");
  return title + u's';
}

int WhatUsesWhat::Schema::Id(const QString& text) {
  const auto found = ids.constFind(text);
  if (found != ids.cend()) return *found;
  ids.insert(text, int(texts.size()));
  texts.append(text);
  return int(texts.size()) - 1;
}

int WhatUsesWhat::Schema::Find(const QString& text) const {
  const auto it = std::lower_bound(byText.begin(), byText.end(), text,
                                   [this](int id, const QString& t) { return texts[id] < t; });
  return it != byText.end() && texts[*it] == text ? *it : -1;
}

struct WhatUsesWhat::ByObject {
  const std::vector<Row>& rows;
  bool used;  // the used object's rather than the using one's
  using Object = std::pair<int, int>;  // owner, name

  Object Of(int row) const {
    const Row& r = rows[std::size_t(row)];
    return used ? Object(r.referencedOwner, r.referencedName) : Object(r.owner, r.name);
  }
  bool operator()(int a, int b) const { return Of(a) < Of(b); }
  bool operator()(int a, const Object& o) const { return Of(a) < o; }
  bool operator()(const Object& o, int a) const { return o < Of(a); }
};

WhatUsesWhat::Schema& WhatUsesWhat::Of(Database& db, const ObjectKey& key) {
  const QString schema = key.database + u'\n' + key.owner;
  auto it = schemas_.find(schema);
  if (it != schemas_.end()) return *it;
  it = schemas_.insert(schema, {});
  Schema& s = *it;
  ReadDependencies(db, key.owner, [&s](DependencyRow&& r) {
    s.rows.push_back({s.Id(r.owner), s.Id(r.name), s.Id(r.type), s.Id(r.referencedOwner),
                      s.Id(r.referencedName), s.Id(r.referencedType)});
  });
  s.rows.shrink_to_fit();
  s.ids = {};
  s.texts.squeeze();
  s.byText.resize(std::size_t(s.texts.size()));
  std::iota(s.byText.begin(), s.byText.end(), 0);
  std::sort(s.byText.begin(), s.byText.end(),
            [&s](int a, int b) { return s.texts[a] < s.texts[b]; });
  s.byUser.resize(s.rows.size());
  std::iota(s.byUser.begin(), s.byUser.end(), 0);
  s.byUsed = s.byUser;
  std::stable_sort(s.byUser.begin(), s.byUser.end(), ByObject{s.rows, false});
  std::stable_sort(s.byUsed.begin(), s.byUsed.end(), ByObject{s.rows, true});
  s.triggers = ReadTriggers(db, key.owner);
  return s;
}

namespace {

void AppendText(QByteArray& out, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  const quint32 size = quint32(utf8.size());
  out.append(reinterpret_cast<const char*>(&size), sizeof size);
  out.append(utf8);
}

QString TakeText(const QByteArray& in, qsizetype& at) {
  quint32 size;
  std::memcpy(&size, in.constData() + at, sizeof size);
  at += qsizetype(sizeof size);
  const QString text = QString::fromUtf8(in.constData() + at, qsizetype(size));
  at += qsizetype(size);
  return text;
}

}  // namespace

QHash<QString, QByteArray> WhatUsesWhat::ReadTriggers(Database& db, const QString& owner) {
  QHash<QString, QByteArray> triggers;
  Query& t = RunQuery(db, QueryId::OCITriggers, owner);
  for (; !t.Eof(); t.Next()) {
    QByteArray& texts = triggers[Field(t, "table_name")];
    texts.append(Field(t, "status") != QLatin1String("DISABLED") ? '1' : '0');
    for (const char* field : {"owner", "trigger_name", "trigger_type", "triggering_event",
                              "when_clause", "description", "trigger_body"})
      AppendText(texts, Field(t, field));
  }
  t.Close();
  for (QByteArray& texts : triggers) texts.squeeze();
  return triggers;
}

QList<WhatUsesWhat::TriggerRow> WhatUsesWhat::TriggerRows(const QByteArray& texts) {
  QList<TriggerRow> rows;
  for (qsizetype at = 0; at < texts.size();) {
    TriggerRow row;
    row.enabled = texts[at++] == '1';
    for (QString* text : {&row.owner, &row.name, &row.type, &row.event, &row.when, &row.header,
                          &row.body})
      *text = TakeText(texts, at);
    rows.append(std::move(row));
  }
  // By name here, not in the query: a schema's rows, bodies and all, are megabytes, which
  // the dictionary would sort on disk, while a table has a trigger or two.
  std::sort(rows.begin(), rows.end(), [](const TriggerRow& a, const TriggerRow& b) {
    return std::tie(a.name, a.owner) < std::tie(b.name, b.owner);
  });
  return rows;
}

const QSet<QString>& WhatUsesWhat::InvalidIn(Database& db, const QString& database,
                                             const QString& owner) {
  const QString schema = database + u'\n' + owner;
  auto it = invalid_.find(schema);
  if (it != invalid_.end()) return *it;
  it = invalid_.insert(schema, {});
  Query& invalid = RunQuery(db, QueryId::OCIInvalidObjects, owner);
  for (; !invalid.Eof(); invalid.Next())
    it->insert(Field(invalid, "object_type") + u'\n' + Field(invalid, "object_name"));
  invalid.Close();
  return *it;
}

bool WhatUsesWhat::Invalid(Database& db, const ObjectKey& key,
                           std::initializer_list<const char*> types) {
  const QSet<QString>& invalid = InvalidIn(db, key.database, key.owner);
  for (const char* type : types)
    if (invalid.contains(QString::fromLatin1(type) + u'\n' + key.name)) return true;
  return false;
}

QList<ModelTrigger> WhatUsesWhat::Triggers(Database& db, const ObjectKey& key) {
  Schema& schema = Of(db, key);
  const QList<TriggerRow> rows = TriggerRows(schema.triggersGiven.contains(key.name)
                                                 ? ReadTriggers(db, key.owner).value(key.name)
                                                 : schema.triggers.take(key.name));
  schema.triggersGiven.insert(key.name);
  // Once the last table's are handed out, their emptied table of megabytes goes too.
  if (schema.triggers.isEmpty()) schema.triggers = {};
  QList<ModelTrigger> triggers;
  for (const TriggerRow& row : rows) {
    ModelTrigger t = TriggerOf(row.type, row.event, row.header);
    t.owner = row.owner;
    t.name = row.name;
    t.when = row.when.trimmed();
    t.header = row.header;
    t.enabled = row.enabled;
    t.body = TriggerLines(row.body);
    t.invalid = InvalidIn(db, key.database, t.owner).contains(QStringLiteral("TRIGGER\n") + t.name);
    triggers.append(std::move(t));
  }
  return triggers;
}

ModelDependencies WhatUsesWhat::Dependencies(Database& db, const ObjectKey& key,
                                             std::initializer_list<const char*> types) {
  const Schema& schema = Of(db, key);
  ModelDependencies d;
  const ByObject::Object own(schema.Find(key.owner), schema.Find(key.name));
  if (own.first < 0 || own.second < 0) return d;
  const auto text = [&schema](int id) { return schema.texts[id]; };
  const ByObject user{schema.rows, false}, used{schema.rows, true};
  for (auto [i, end] = std::equal_range(schema.byUser.begin(), schema.byUser.end(), own, user);
       i != end; ++i) {
    const Row& r = schema.rows[std::size_t(*i)];
    if (!OneOf(text(r.type), types) || Everyones(text(r.referencedOwner), text(r.referencedName)) ||
        used.Of(*i) == own)
      continue;
    d.uses.append({{key.database, text(r.referencedOwner), text(r.referencedName)},
                   text(r.referencedType), {}, {}});
  }
  for (auto [i, end] = std::equal_range(schema.byUsed.begin(), schema.byUsed.end(), own, used);
       i != end; ++i) {
    const Row& r = schema.rows[std::size_t(*i)];
    if (!OneOf(text(r.referencedType), types) || user.Of(*i) == own) continue;
    d.usedBy.append({{key.database, text(r.owner), text(r.name)}, OwnType(text(r.type)), {}, {}});
  }
  SortOnce(d.uses);
  SortOnce(d.usedBy);
  return d;
}

void TriggerAnchors::Add(const ObjectKey& key, const QString& anchor,
                         const QList<ModelTrigger>& triggers) {
  // Triggers have a namespace of their own; the first documented one of a name is linked.
  for (const ModelTrigger& tr : triggers) {
    const QString name = ObjectKey{key.database, tr.owner, tr.name}.FullName();
    if (byName_.contains(name)) continue;
    const bool usual = tr.anchor == InnerAnchor(anchor, tr.name);
    byName_.insert(names_.Keep(name), {anchor, usual ? QString() : tr.anchor});
  }
}

std::pair<QString, QString> TriggerAnchors::Find(const ObjectKey& key) const {
  const auto it = byName_.constFind(key.FullName());
  if (it == byName_.cend()) return {};
  const auto& [page, own] = *it;
  return {own.isNull() ? InnerAnchor(page, key.name) : own, page};
}

DependencyAnchors::DependencyAnchors(const DocumentModel& model, const TriggerAnchors& triggers)
    : model_(model), triggers_(triggers) {
  // Tables, views, sequences, units and packages share one namespace per owner, so the
  // name alone finds the documented one; the first documented object of a name is linked.
  for (const SectionKind kind : {SectionKind::Tables, SectionKind::Views, SectionKind::Units,
                                  SectionKind::Packages, SectionKind::Sequences})
    for (int i = 0; i < EntryCount(model, kind); ++i)
      anchors_.Add(EntryKey(model, kind, i).FullName(), {kind, i});
  anchors_.Sort();
}

void DependencyAnchors::Link(ModelDependencies& d) const {
  for (QList<ModelDependency>* list : {&d.uses, &d.usedBy})
    for (ModelDependency& dep : *list) {
      const int rank = KindRank(dep.type), trigger = KindRank(QStringLiteral("TRIGGER"));
      if (rank < trigger) {
        const std::optional<Place> place = anchors_.Find(
            dep.object.FullName(),
            [this](const Place& p) { return EntryKey(model_, p.kind, p.index).FullName(); });
        dep.anchor = place ? EntryAnchor(model_, place->kind, place->index) : QString();
      }
      if (rank == trigger)
        std::tie(dep.anchor, dep.page) = triggers_.Find(dep.object);
    }
}

void LinkDependencies(DocumentModel& model, const TriggerAnchors& triggers) {
  const DependencyAnchors anchors(model, triggers);
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
