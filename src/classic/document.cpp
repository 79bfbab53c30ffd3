#include "classic/document.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <iterator>
#include <utility>

#include "classic/document_file.h"
#include "classic/html.h"

void Grid::SetColumnCount(int columns) {
  if (columns <= columns_) return;
  if (rows_ == 1) {  // a single row widens where it stands
    cells_.resize(columns);
    columns_ = columns;
    return;
  }
  QStringList widened;
  widened.reserve(qsizetype(rows_) * columns);
  for (int row = 0; row < rows_; ++row) {
    for (int col = 0; col < columns; ++col) {
      widened.append(col < columns_ ? cells_[row * columns_ + col] : QString());
    }
  }
  cells_ = std::move(widened);
  columns_ = columns;
}

void Grid::Reset() {
  columns_ = 1;
  rows_ = 1;
  cells_.resize(1);
  cells_[0].clear();
}

void AddGridValue(Grid& grid, QString value, int column) {
  if (grid.ColumnCount() < column) grid.SetColumnCount(column);
  const int col = column - 1;
  const int last = grid.RowCount() - 1;
  bool newRow = !grid.Cell(col, last).isEmpty();
  for (int c = col + 1; !newRow && c < grid.ColumnCount(); ++c) {
    newRow = !grid.Cell(c, last).isEmpty();
  }
  if (newRow) grid.AppendRow();
  grid.SetCell(col, grid.RowCount() - 1, std::move(value));
}

void AppendGridValue(Grid& grid, const QString& text, int column) {
  if (grid.ColumnCount() < column) grid.SetColumnCount(column);
  const int last = grid.RowCount() - 1;
  grid.SetCell(column - 1, last, grid.Cell(column - 1, last) + text);
}

QString PadText(const QString& text, int width) {
  if (text.size() >= width) return text;
  QString padded(width, u' ');  // made at its final size: a type is padded in every row
  std::copy(text.begin(), text.end(), padded.data());
  return padded;
}

void ClearGrid(Grid& grid) { grid.Reset(); }

QString WithoutLineEnd(const QString& text) {
  qsizetype end = text.size();
  if (text.endsWith(u'\n')) --end;
  if (end > 0 && text[end - 1] == u'\r') --end;
  return text.left(end);
}

namespace {

// What stands before a cell's text (the line end and the cell's opening tag) and after it:
// the same for every cell of a column, so made once per column, on the stack, and copied
// whole into each row.
class CellMarkup {
 public:
  CellMarkup() = default;
  CellMarkup(int width, bool header) {
    static constexpr QStringView kOpen = u"\r\n<TD width=";
    static constexpr QStringView kHeaderRest = u" VALIGN=TOP bgcolor=\"#CCCCCC\"><B>";
    static constexpr QStringView kRest = u" VALIGN=TOP>";
    static constexpr QStringView kHeaderClose = u"</B></TD>";
    static constexpr QStringView kClose = u"</TD>";
    AppendOpen(kOpen);
    char digits[12];
    const char* const end = std::to_chars(std::begin(digits), std::end(digits), width).ptr;
    for (const char* d = digits; d != end; ++d) open_[openSize_++] = QLatin1Char(*d);
    AppendOpen(header ? kHeaderRest : kRest);
    close_ = header ? kHeaderClose : kClose;
  }
  qsizetype Size() const { return openSize_ + close_.size(); }
  QChar* WriteOpen(QChar* out) const { return std::copy_n(open_, openSize_, out); }
  QChar* WriteClose(QChar* out) const { return std::copy(close_.begin(), close_.end(), out); }

