#include "model/impact.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "db/database.h"
#include "model/what_uses_what.h"

namespace {

// Tables, views, sequences, synonyms, units, packages and types share a schema's names;
// an index, a trigger, a cluster or a dimension may bear one of those names and be another
// object, as its kind has names of its own.
QString NameSpace(const QString& type) {
  static const QSet<QString> own{"INDEX", "TRIGGER", "CLUSTER", "DIMENSION", "DATABASE LINK"};
  return own.contains(type) ? type : QString();
}

QString NameKey(const QString& owner, const QString& name, const QString& type) {
  return owner + u'\n' + NameSpace(type) + u'\n' + name;
}
QString NameKey(const ImpactObject& o) { return NameKey(o.owner, o.name, o.type); }

// The dependency rows that name each owner's objects as used, read once per owner.
class Users {
 public:
  explicit Users(Database& db) : db_(db) {}

  // The objects that use `used` directly, each once.
  QList<ImpactObject> Of(const ImpactObject& used) {
    if (!read_.contains(used.owner)) Read(used.owner);
    return users_.value(NameKey(used));
  }
  // The type of OWNER.NAME where a row names it as user or as used; null when none does.
  QString Named(const QString& owner, const QString& name) {
    if (!read_.contains(owner)) Read(owner);
    return named_.value(owner + u'\n' + name);
  }

 private:
  void Read(const QString& owner) {
    read_.insert(owner);
    for (const DependencyRow& row : ReadDependencies(db_, owner)) {
      const ImpactObject user{row.owner, row.name, OwnType(row.type)};
      const QString used =
          NameKey(row.referencedOwner, row.referencedName, OwnType(row.referencedType));
      named_.insert(row.referencedOwner + u'\n' + row.referencedName, OwnType(row.referencedType));
      named_.insert(user.owner + u'\n' + user.name, user.type);
      if (NameKey(user) == used) continue;  // a body and its specification
      QList<ImpactObject>& list = users_[used];
      const bool known = std::any_of(list.begin(), list.end(), [&](const ImpactObject& o) {
        return o.owner == user.owner && o.name == user.name && o.type == user.type;
      });
      if (!known) list.append(user);
    }
  }

  Database& db_;
  QSet<QString> read_;
  QHash<QString, QString> named_;  // OWNER\nNAME: a type a row gives it
  QHash<QString, QList<ImpactObject>> users_;  // by the used object's NameKey
};

}  // namespace

std::optional<ImpactReport> UsedBy(Database& db, const QString& owner, const QString& name) {
  ImpactReport report;
  report.object = {owner, name, {}};
  Query& types = db.query(QueryId::OCIObjectTypes);
  types.Close();
  types.BindText(1, owner);
  types.BindText(2, name);
  types.Open();
  // OWNER.NAME names the object of the schema's shared names (the table, not the index
  // that bears its name), else whatever bears it.
  for (; !types.Eof(); types.Next()) {
    const QString type = OwnType(types.Field(QStringLiteral("object_type")));
    const bool shared = NameSpace(type).isEmpty();
    if (report.object.type.isEmpty() || (shared && !NameSpace(report.object.type).isEmpty()))
      report.object.type = type;
  }
  types.Close();
  Users users(db);
  if (report.object.type.isEmpty()) report.object.type = users.Named(owner, name);
  if (report.object.type.isNull()) return std::nullopt;

  // Breadth first, so each user is reached by its shortest path; one depth at a time, in
  // order, so the list reads from the nearest to the deepest.
  QSet<QString> seen{NameKey(report.object)};
  QList<ImpactUser> level{{report.object, 0, {report.object}}};
  for (int depth = 1; !level.isEmpty(); ++depth) {
    QList<ImpactUser> next;
    for (const ImpactUser& from : level) {
      for (const ImpactObject& user : users.Of(from.object)) {
        if (seen.contains(NameKey(user))) continue;
        seen.insert(NameKey(user));
        ImpactUser u{user, depth, from.path};
        u.path.prepend(user);
        next.append(std::move(u));
      }
    }
    std::sort(next.begin(), next.end(), [](const ImpactUser& a, const ImpactUser& b) {
      if (a.object.owner != b.object.owner) return a.object.owner < b.object.owner;
      if (a.object.name != b.object.name) return a.object.name < b.object.name;
      return a.object.type < b.object.type;
    });
    report.users += next;
    level = std::move(next);
  }
  return report;
}
