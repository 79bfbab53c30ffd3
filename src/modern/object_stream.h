#pragma once
// The objects of a streamed modern build. The model keeps only each object's index
// (document_model_builder.h); the object itself goes, as the dictionary gives it, to a
// temporary file, its coverage counted and, for the web site, its words taken for the
// search index. Rendered, each comes back one at a time, completed from the index with
// what only the whole document knows, so a large document is never held at once.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "coverage/coverage.h"
#include "model/document_model_builder.h"
#include "model/object_spill.h"
#include "model/what_uses_what.h"
#include "modern/search_index.h"

class ObjectStream : public ObjectSink {
 public:
  // With `searchWords`, each object's words are kept for TakeSearchIndexScript, in a
  // temporary file of their own.
  explicit ObjectStream(bool searchWords);

  // Creates the temporary files (the objects', the search words'); false with the reason.
  bool Open(QString* error);
  void Take(const TableObject& table) override;
  void Take(const ViewObject& view) override;
  void Take(const UnitObject& unit) override;
  void Take(const PackageObject& package) override;
  void Take(TriggerAnchors triggers) override;
  // Why a temporary file could not be written; empty when it could.
  QString Error() const;

  // Once the model `index` is complete: the coverage of the objects taken, the search
  // index of their words, and each object of a kind in document order with the anchors of
  // the objects it links to. Reading the file back may throw SpillFailure.
  CoverageReport Coverage(const DocumentModel& index) const { return coverage_.Report(index); }
  // Taken once, a piece at a time: the stream keeps no copy.
  void TakeSearchIndexScript(const std::function<bool(std::string_view piece)>& write) const {
    if (words_) words_->TakeScript(write);
  }
  void ForEach(const DocumentModel& index,
               const std::function<void(const TableObject&)>& each) const;
  void ForEach(const DocumentModel& index,
               const std::function<void(const ViewObject&)>& each) const;
  void ForEach(const DocumentModel& index,
               const std::function<void(const UnitObject&)>& each) const;
  void ForEach(const DocumentModel& index,
               const std::function<void(const PackageObject&)>& each) const;

 private:
  template <typename Object>
  void Keep(const Object& object);

  // The anchors of what the objects use and are used by, made from the complete index
  // when the first object is read back.
  const DependencyAnchors& Anchors(const DocumentModel& index) const;

  ObjectSpill spill_;
  TriggerAnchors triggers_;  // of the tables and views, which anchors_ finds
  mutable std::optional<DependencyAnchors> anchors_;
  CoverageCount coverage_;
  mutable std::optional<SearchIndex> words_;
};
