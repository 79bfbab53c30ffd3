#include "docbuild/document.h"

#include "docbuild/html.h"

QString Grid::Cell(int column, int row) const {
  if (row < 0 || row >= rows_.size() || column < 0 || column >= columns_) return {};
  return rows_[row].value(column);
}

void Grid::SetCell(int column, int row, const QString& text) {
  if (row < 0 || row >= rows_.size() || column < 0) return;
  if (column >= columns_) SetColumnCount(column + 1);
  rows_[row][column] = text;
}

void Grid::SetColumnCount(int columns) {
  if (columns <= columns_) return;
  columns_ = columns;
  for (QStringList& row : rows_) {
    while (row.size() < columns_) row.append(QString());
  }
}

void Grid::AppendRow() {
  QStringList row;
  for (int c = 0; c < columns_; ++c) row.append(QString());
  rows_.append(row);
}

void Grid::Reset() {
  columns_ = 1;
  rows_ = {QStringList{QString()}};
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
  return text + QString(width - text.size(), u' ');
}

void ClearGrid(Grid& grid) { grid.Reset(); }

void WriteGridTable(Grid& grid, QStringList& buffer, const QList<int>& widths, bool headerRow,
                    bool htmlOutput) {
  const auto width = [&widths](int column) { return widths.value(column); };
  if (htmlOutput) buffer.append(QStringLiteral("<TABLE BORDER=0>"));
  for (int row = 0; row < grid.RowCount(); ++row) {
    if (htmlOutput) {
      buffer.append(QStringLiteral("<TR>"));
      for (int col = 0; col < grid.ColumnCount(); ++col) {
        const QString cell = EscapeHtml(grid.Cell(col, row));
        const QString w = QString::number(width(col));
        if (headerRow) {
          buffer.append("<TD width=" + w + " VALIGN=TOP bgcolor=\"#CCCCCC\"><B>" + cell +
                        "</B></TD>");
        } else {
          buffer.append("<TD width=" + w + " VALIGN=TOP>" + cell + "</TD>");
        }
      }
      headerRow = false;
      buffer.append(QStringLiteral("</TR>"));
    } else {
      QString line;
      for (int col = 0; col < grid.ColumnCount(); ++col) {
        line += PadText(grid.Cell(col, row), width(col));
      }
      buffer.append(line);
    }
  }
  if (htmlOutput) buffer.append(QStringLiteral("</TABLE>"));
  ClearGrid(grid);
}

void Document::Clear() {
  TempMemoHeader.clear();
  TempMemo.clear();
  ClearGrid(TempGrid);
}

QStringList Document::Lines() const { return TempMemoHeader + TempMemo; }
