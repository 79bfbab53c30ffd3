#include "model/impact.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "db/database.h"
#include "model/what_uses_what.h"

namespace {

QString NameKey(const QString& owner, const QString& name) { return owner + u'\n' + name; }

// The dependency rows that name each owner's objects as used, read once per owner.
class Users {
 public:
  explicit Users(Database& db) : db_(db) {}

  // The objects that use OWNER.NAME directly, each once.
  QList<ImpactObject> Of(const QString& owner, const QString& name) {
    if (!read_.contains(owner)) Read(owner);
    return users_.value(NameKey(owner, name));
  }
  // Whether a row names OWNER.NAME as user or as used.
  bool Named(const QString& owner, const QString& name) {
    if (!read_.contains(owner)) Read(owner);
    return named_.contains(NameKey(owner, name));
  }

 private:
  void Read(const QString& owner) {
    read_.insert(owner);
    for (const DependencyRow& row : ReadDependencies(db_, owner)) {
      const ImpactObject user{row.owner, row.name, OwnType(row.type)};
      const QString used = NameKey(row.referencedOwner, row.referencedName);
      named_.insert(used);
      named_.insert(NameKey(user.owner, user.name));
      if (NameKey(user.owner, user.name) == used) continue;  // a body and its specification
      QList<ImpactObject>& list = users_[used];
      const bool known = std::any_of(list.begin(), list.end(), [&](const ImpactObject& o) {
        return o.owner == user.owner && o.name == user.name && o.type == user.type;
      });
      if (!known) list.append(user);
    }
  }

  Database& db_;
  QSet<QString> read_;
  QSet<QString> named_;
  QHash<QString, QList<ImpactObject>> users_;  // by the used object's OWNER\nNAME
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
  if (!types.Eof()) report.object.type = OwnType(types.Field(QStringLiteral("object_type")));
  types.Close();
  Users users(db);
  if (report.object.type.isEmpty() && !users.Named(owner, name)) return std::nullopt;

  // Breadth first, so each user is reached by its shortest path; one depth at a time, in
  // order, so the list reads from the nearest to the deepest.
  QSet<QString> seen{NameKey(owner, name)};
  QList<ImpactUser> level{{report.object, 0, {report.object}}};
  for (int depth = 1; !level.isEmpty(); ++depth) {
    QList<ImpactUser> next;
    for (const ImpactUser& from : level) {
      for (const ImpactObject& user : users.Of(from.object.owner, from.object.name)) {
        if (seen.contains(NameKey(user.owner, user.name))) continue;
        seen.insert(NameKey(user.owner, user.name));
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
