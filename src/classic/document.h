#pragma once
// The document under construction: the header and body line buffers and the scratch grid
// through which every table is rendered, with the table writer.
//
// A build appends lines to TempMemoHeader (title block, "Content" heading, contents list)
// and TempMemo (the sections); the document is the header's lines followed by the body's.
// A piece of text may itself hold line breaks (a user's multi-line text, or a whole table
// row of HTML, its lines joined by CR LF); it is still one line of the buffer and goes out
// unchanged.

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// A table of strings addressed by zero-based column and row; between uses one empty cell.
class Grid {
 public:
  int ColumnCount() const { return columns_; }
  int RowCount() const { return rows_; }
  // An empty text outside the grid.
  const QString& Cell(int column, int row) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return kEmpty;
    return cells_[row * columns_ + column];
  }
  // Inline, like Cell: every value of every table of a document passes here.
  void SetCell(int column, int row, QString text) {
    if (row < 0 || row >= rows_ || column < 0) return;
    if (column >= columns_) SetColumnCount(column + 1);
    cells_[row * columns_ + column] = std::move(text);
  }
  void SetColumnCount(int columns);
  void AppendRow() {
    cells_.resize(cells_.size() + columns_);
    ++rows_;
  }
  void Reset();  // one column, one row, empty

 private:
  static inline const QString kEmpty;
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
// The text without the line end it carries (LF, CR LF or CR): a stored source line in a
// text document, which ends every line with CR LF itself.
QString WithoutLineEnd(const QString& text);
class DocumentFile;

struct Document {
  QStringList TempMemoHeader;
  QStringList TempMemo;
  Grid TempGrid;
  // Where a build's lines go. With a file, Flush hands it the lines held so far and empties
  // both buffers: the build flushes after each object, so it holds one object's lines, not
  // the document. Without one (tests), the buffers keep every line.
  DocumentFile* file = nullptr;
  // A build with a file makes its document in two passes: the header pass hands over the
  // header's lines and drops the body's, the body pass the other way round.
  bool headerPass = false;

  void Clear();
  void Flush();
};

// Renders the whole grid into the document's body (HTML table or padded text lines), then
// clears it. The first row is the header row (in HTML its own markup). Cell texts are
// escaped for HTML here. Each row is handed to the file as it is made: a table of
// every sequence of a project is held one row at a time, not whole.
void WriteGridTable(Grid& grid, Document& doc, const QList<int>& widths, bool htmlOutput);
