#include "docbuild/document.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "docbuild/html.h"

const QString& Grid::Cell(int column, int row) const {
  static const QString empty;
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return empty;
  return cells_[row * columns_ + column];
}

void Grid::SetCell(int column, int row, const QString& text) {
  if (row < 0 || row >= rows_ || column < 0) return;
  if (column >= columns_) SetColumnCount(column + 1);
  cells_[row * columns_ + column] = text;
}

void Grid::SetColumnCount(int columns) {
  if (columns <= columns_) return;
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

void Grid::AppendRow() {
  cells_.resize(cells_.size() + columns_);
  ++rows_;
}

void Grid::Reset() {
  columns_ = 1;
  rows_ = 1;
  cells_.resize(1);
  cells_[0].clear();
}

void AddGridValue(Grid& grid, const QString& value, int column) {
  if (grid.ColumnCount() < column) grid.SetColumnCount(column);
  const int col = column - 1;
  const int last = grid.RowCount() - 1;
  bool newRow = !grid.Cell(col, last).isEmpty();
  for (int c = col + 1; !newRow && c < grid.ColumnCount(); ++c) {
    newRow = !grid.Cell(c, last).isEmpty();
  }
  if (newRow) grid.AppendRow();
  grid.SetCell(col, grid.RowCount() - 1, value);
}

void AppendGridValue(Grid& grid, const QString& text, int column) {
  if (grid.ColumnCount() < column) grid.SetColumnCount(column);
  const int last = grid.RowCount() - 1;
  grid.SetCell(column - 1, last, grid.Cell(column - 1, last) + text);
}

QString PadText(const QString& text, int width) {
  if (text.size() >= width) return text;
  QString padded = text;
  padded.resize(width, u' ');
  return padded;
}

void ClearGrid(Grid& grid) { grid.Reset(); }

namespace {

// Copies Latin-1 markup into a line under construction and returns the end.
QChar* WriteMarkup(QLatin1StringView markup, QChar* out) {
  for (const char c : markup) *out++ = QLatin1Char(c);
  return out;
}

// The opening of a cell line up to its text, and its end: the same for every cell of a
// column, so made once per column, on the stack, as the table writer runs for every table.
class CellMarkup {
 public:
  CellMarkup(int width, bool header) : header_(header) {
    digits_ = std::to_chars(std::begin(width_), std::end(width_), width).ptr - width_;
  }
  qsizetype Size() const { return kOpen.size() + digits_ + Rest().size() + Close().size(); }
  QChar* WriteOpen(QChar* out) const {
    out = WriteMarkup(kOpen, out);
    out = WriteMarkup(QLatin1StringView(width_, digits_), out);
    return WriteMarkup(Rest(), out);
  }
  QChar* WriteClose(QChar* out) const { return WriteMarkup(Close(), out); }

 private:
  static constexpr QLatin1StringView kOpen{"<TD width="};
  QLatin1StringView Rest() const {
    return header_ ? QLatin1StringView(" VALIGN=TOP bgcolor=\"#CCCCCC\"><B>")
                   : QLatin1StringView(" VALIGN=TOP>");
  }
  QLatin1StringView Close() const {
    return header_ ? QLatin1StringView("</B></TD>") : QLatin1StringView("</TD>");
  }
  bool header_;
  char width_[12];
  qsizetype digits_;
};

void WriteHtmlRows(const Grid& grid, QStringList& buffer, const QList<int>& widths,
                   bool headerRow) {
  buffer.append(QStringLiteral("<TABLE BORDER=0>"));
  for (int row = 0; row < grid.RowCount(); ++row) {
    const bool header = headerRow && row == 0;
    buffer.append(QStringLiteral("<TR>"));
    for (int col = 0; col < grid.ColumnCount(); ++col) {
      const QString& cell = grid.Cell(col, row);
      const CellMarkup markup(widths.value(col), header);
      QString line(markup.Size() + EscapedHtmlSize(cell), Qt::Uninitialized);
      QChar* at = markup.WriteOpen(line.data());
      at = WriteEscapedHtml(cell, at);
      markup.WriteClose(at);
      buffer.append(std::move(line));
    }
    buffer.append(QStringLiteral("</TR>"));
  }
  buffer.append(QStringLiteral("</TABLE>"));
}

// Each cell padded to its column's width (PadText), the row as one line.
void WriteTextRows(const Grid& grid, QStringList& buffer, const QList<int>& widths) {
  for (int row = 0; row < grid.RowCount(); ++row) {
    QString line;
    for (int col = 0; col < grid.ColumnCount(); ++col) {
      const qsizetype cellEnd = line.size() + widths.value(col);
      line.append(grid.Cell(col, row));
      if (line.size() < cellEnd) line.resize(cellEnd, u' ');
    }
    buffer.append(line);
  }
}

}  // namespace

void WriteGridTable(Grid& grid, QStringList& buffer, const QList<int>& widths, bool headerRow,
                    bool htmlOutput) {
  if (htmlOutput) {
    WriteHtmlRows(grid, buffer, widths, headerRow);
  } else {
    WriteTextRows(grid, buffer, widths);
  }
  ClearGrid(grid);
}

void Document::Clear() {
  TempMemoHeader.clear();
  TempMemo.clear();
  ClearGrid(TempGrid);
}

QStringList Document::Lines() const { return TempMemoHeader + TempMemo; }
