#include "model/table_keys.h"

#include <QSet>
#include <algorithm>

#include "model/document_model.h"
#include "model/name_index.h"

quint32 TableKeys::Id(const QString& text) {
  const std::u16string_view wanted(reinterpret_cast<const char16_t*>(text.utf16()),
                                   std::size_t(text.size()));
  const auto hash = [](std::u16string_view t) { return std::hash<std::u16string_view>()(t); };
  const auto stored = [this](quint32 id) {
    return std::u16string_view(texts_).substr(starts_[id], starts_[id + 1] - starts_[id]);
  };
  const quint32 count = quint32(starts_.size() - 1);
  if (2 * (count + 1) > slots_.size()) {  // at most half full, so that a probe ends soon
    std::vector<quint32> grown(std::max<std::size_t>(64, 2 * slots_.size()), 0);
    for (quint32 id = 0; id < count; ++id) {
      std::size_t at = hash(stored(id)) & (grown.size() - 1);
      while (grown[at]) at = (at + 1) & (grown.size() - 1);
      grown[at] = id + 1;
    }
    slots_.swap(grown);
  }
  std::size_t at = hash(wanted) & (slots_.size() - 1);
  for (; slots_[at]; at = (at + 1) & (slots_.size() - 1))
    if (stored(slots_[at] - 1) == wanted) return slots_[at] - 1;
  slots_[at] = count + 1;
  texts_ += wanted;
  starts_.push_back(quint32(texts_.size()));
  return count;
}

quint32 TableKeys::Ids(const QList<QString>& texts) {
  const quint32 first = quint32(ids_.size());
  for (const QString& t : texts) ids_.push_back(Id(t));
  return first;
}

QString TableKeys::Text(quint32 id) const {
  return QString::fromUtf16(texts_.data() + starts_[id], starts_[id + 1] - starts_[id]);
}

QList<QString> TableKeys::Texts(quint32 first, quint32 count) const {
  QList<QString> texts;
  texts.reserve(count);
  for (quint32 i = first; i < first + count; ++i) texts.append(Text(ids_[i]));
  return texts;
}

void TableKeys::Add(const TableObject& table) {
  Table t{};
  t.keys = quint32(keys_.size());
  QSet<QString> keyColumns;
  for (const ModelConstraint& c : table.constraints) {
    if (c.kind == ConstraintKind::Check) continue;
    const bool foreign = c.kind == ConstraintKind::Foreign;
    if (foreign)
      pending_.push_back({quint32(keys_.size()), Id(c.references.database),
                          Id(c.references.owner), Id(c.references.name)});
    keys_.push_back({quint8(c.kind), foreign ? Id(c.name) : 0, -1, Ids(c.columns),
                     quint32(c.columns.size()), Ids(c.referencedColumns),
                     quint32(c.referencedColumns.size())});
    keyColumns.unite(QSet<QString>(c.columns.cbegin(), c.columns.cend()));
  }
  t.keyCount = quint32(keys_.size()) - t.keys;
  // A foreign key references a primary or unique key, so these are all the columns a
  // drawing shows of the table.
  t.columns = quint32(ids_.size());
  for (const ModelColumn& c : table.columns)
    if (keyColumns.contains(c.name)) ids_.push_back(Id(c.name));
  t.columnCount = quint32(ids_.size()) - t.columns;
  tables_.push_back(t);
}

void TableKeys::Link(const QList<TableObject>& tables) {
  // Added last to first, so that the last table of a name is the one found.
  NameIndex<qint32> byName;
  for (qsizetype i = tables.size() - 1; i >= 0; --i) byName.Add(tables[i].key.FullName(), qint32(i));
  byName.Sort();
  const auto nameOf = [&tables](qint32 i) { return tables[i].key.FullName(); };
  for (const Pending& p : pending_) {
    const QString name = Text(p.database) + u'.' + Text(p.owner) + u'.' + Text(p.name);
    keys_[p.key].target = byName.Find(name, nameOf).value_or(-1);
  }
  std::vector<Pending>().swap(pending_);
  std::vector<quint32>().swap(slots_);

  // Each table's referencing keys, in the order of the referencing tables and their keys.
  for (const Key& k : keys_)
    if (k.kind == quint8(ConstraintKind::Foreign) && k.target >= 0) ++tables_[k.target].referencedByCount;
  quint32 at = 0;
  for (Table& t : tables_) {
    t.referencedBy = at;
    at += t.referencedByCount;
    t.referencedByCount = 0;
  }
  referencedBy_.resize(at);
  for (quint32 i = 0; i < tables_.size(); ++i) {
    for (quint32 k = tables_[i].keys; k < tables_[i].keys + tables_[i].keyCount; ++k) {
      if (keys_[k].kind != quint8(ConstraintKind::Foreign) || keys_[k].target < 0) continue;
      Table& target = tables_[keys_[k].target];
      referencedBy_[target.referencedBy + target.referencedByCount++] = {i, k};
    }
  }
  tables_.shrink_to_fit();
  keys_.shrink_to_fit();
  ids_.shrink_to_fit();
  texts_.shrink_to_fit();
  starts_.shrink_to_fit();
}

QList<ModelReference> TableKeys::ReferencedBy(const QList<TableObject>& tables,
                                              qsizetype i) const {
  const Table& t = tables_[i];
  QList<ModelReference> references;
  references.reserve(t.referencedByCount);
  for (quint32 r = t.referencedBy; r < t.referencedBy + t.referencedByCount; ++r) {
    const TableObject& from = tables[referencedBy_[r].table];
    const Key& k = keys_[referencedBy_[r].key];
    references.append({from.key, from.anchor, Text(k.name), Texts(k.columns, k.count)});
  }
  return references;
}

TableObject TableKeys::Shape(const QList<TableObject>& tables, qsizetype i) const {
  const TableObject& entry = tables[i];
  const Table& t = tables_[i];
  TableObject shape;
  shape.key = entry.key;
  shape.anchor = entry.anchor;
  shape.found = entry.found;
  for (const QString& name : Texts(t.columns, t.columnCount))
    shape.columns.append({name, {}, true, {}, {}});
  for (quint32 n = t.keys; n < t.keys + t.keyCount; ++n) {
    const Key& k = keys_[n];
    ModelConstraint c;
    c.kind = ConstraintKind(k.kind);
    c.columns = Texts(k.columns, k.count);
    c.referencedColumns = Texts(k.referencedColumns, k.referencedCount);
    if (c.kind == ConstraintKind::Foreign) c.name = Text(k.name);
    if (k.target >= 0) {
      c.references = tables[k.target].key;
      c.referencedAnchor = tables[k.target].anchor;
    }
    shape.constraints.append(c);
  }
  shape.referencedBy = ReferencedBy(tables, i);
  return shape;
}

void TableKeys::Complete(const QList<TableObject>& tables, qsizetype i, TableObject& full) const {
  full.referencedBy = ReferencedBy(tables, i);
  // The keys were added in the object's order, its checks left out.
  quint32 n = tables_[i].keys;
  for (ModelConstraint& c : full.constraints) {
    if (c.kind == ConstraintKind::Check) continue;
    const Key& k = keys_[n++];
    if (c.kind == ConstraintKind::Foreign && k.target >= 0)
      c.referencedAnchor = tables[k.target].anchor;
  }
}
