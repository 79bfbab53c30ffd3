#include "cli/used_by_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "cli/console_progress.h"
#include "db/database.h"
#include "model/impact.h"
#include "project/project.h"
#include "text/ansi.h"

namespace {

int Fail(const QString& message) {
  PrintError(message);
  return 1;
}

// A name as Oracle keeps it: upper case, unless written in double quotes.
QString DictionaryName(const QString& part) {
  const QString p = part.trimmed();
  if (p.size() >= 2 && p.startsWith(u'"') && p.endsWith(u'"')) return p.mid(1, p.size() - 2);
  return ansi::UpperCase(p);
}

const ObjectEntry* ConnectionFor(const Project& project, const QString& owner) {
  const ObjectEntry* first = nullptr;
  for (const ObjectKind kind : kAllObjectKinds) {
    for (const ObjectEntry& e : project.Entries(kind)) {
      if (!first) first = &e;
      if (ansi::UpperCase(e.connection().UserName()) == owner) return &e;
    }
  }
  return first;
}

QJsonObject Json(const ImpactObject& o) {
  return {{"owner", o.owner}, {"name", o.name}, {"type", o.type}};
}

QString Text(const ImpactReport& r, const QString& database) {
  QString out = QStringLiteral("%1 (%2) in %3 is used by %4 object%5%6\n")
                    .arg(r.object.FullName(), r.object.type.isEmpty() ? "?" : r.object.type,
                         database)
                    .arg(r.users.size())
                    .arg(r.users.size() == 1 ? "" : "s", r.users.isEmpty() ? "." : ":");
  for (const ImpactUser& u : r.users) {
    QStringList path;
    for (const ImpactObject& o : u.path) path.append(o.FullName());
    out += QStringLiteral("%1  %2 %3: %4\n")
               .arg(u.depth, 3)
               .arg(u.object.type.leftJustified(12), u.object.FullName(),
                    path.join(QStringLiteral(" -> ")));
  }
  return out;
}

}  // namespace

bool IsOwnerDotName(const QString& target) {
  const QStringList parts = target.split(u'.');
  return parts.size() == 2 && !parts[0].trimmed().isEmpty() && !parts[1].trimmed().isEmpty();
}

int RunUsedBy(const Project& project, Database& db, const QString& target, bool json) {
  const QStringList parts = target.split(u'.');
  const QString owner = DictionaryName(parts[0]), name = DictionaryName(parts[1]);
  const ObjectEntry* entry = ConnectionFor(project, owner);
  if (!entry) return Fail(QStringLiteral("the project has no entry whose connection to use"));
  std::optional<ImpactReport> report;
  try {
    ConnectDatabase(db, entry->connection().ServerName(), entry->connection().UserName(),
                    entry->connection().Password());
    report = UsedBy(db, owner, name);
  } catch (const DatabaseError& e) {
    return Fail(e.Message());
  }
  const QString database = ansi::UpperCase(entry->connection().ServerName());
  if (!report) {
    return Fail(QStringLiteral("%1.%2 is not in the dictionary of %3 as %4 sees it")
                    .arg(owner, name, database,
                         ansi::UpperCase(entry->connection().UserName())));
  }
  if (!json) return WriteReport(ConsoleText(Text(*report, database), true)) ? 0 : 1;
  QJsonArray users;
  for (const ImpactUser& u : report->users) {
    QJsonArray path;
    for (const ImpactObject& o : u.path) path.append(Json(o));
    QJsonObject user = Json(u.object);
    user.insert("depth", u.depth);
    user.insert("path", path);
    users.append(user);
  }
  QJsonObject object = Json(report->object);
  object.insert("database", database);
  const QByteArray out = QJsonDocument(QJsonObject{{"format", "vellumar-used-by"},
                                                   {"version", 1},
                                                   {"object", object},
                                                   {"usedBy", users}})
                             .toJson(QJsonDocument::Indented);
  return WriteReport(out) ? 0 : 1;
}
