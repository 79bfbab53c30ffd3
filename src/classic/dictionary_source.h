#pragma once
// The stored PL/SQL source of units and packages as the comment-tag passes read it: one
// row of the source query per line, in the order the query delivers them.

#include <QString>

#include "classic/comment_tags.h"

class Database;
class Query;
struct Settings;

// The lines of an open source query (its "text" column), one row per call.
LineSource QueryLines(Query& query);

// Opens OCIProctext on a stand-alone unit, the name and type bound as given.
Query& OpenUnitSource(Database& db, const QString& name, const QString& type);
// Opens OCIPackageText on a package specification, the name bound as given.
Query& OpenPackageSource(Database& db, const QString& packageName);

// The package's own description from its specification's package block, read on the
// current connection; the query is closed again afterwards. Used to pre-fill the
// Description of a package entry.
QString ExtractPackageDescription(Database& db, const Settings& settings,
                                  const QString& packageName);
