#pragma once
// Where the web site lists the sequences and the roles: in document order on numbered pages
// of at most a few hundred rows each (sequences.html, sequences-2.html, ...; ListPageName),
// so that a schema's thousands of sequences open as quickly as an object's page. Every link
// to an entry asks here which page holds its row.

#include <QString>

#include "model/name_index.h"

struct DocumentModel;
enum class SectionKind;

class ListPages {
 public:
  // Rows per page. Opening a list in Chromium costs its renderer about 0.16 ms of CPU a row
  // beyond some 0.05 s for the page itself: 4,138 rows answered in 0.7 s on a quiet machine,
  // 250 in about 0.2 s, well within the 0.3 s an object's page may take.
  static constexpr int kRows = 250;

  // The pages of `model`'s lists, `rows` to a page; `model` must outlive it.
  explicit ListPages(const DocumentModel& model, int rows = kRows);

  int Rows() const { return rows_; }
  // How many pages the list of `kind` (sequences or roles) takes; none when it is empty.
  int Count(SectionKind kind) const;
  // The page (from 0) that holds the row of the entry `anchor` of `kind`; 0 when none does.
  int PageOf(SectionKind kind, const QString& anchor) const;

 private:
  const DocumentModel& model_;
  int rows_;
  NameIndex<int> sequences_;  // the places of model_.sequences by anchor
  NameIndex<int> roles_;
};
