#include "pages/object_page_model.h"

#include <algorithm>

#include "db/database.h"
#include "pages/available_list.h"
#include "pages/list_order.h"
#include "text/ansi.h"

namespace {

// Rows in ascending order, each once, only those inside [0, count).
QList<int> NormalRows(QList<int> rows, int count) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.removeIf([count](int r) { return r < 0 || r >= count; });
  return rows;
}

}  // namespace

ObjectPageModel::ObjectPageModel(Project& project, Database& db, ObjectKind kind,
                                 DescriptionSource initialDescription)
    : project_(project),
      db_(db),
      kind_(kind),
      initialDescription_(std::move(initialDescription)) {
  RefreshProjectList();
}

void ObjectPageModel::FillAvailableList() {
  available_.clear();
  available_ = ::FillAvailableList(db_, kind_, project_.Entries(kind_));
}

void ObjectPageModel::RefreshProjectList() {
  const QList<ObjectEntry>& entries = project_.Entries(kind_);
  QStringList texts;
  texts.reserve(entries.size());
  for (const ObjectEntry& e : entries) texts.append(ProjectListLine(e));
  std::vector<QString> keys;
  keys.reserve(texts.size());
  for (const QString& t : texts) keys.push_back(ansi::UpperCase(t));
  lines_.clear();
  lines_.reserve(entries.size());
  for (int i = 0; i < entries.size(); ++i) lines_.append({texts[i], i});
  std::stable_sort(lines_.begin(), lines_.end(),
                   [&](const ProjectListItem& a, const ProjectListItem& b) {
                     if (const int c = keys[a.entry].compare(keys[b.entry]); c != 0) return c < 0;
                     return a.text.compare(b.text) < 0;
                   });
}

namespace {

bool LineLess(const ProjectListItem& a, const ProjectListItem& b) {
  return ListLineLess(a.text, b.text) ||
         (!ListLineLess(b.text, a.text) && a.entry < b.entry);
}

}  // namespace

void ObjectPageModel::AppendEntry(const QString& objectName) {
  const ObjectEntry entry{Connection(db_.ServerName(), db_.UserName(), db_.Password()), objectName,
                          initialDescription_ ? initialDescription_(objectName) : QString()};
  const ProjectListItem line{ProjectListLine(entry), project_.AppendEntry(kind_, entry)};
  lines_.insert(std::upper_bound(lines_.begin(), lines_.end(), line, LineLess), line);
}

void ObjectPageModel::AddEntries(QList<int> availableRows) {
  const QList<int> rows = NormalRows(std::move(availableRows), available_.size());
  if (rows.isEmpty()) return;
  QList<bool> added(available_.size(), false);
  bool moved = false;
  auto dropAdded = [&] {
    QStringList rest;
    for (int i = 0; i < available_.size(); ++i) {
      if (!added[i]) rest.append(available_[i]);
    }
    available_.swap(rest);
    if (moved) project_.SetModified(true);
  };
  try {
    for (int r : rows) {
      AppendEntry(available_[r]);
      added[r] = moved = true;
    }
  } catch (...) {
    dropAdded();
    throw;
  }
  dropAdded();
}

void ObjectPageModel::AddAllEntries() {
  qsizetype done = 0;
  try {
    for (; done < available_.size(); ++done) AppendEntry(available_[done]);
  } catch (...) {
    available_.remove(0, done);
    project_.SetModified(true);
    throw;
  }
  available_.clear();
  project_.SetModified(true);
}

bool ObjectPageModel::ChosenUnderCurrentConnection(const ObjectEntry& entry) const {
  return db_.Connected() && entry.connection().Is(db_.ServerName(), db_.UserName(), db_.Password());
}

void ObjectPageModel::RemoveEntries(QList<int> projectRows) {
  const QList<int> rows = NormalRows(std::move(projectRows), lines_.size());
  if (rows.isEmpty()) return;
  QList<int> indices;
  for (int r : rows) indices.append(lines_[r].entry);
  RemoveEntryIndices(indices);
}

void ObjectPageModel::RemoveAllEntries() {
  QList<int> indices;
  for (const ProjectListItem& line : lines_) indices.append(line.entry);
  RemoveEntryIndices(indices);
}

void ObjectPageModel::RemoveEntryIndices(QList<int> indices) {
  for (int index : indices) {
    const ObjectEntry& entry = project_.Entries(kind_)[index];
    if (ChosenUnderCurrentConnection(entry)) available_.append(entry.ObjectName().toString());
  }
  SortListLines(available_);
  // Entry indices shift as entries go, so remove from the highest index down.
  std::sort(indices.begin(), indices.end(), std::greater<int>());
  for (int index : indices) project_.RemoveEntry(kind_, index);
  RefreshProjectList();
  project_.SetModified(true);
}