 private:
  void AppendOpen(QStringView markup) {
    openSize_ = std::copy(markup.begin(), markup.end(), open_ + openSize_) - open_;
  }
  QChar open_[64];
  qsizetype openSize_ = 0;
  QStringView close_;
};

// One piece of the body per row: "<TR>", a line per cell and "</TR>" joined by the line end,
// so a row costs one allocation, made at its final size, whatever its cell count.
void WriteHtmlRows(const Grid& grid, Document& doc, const QList<int>& widths) {
  static constexpr QStringView kRowOpen = u"<TR>";
  static constexpr QStringView kRowClose = u"\r\n</TR>";
  QStringList& buffer = doc.TempMemo;
  const int columns = grid.ColumnCount();
  QVarLengthArray<CellMarkup, 8> plain, header;
  for (int col = 0; col < columns; ++col) {
    plain.append(CellMarkup(widths.value(col), false));
    header.append(CellMarkup(widths.value(col), true));
  }
  buffer.append(QStringLiteral("<TABLE BORDER=0>"));
  for (int row = 0; row < grid.RowCount(); ++row) {
    const auto& markup = row == 0 ? header : plain;
    QVarLengthArray<qsizetype, 8> escapedSizes;
    qsizetype size = kRowOpen.size() + kRowClose.size();
    for (int col = 0; col < columns; ++col) {
      escapedSizes.append(EscapedHtmlSize(grid.Cell(col, row)));
      size += markup[col].Size() + escapedSizes[col];
    }
    QString line(size, Qt::Uninitialized);
    QChar* at = std::copy(kRowOpen.begin(), kRowOpen.end(), line.data());
    for (int col = 0; col < columns; ++col) {
      const QString& cell = grid.Cell(col, row);
      at = markup[col].WriteOpen(at);
      // Nearly every cell has nothing to escape and is copied whole.
      at = escapedSizes[col] == cell.size() ? std::copy(cell.begin(), cell.end(), at)
                                            : WriteEscapedHtml(cell, at);
      at = markup[col].WriteClose(at);
    }
    std::copy(kRowClose.begin(), kRowClose.end(), at);
    buffer.append(std::move(line));
    doc.Flush();
  }
  buffer.append(QStringLiteral("</TABLE>"));
}

// Calls f(line) for each line of a cell, split at CR LF, LF or CR.
template <typename F>
void ForEachLine(QStringView cell, F f) {
  const auto lineBreak = [](QChar c) { return c == u'\n' || c == u'\r'; };
  if (std::none_of(cell.begin(), cell.end(), lineBreak)) {  // nearly every cell, in one look
    f(cell);
    return;
  }
  qsizetype start = 0;
  for (qsizetype i = 0; i < cell.size(); ++i) {
    if (cell[i] != u'\n' && cell[i] != u'\r') continue;
    f(cell.sliced(start, i - start));
    if (cell[i] == u'\r' && i + 1 < cell.size() && cell[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  f(cell.sliced(start));
}

// Line k of a cell, counted from 0; empty past its last line.
QStringView CellLine(QStringView cell, qsizetype k) {
  QStringView found;
  qsizetype index = 0;
  ForEachLine(cell, [&](QStringView line) {
    if (index++ == k) found = line;
  });
  return found;
}

// The widths a text table is written with. A column whose text fills it, or runs past it,
// in some cell (a line of it) widens, in this table only, to its longest cell plus one
// blank, so no two cells touch and the next column still starts below its title. The text
// is measured without the blanks the queries pad names with: a 20-character key name padded
// to 20 fills its column, a 5-character one padded to 20 does not. The last column has no
// next one and keeps its width.
QList<int> TextWidths(const Grid& grid, const QList<int>& widths) {
  QList<int> out(grid.ColumnCount());
  for (int col = 0; col < grid.ColumnCount(); ++col) {
    const int width = widths.value(col);
    qsizetype longest = 0;      // with trailing blanks
    qsizetype longestText = 0;  // without them
    for (int row = 0; col + 1 < grid.ColumnCount() && row < grid.RowCount(); ++row) {
      ForEachLine(grid.Cell(col, row), [&](QStringView line) {
        longest = std::max(longest, line.size());
        qsizetype text = line.size();
        while (text > 0 && line[text - 1] == u' ') --text;
        longestText = std::max(longestText, text);
      });
    }
    const bool fills = longestText > 0 && longestText >= width;
    out[col] = longest > width || fills ? int(longest) + 1 : width;
  }
  return out;
}

// Each cell padded to its column's width (PadText), the row as one line. A cell of several
// lines continues on the next lines at its own column, the other columns blank there.
void WriteTextRows(const Grid& grid, Document& doc, const QList<int>& givenWidths) {
  QStringList& buffer = doc.TempMemo;
  const QList<int> widths = TextWidths(grid, givenWidths);
  for (int row = 0; row < grid.RowCount(); ++row) {
    qsizetype lineCount = 1;
    for (int col = 0; col < grid.ColumnCount(); ++col) {
      qsizetype lines = 0;
      ForEachLine(grid.Cell(col, row), [&lines](QStringView) { ++lines; });
      lineCount = std::max(lineCount, lines);
    }
    for (qsizetype k = 0; k < lineCount; ++k) {
      QVarLengthArray<QStringView, 8> texts;
      qsizetype size = 0;
      for (int col = 0; col < grid.ColumnCount(); ++col) {
        const QString& cell = grid.Cell(col, row);
        texts.append(lineCount == 1 ? QStringView(cell) : CellLine(cell, k));
        size += std::max<qsizetype>(texts[col].size(), widths[col]);
      }
      QString line(size, Qt::Uninitialized);  // made at its final size
      QChar* at = line.data();
      for (int col = 0; col < grid.ColumnCount(); ++col) {
        at = std::copy(texts[col].begin(), texts[col].end(), at);
        at = std::fill_n(at, std::max<qsizetype>(widths[col] - texts[col].size(), 0), u' ');
      }
      buffer.append(std::move(line));
    }
    doc.Flush();
  }
}

}  // namespace

void WriteGridTable(Grid& grid, Document& doc, const QList<int>& widths, bool htmlOutput) {
  if (htmlOutput) {
    WriteHtmlRows(grid, doc, widths);
  } else {
    WriteTextRows(grid, doc, widths);
  }
  ClearGrid(grid);
}

void Document::Clear() {
  TempMemoHeader.clear();
  TempMemo.clear();
  TempGrid = Grid();
}

void Document::Flush() {
  if (!file) return;
  (headerPass ? TempMemo : TempMemoHeader).clear();
  file->Append(headerPass ? TempMemoHeader : TempMemo);
}
