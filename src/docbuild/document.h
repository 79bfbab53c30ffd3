#pragma once
// The document under construction: the header and body line buffers and the scratch grid
// through which every table is rendered, with the table writer.
//
// A build appends lines to TempMemoHeader (title block, "Content" heading, contents list)
// and TempMemo (the sections); the document is the header's lines followed by the body's.
// A piece of text may itself hold line breaks (a user's multi-line text); it is still one
// line of the buffer and goes out unchanged.

#include <QList>
#include <QString>
#include <QStringList>

// HTML cell lines the table writer made lately, a few per column, kept from table to table:
// a value that recurs through a document (a column title, a type, a null flag, an empty
// description) then shares one line instead of each of its cells making its own.
class RecentCellLines {
 public:
  // The line kept for this text under this column's markup, or null.
  const QString* Find(int column, int width, bool header, const QString& text) const;
  void Keep(int column, int width, bool header, const QString& text, const QString& line);

 private:
  static constexpr int kPerColumn = 4;
  struct Entry {
    int width = -1;
    bool header = false;
    QString text, line;
  };
  struct Column {
    Entry entries[kPerColumn];
    int next = 0;  // the entry replaced next
  };
  QList<Column> columns_;
};

// A table of strings addressed by zero-based column and row; between uses one empty cell.
class Grid {
 public:
  int ColumnCount() const { return columns_; }
  int RowCount() const { return rows_; }
  const QString& Cell(int column, int row) const;
  void SetCell(int column, int row, QString text);
  void SetColumnCount(int columns);
  void AppendRow();
  void Reset();  // one column, one row, empty; the recent HTML lines are kept
  RecentCellLines& RecentHtmlLines() { return recentHtmlLines_; }

 private:
  RecentCellLines recentHtmlLines_;
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

  void Clear();
  void Flush();
};

// Renders the whole grid into the document's body (HTML table or padded text lines), then
// clears it. Only the first row is a header row, and only when `headerRow` is true. Cell
// texts are escaped for HTML here. Each row is handed to the file as it is made: a table of
// every sequence of a project is held one row at a time, not whole.
void WriteGridTable(Grid& grid, Document& doc, const QList<int>& widths, bool headerRow,
                    bool htmlOutput);
