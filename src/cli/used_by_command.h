#pragma once
// vellumar-build --used-by: what depends on an object, transitively (model/impact.h), read
// with the connection a project stores for the object's owner.

#include <QString>

class Project;
class Database;

// Whether `target` names an object as --used-by takes it: OWNER.NAME, neither part blank.
bool IsOwnerDotName(const QString& target);

// Prints the users of `target` (OWNER.NAME, upper-cased unless quoted), text or JSON. The
// connection is that of the project's first entry of the owner, else of its first entry.
// Exit status: 0 printed, 1 the name is not in the dictionary, or the project has no
// connection, or a log-on or query failed, or the report could not be written.
int RunUsedBy(const Project& project, Database& db, const QString& target, bool json);
