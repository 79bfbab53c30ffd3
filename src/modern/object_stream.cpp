#include "modern/object_stream.h"

ObjectStream::ObjectStream(bool searchWords) {
  if (searchWords) words_.emplace();
}

bool ObjectStream::Open(QString* error) {
  return spill_.Open(error) && (!words_ || words_->Open(error));
}

QString ObjectStream::Error() const {
  if (!spill_.Error().isEmpty()) return spill_.Error();
  return words_ ? words_->Error() : QString();
}

template <typename Object>
void ObjectStream::Keep(const Object& object) {
  spill_.Put(object);
  coverage_.Add(object);
  if (words_) words_->Add(object);
}

void ObjectStream::Take(const TableObject& table) { Keep(table); }
void ObjectStream::Take(const ViewObject& view) { Keep(view); }
void ObjectStream::Take(const UnitObject& unit) { Keep(unit); }
void ObjectStream::Take(const PackageObject& package) { Keep(package); }
void ObjectStream::Take(TriggerAnchors triggers) { triggers_ = std::move(triggers); }

namespace {

// Reads a kind back, the n-th object with the index's n-th entry, its dependencies linked.
template <typename Object>
void ReadBack(const ObjectSpill& spill, const DependencyAnchors& anchors,
              const QList<Object>& entries,
              const std::function<void(Object&, qsizetype)>& complete,
              const std::function<void(const Object&)>& each) {
  qsizetype at = 0;
  spill.ForEach(std::function<void(Object&)>([&](Object& object) {
    if (at >= entries.size() || entries[at].anchor != object.anchor)
      throw SpillFailure{QStringLiteral("the objects' temporary file does not match the document")};
    anchors.Link(object.dependencies);
    if (complete) complete(object, at);
    ++at;
    each(object);
  }));
}

}  // namespace

const DependencyAnchors& ObjectStream::Anchors(const DocumentModel& index) const {
  if (!anchors_) anchors_.emplace(index, triggers_);
  return *anchors_;
}

void ObjectStream::ForEach(const DocumentModel& index,
                           const std::function<void(const TableObject&)>& each) const {
  // The foreign keys' targets and the tables that reference this one are the index's.
  ReadBack<TableObject>(spill_, Anchors(index), index.tables,
                        [&index](TableObject& table, qsizetype at) {
                          index.tableKeys.Complete(index.tables, at, table);
                        },
                        each);
}

void ObjectStream::ForEach(const DocumentModel& index,
                           const std::function<void(const ViewObject&)>& each) const {
  ReadBack<ViewObject>(spill_, Anchors(index), index.views, {}, each);
}

void ObjectStream::ForEach(const DocumentModel& index,
                           const std::function<void(const UnitObject&)>& each) const {
  ReadBack<UnitObject>(spill_, Anchors(index), index.units, {}, each);
}

void ObjectStream::ForEach(const DocumentModel& index,
                           const std::function<void(const PackageObject&)>& each) const {
  ReadBack<PackageObject>(spill_, Anchors(index), index.packages, {}, each);
}
