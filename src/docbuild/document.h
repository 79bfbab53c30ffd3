#pragma once
// The document under construction: the header and body line buffers and the scratch grid
// through which every table is rendered, with the table writer.
//
// A build appends lines to TempMemoHeader (title block, "Content" heading, contents list)
// and TempMemo (the sections); at the end the body follows the header and the whole is
// saved, every line followed by CR LF. A piece of text may itself hold line breaks (a
// user's multi-line text); it is still one line of the buffer and goes out unchanged.

#include <QList>
#include <QString>
#include <QStringList>

// A table of strings addressed by zero-based column and row; between uses one empty cell.
class Grid {
 public:
  int ColumnCount() const { return columns_; }
  int RowCount() const { return rows_; }
  const QString& Cell(int column, int row) const;
  void SetCell(int column, int row, QString text);
  void SetColumnCount(int columns);
  void AppendRow();
  void Reset();  // one column, one row, empty

 private:
  int columns_ = 1;
  int rows_ = 1;
  QStringList cells_{QString()};  // row by row, columns_ cells each
};

// Puts a value into the last row's column (counted from 1), or opens a new row when that
// cell or any cell to its right is already filled.
void AddGridValue(Grid& grid, QString value, int column);
// Appends text to the last row's cell of that column; never opens a row.
void AppendGridValue(Grid& grid, const QString& text, int column);
// The text followed by blanks up to `width` characters; a longer text is returned whole.
QString PadText(const QString& text, int width);
void ClearGrid(Grid& grid);
// Renders the whole grid into `buffer` (HTML table or padded text lines), then clears it.
// Only the first row is a header row, and only when `headerRow` is true. Cell texts are
// escaped for HTML here.
void WriteGridTable(Grid& grid, QStringList& buffer, const QList<int>& widths, bool headerRow,
                    bool htmlOutput);

struct Document {
  QStringList TempMemoHeader;
  QStringList TempMemo;
  Grid TempGrid;

  void Clear();
  // Header lines followed by body lines.
  QStringList Lines() const;
};
