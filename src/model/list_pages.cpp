#include "model/list_pages.h"

#include <algorithm>

#include "model/document_model.h"

namespace {

const QList<ListEntry>& EntriesOf(const DocumentModel& model, SectionKind kind) {
  return kind == SectionKind::Roles ? model.roles : model.sequences;
}

}  // namespace

ListPages::ListPages(const DocumentModel& model, int rows) : model_(model) {
  for (SectionKind kind : {SectionKind::Sequences, SectionKind::Roles}) {
    const QList<ListEntry>& entries = EntriesOf(model, kind);
    List& list = kind == SectionKind::Roles ? roles_ : sequences_;
    qsizetype held = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
      const ModelDependencies& d = entries[i].dependencies;
      const qsizetype weight = 1 + d.uses.size() + d.usedBy.size();
      if (list.starts.empty() || held + weight > rows) {
        list.starts.push_back(int(i));
        held = 0;
      }
      held += weight;
      list.places.Add(entries[i].anchor, int(i));
    }
    list.places.Sort();
    list.starts.push_back(int(entries.size()));
  }
}

const ListPages::List& ListPages::Of(SectionKind kind) const {
  return kind == SectionKind::Roles ? roles_ : sequences_;
}

int ListPages::Count(SectionKind kind) const { return int(Of(kind).starts.size()) - 1; }

std::pair<qsizetype, qsizetype> ListPages::Entries(SectionKind kind, int page) const {
  const std::vector<int>& starts = Of(kind).starts;
  return {starts[page], starts[page + 1]};
}

int ListPages::PageOf(SectionKind kind, const QString& anchor) const {
  const List& list = Of(kind);
  const QList<ListEntry>& entries = EntriesOf(model_, kind);
  const auto place =
      list.places.Find(anchor, [&entries](int i) -> const QString& { return entries[i].anchor; });
  if (!place) return 0;
  return int(std::upper_bound(list.starts.begin(), list.starts.end(), *place) -
             list.starts.begin()) - 1;
}
