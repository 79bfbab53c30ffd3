#include "model/list_pages.h"

#include "model/document_model.h"

namespace {

const QList<ListEntry>& Entries(const DocumentModel& model, SectionKind kind) {
  return kind == SectionKind::Roles ? model.roles : model.sequences;
}

void Index(NameIndex<int>& index, const QList<ListEntry>& entries) {
  for (qsizetype i = 0; i < entries.size(); ++i) index.Add(entries[i].anchor, int(i));
  index.Sort();
}

}  // namespace

ListPages::ListPages(const DocumentModel& model, int rows) : model_(model), rows_(rows) {
  Index(sequences_, model.sequences);
  Index(roles_, model.roles);
}

int ListPages::Count(SectionKind kind) const {
  return int((Entries(model_, kind).size() + rows_ - 1) / rows_);
}

int ListPages::PageOf(SectionKind kind, const QString& anchor) const {
  const QList<ListEntry>& entries = Entries(model_, kind);
  const auto place = (kind == SectionKind::Roles ? roles_ : sequences_)
                         .Find(anchor, [&entries](int i) -> const QString& { return entries[i].anchor; });
  return place ? *place / rows_ : 0;
}
