#include "project/project.h"

#include <algorithm>

#include "text/ansi.h"

bool HasSectionDescription(ObjectKind kind) {
  return kind == ObjectKind::Sequences || kind == ObjectKind::Roles;
}

Connection::Connection() {
  // Entries made empty, then filled, share one empty connection rather than each making one.
  static const QExplicitlySharedDataPointer<const Data> empty(new Data);
  d_ = empty;
}

Connection::Connection(const QString& serverName, const QString& userName, const QString& password)
    : d_(new Data{{}, serverName, userName, password}) {}

bool Connection::Is(const QString& serverName, const QString& userName,
                    const QString& password) const {
  return ServerName() == serverName && UserName() == userName && Password() == password;
}

bool operator==(const Connection& a, const Connection& b) {
  return a.d_ == b.d_ || a.Is(b.ServerName(), b.UserName(), b.Password());
}

namespace {

// Exactly as long as the two texts: an entry's text never grows in place.
QString Joined(QStringView first, QStringView second) {
  QString text(first.size() + second.size(), Qt::Uninitialized);
  std::copy(second.begin(), second.end(), std::copy(first.begin(), first.end(), text.begin()));
  return text;
}

}  // namespace

ObjectEntry::ObjectEntry(Connection connection, const QString& objectName,
                         const QString& description)
    : connection_(std::move(connection)),
      text_(Joined(objectName, description)),
      nameLength_(objectName.size()) {}

void ObjectEntry::ShareConnectionOf(const ObjectEntry& other) {
  if (connection_ == other.connection_) connection_ = other.connection_;
}

void ObjectEntry::SetDescription(QStringView description) {
  text_ = Joined(ObjectName(), description);
}

QString ProjectListLine(const ObjectEntry& entry) {
  QString line = ansi::UpperCase(entry.connection().ServerName()) + u'.';
  return line.append(entry.ObjectName());
}

Project::Project(QObject* parent) : QObject(parent) {}

void Project::SetName(const QString& name) {
  if (contents_.info.Name == name) return;
  contents_.info.Name = name;
  emit InfoChanged();
}

void Project::SetVersion(const QString& version) {
  if (contents_.info.Version == version) return;
  contents_.info.Version = version;
  emit InfoChanged();
}

void Project::SetGeneral(const QString& text) {
  if (contents_.info.General == text) return;
  contents_.info.General = text;
  emit InfoChanged();
}

void Project::SetFileTimes(const QString& created, const QString& updated) {
  if (contents_.info.Created == created && contents_.info.Updated == updated) return;
  contents_.info.Created = created;
  contents_.info.Updated = updated;
  emit InfoChanged();
}

const QList<ObjectEntry>& Project::Entries(ObjectKind kind) const {
  return contents_.entries[static_cast<int>(kind)];
}

int Project::AppendEntry(ObjectKind kind, const ObjectEntry& entry) {
  auto& list = contents_.entries[static_cast<int>(kind)];
  list.append(entry);
  if (list.size() > 1) list.last().ShareConnectionOf(list[list.size() - 2]);
  emit EntriesChanged(kind);
  return list.size() - 1;
}

void Project::RemoveEntry(ObjectKind kind, int index) {
  auto& list = contents_.entries[static_cast<int>(kind)];
  if (index < 0 || index >= list.size()) return;
  list.removeAt(index);
  emit EntriesChanged(kind);
}

void Project::SetDescription(ObjectKind kind, int index, const QString& text) {
  auto& list = contents_.entries[static_cast<int>(kind)];
  if (index < 0 || index >= list.size() || list[index].Description() == text) return;
  list[index].SetDescription(text);
  emit EntriesChanged(kind);
}

QString Project::SectionDescription(ObjectKind kind) const {
  if (kind == ObjectKind::Sequences) return contents_.sequencesDescription;
  if (kind == ObjectKind::Roles) return contents_.rolesDescription;
  return {};
}

void Project::SetSectionDescription(ObjectKind kind, const QString& text) {
  QString* target = kind == ObjectKind::Sequences ? &contents_.sequencesDescription
                    : kind == ObjectKind::Roles   ? &contents_.rolesDescription
                                                  : nullptr;
  if (!target || *target == text) return;
  *target = text;
  emit SectionDescriptionChanged(kind);
}

void Project::SetModified(bool on) {
  if (modified_ == on) return;
  modified_ = on;
  emit ModifiedChanged(on);
}

void Project::ClearProject() { ReplaceContents(ProjectContents{}); }

void Project::ReplaceContents(const ProjectContents& contents) {
  contents_ = contents;
  emit InfoChanged();
  for (ObjectKind kind : kAllObjectKinds) {
    emit EntriesChanged(kind);
    if (HasSectionDescription(kind)) emit SectionDescriptionChanged(kind);
  }
}
