#include "docbuild/document.h"

#include <algorithm>

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

// The opening of a cell line up to its text, and its end: the same for every cell of a
// column, so made once per column.
struct CellMarkup {
  QString open;
  QString close;
};

CellMarkup HtmlCell(int width, bool header) {
  const QString w = QString::number(width);
  if (header) {
    return {QLatin1String("<TD width=") + w + QLatin1String(" VALIGN=TOP bgcolor=\"#CCCCCC\"><B>"),
            QStringLiteral("</B></TD>")};
  }
  return {QLatin1String("<TD width=") + w + QLatin1String(" VALIGN=TOP>"),
          QStringLiteral("</TD>")};
}

void WriteHtmlRows(const Grid& grid, QStringList& buffer, const QList<int>& widths,
                   bool headerRow) {
  QList<CellMarkup> header, plain;
  for (int col = 0; col < grid.ColumnCount(); ++col) {
    header.append(HtmlCell(widths.value(col), true));
    plain.append(HtmlCell(widths.value(col), false));
  }
  buffer.append(QStringLiteral("<TABLE BORDER=0>"));
  for (int row = 0; row < grid.RowCount(); ++row) {
    const QList<CellMarkup>& markup = headerRow ? header : plain;
    headerRow = false;
    buffer.append(QStringLiteral("<TR>"));
    for (int col = 0; col < grid.ColumnCount(); ++col) {
      const QString& cell = grid.Cell(col, row);
      const CellMarkup& m = markup[col];
      QString line(m.open.size() + EscapedHtmlSize(cell) + m.close.size(), Qt::Uninitialized);
      QChar* at = std::copy_n(m.open.constData(), m.open.size(), line.data());
      at = WriteEscapedHtml(cell, at);
      std::copy_n(m.close.constData(), m.close.size(), at);
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
