#pragma once
// What depends on an object, transitively: every object that uses it, or uses one that
// does, and so on, each with the shortest path of dependencies that leads to it, as the
// dictionary's dependencies say (vellumar-build --used-by). A cycle (two package bodies
// calling each other) ends where it comes back; a package body counts as its package, a
// trigger or an index is not the table that bears its name, and the object itself is never
// its own user.

#include <QList>
#include <QString>
#include <optional>

class Database;

struct ImpactObject {
  QString owner, name, type;  // type as the dictionary says (a body's: its package's)

  QString FullName() const { return owner + u'.' + name; }
};

struct ImpactUser {
  ImpactObject object;
  int depth = 1;  // 1: uses the object itself
  // From this user to the object asked about: this user, what it uses, ..., the object.
  QList<ImpactObject> path;
};

struct ImpactReport {
  ImpactObject object;
  QList<ImpactUser> users;  // by depth (the deepest last), then by owner, name and type
};

// The users of OWNER.NAME in the dictionary `db` is logged on to (what its ALL_ views show):
// the table, view, unit ... of that name rather than an index or trigger that shares it, its
// type as a dependency row gives it where the dictionary lists no such object. Nullopt when
// the dictionary knows no object of that name. A failed query throws DatabaseError.
std::optional<ImpactReport> UsedBy(Database& db, const QString& owner, const QString& name);
