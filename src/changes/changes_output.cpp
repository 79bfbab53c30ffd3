#include "changes/changes_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace changes {
namespace {
constexpr int kJsonVersion = 1;
}

bool AnyBreaking(const std::vector<Change>& changes) {
  return std::any_of(changes.begin(), changes.end(), [](const Change& c) { return c.breaking; });
}

QString ChangesText(const std::vector<Change>& changes, const QString& oldName,
                    const QString& newName) {
  if (changes.empty()) return QStringLiteral("No changes from %1 to %2.\n").arg(oldName, newName);
  const auto breaking =
      std::count_if(changes.begin(), changes.end(), [](const Change& c) { return c.breaking; });
  QString text = QStringLiteral("Changes from %1 to %2: %3, %4 breaking.\n")
                     .arg(oldName, newName)
                     .arg(changes.size())
                     .arg(breaking);
  const QString* owner = nullptr;
  for (const Change& c : changes) {
    if (!owner || *owner != c.owner) text += '\n' + c.owner + ":\n";
    owner = &c.owner;
    text += (c.breaking ? QStringLiteral("  breaking  ") : QStringLiteral("            ")) +
            ChangeText(c) + '\n';
  }
  return text;
}

QByteArray ChangesJson(const std::vector<Change>& changes, const QString& oldName,
                       const QString& newName) {
  QJsonArray list;
  qsizetype breaking = 0;
  for (const Change& c : changes) {
    QJsonObject json{{"owner", c.owner},         {"objectType", c.objectType},
                     {"object", c.object},       {"change", c.kind},
                     {"breaking", c.breaking},   {"text", ChangeText(c)}};
    if (!c.item.isEmpty()) json.insert("item", c.item);
    if (!c.argument.isEmpty()) json.insert("argument", c.argument);
    if (!c.oldValue.isEmpty()) json.insert("old", c.oldValue);
    if (!c.newValue.isEmpty()) json.insert("new", c.newValue);
    list.append(json);
    breaking += c.breaking;
  }
  const QJsonObject root{
      {"format", "vellumar-changes"},
      {"version", kJsonVersion},
      {"old", oldName},
      {"new", newName},
      {"total", QJsonObject{{"changes", qint64(changes.size())}, {"breaking", breaking}}},
      {"changes", list}};
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace changes
