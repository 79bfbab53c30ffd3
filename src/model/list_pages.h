#pragma once
// Where the web site lists the sequences and the roles: in document order on numbered pages
// of a few hundred rows each (sequences.html, sequences-2.html, ...; ListPageName), so that
// a schema's thousands of sequences open as quickly as an object's page. Every link to an
// entry asks here which page holds its row.

#include <QString>
#include <utility>
#include <vector>

#include "model/name_index.h"

struct DocumentModel;
enum class SectionKind;

class ListPages {
 public:
  // What a page holds: rows, each object a row links (what uses a sequence) counting as one
  // more, so that a sequence a thousand packages use does not share its page with hundreds
  // of rows; a row is never split, so one that links more is a page of its own. Opening a
  // list in Chromium costs its renderer about 0.16 ms of CPU a row beyond some 0.05 s for
  // the page itself: 4,138 rows answered in 0.7 s on a quiet machine, 250 should take about
  // 0.2 s, within the 0.3 s an object's page may take.
  static constexpr int kRows = 250;

  // The pages of `model`'s lists, `rows` to a page; `model` must outlive it.
  explicit ListPages(const DocumentModel& model, int rows = kRows);

  // How many pages the list of `kind` (sequences or roles) takes; none when it is empty.
  int Count(SectionKind kind) const;
  // The places in the list of `kind` of the first entry on page `page` (from 0) and of the
  // one after its last.
  std::pair<qsizetype, qsizetype> Entries(SectionKind kind, int page) const;
  // The page that holds the row of the entry `anchor` of `kind`; 0 when none does.
  int PageOf(SectionKind kind, const QString& anchor) const;

 private:
  struct List {
    NameIndex<int> places;    // the entries' places by anchor
    std::vector<int> starts;  // the place of each page's first entry, and the list's size
  };
  const List& Of(SectionKind kind) const;

  const DocumentModel& model_;
  List sequences_, roles_;
};
