#pragma once
// A multi-line box over one text of the project (the General text, an entry's description,
// a section text).
//
// The text it gives back is the text it was shown with only the user's edits applied. The
// editor itself cannot hold that text: its plain text turns a non-breaking space into a
// blank and every line break (CR LF, a lone CR, a lone LF) into LF. So the box keeps the
// text, remembers the form of each line break, and after each change of the editor's
// contents applies just the part that changed. A line break the user makes is CR LF, as
// the project file and the document keep lines.
//
// TextEdited follows every change the user makes, however it is made (typing, Delete,
// Backspace, paste, cut, drag and drop, undo and redo, input methods and dead keys), and
// never ShowText or a key that changes nothing.
//
// Tab and Shift+Tab move to the next and the previous field, as in every other field, so
// that the keyboard can leave the box: a tab typed into a text would reach the documents,
// where it is a blank of no set width.

#include <QPlainTextEdit>
#include <QStringList>

class MemoBox : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit MemoBox(QWidget* parent = nullptr);

  // The program fills the box: no TextEdited, and undo starts afresh.
  void ShowText(const QString& text);
  const QString& Text() const { return text_; }

 signals:
  void TextEdited(const QString& text);

 private:
  void FollowContents();

  QString text_;
  QStringList breaks_;  // the form of each line break of text_, in order
  QString shown_;       // the editor's raw contents as last seen
  bool filling_ = false;
};
