#pragma once
// The description an object starts with when it is added to the project: a table's
// comment, a package's own description from its specification's comment block, nothing for
// the other kinds. The user edits it afterwards.

#include <QString>

#include "project/project.h"

class Database;
struct Settings;

// Runs on the open connection; `settings` gives the package tags in force at the moment of
// the call. Throws DatabaseError.
QString InitialDescription(Database& db, const Settings& settings, ObjectKind kind,
                           const QString& objectName);
