#include "pages/list_order.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "text/ansi.h"

namespace {

int CompareLines(const QString& upperA, const QString& a, const QString& upperB,
                 const QString& b) {
  if (const int c = upperA.compare(upperB); c != 0) return c;
  return a.compare(b);
}

}  // namespace

bool ListLineLess(const QString& a, const QString& b) {
  return CompareLines(ansi::UpperCase(a), a, ansi::UpperCase(b), b) < 0;
}

void SortListLines(QStringList& lines) {
  std::vector<QString> keys;
  keys.reserve(lines.size());
  for (const QString& line : lines) keys.push_back(ansi::UpperCase(line));
  // A dictionary that orders its rows already (table names) needs no sorting.
  bool inOrder = true;
  for (qsizetype i = 1; inOrder && i < lines.size(); ++i)
    inOrder = CompareLines(keys[i - 1], lines[i - 1], keys[i], lines[i]) <= 0;
  if (inOrder) return;
  std::vector<qsizetype> order(lines.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](qsizetype x, qsizetype y) {
    return CompareLines(keys[x], lines[x], keys[y], lines[y]) < 0;
  });
  QStringList sorted;
  sorted.reserve(lines.size());
  for (qsizetype i : order) sorted.append(lines[i]);
  lines.swap(sorted);
}
