#include "pages/memo_box.h"

#include <QTextDocument>

namespace {

const QString kTypedBreak = QStringLiteral("\r\n");

// The characters the editor's document takes as the end of a line: it keeps a paragraph
// separator for the first five and a line separator (Shift+Enter) for the last.
bool IsEditorBreak(QChar c) {
  switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case 0x2029:  // paragraph separator
    case 0xFDD0:  // beginning and end of a frame
    case 0xFDD1:
    case 0x2028:  // line separator
      return true;
    default:
      return false;
  }
}

qsizetype CountBreaks(const QString& text, qsizetype from, qsizetype to) {
  qsizetype n = 0;
  for (qsizetype i = from; i < to; ++i) n += IsEditorBreak(text[i]);
  return n;
}

}  // namespace

MemoBox::MemoBox(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  connect(document(), &QTextDocument::contentsChanged, this, &MemoBox::FollowContents);
}

void MemoBox::ShowText(const QString& text) {
  QStringList lines;
  breaks_.clear();
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!IsEditorBreak(text[i])) continue;
    lines.append(text.mid(start, i - start));
    const qsizetype length = text.mid(i, 2) == kTypedBreak ? 2 : 1;
    breaks_.append(text.mid(i, length));
    i += length - 1;
    start = i + 1;
  }
  lines.append(text.mid(start));
  filling_ = true;
  setPlainText(lines.join(u'\n'));
  filling_ = false;
  text_ = text;
  shown_ = document()->toRawText();
}

void MemoBox::FollowContents() {
  if (filling_) return;
  const QString now = document()->toRawText();
  if (now == shown_) return;
  // The part that changed lies between the longest common start and end of the contents
  // before and after; the line breaks outside it keep their form.
  const qsizetype oldSize = shown_.size();
  const qsizetype newSize = now.size();
  qsizetype head = 0;
  while (head < oldSize && head < newSize && shown_[head] == now[head]) ++head;
  qsizetype tail = 0;
  while (tail < oldSize - head && tail < newSize - head &&
         shown_[oldSize - 1 - tail] == now[newSize - 1 - tail])
    ++tail;
  const qsizetype before = CountBreaks(shown_, 0, head);
  breaks_.remove(before, CountBreaks(shown_, head, oldSize - tail));
  for (qsizetype n = CountBreaks(now, head, newSize - tail); n > 0; --n)
    breaks_.insert(before, kTypedBreak);

  QString text;
  text.reserve(newSize + breaks_.size());
  qsizetype next = 0;
  for (const QChar c : now) {
    if (IsEditorBreak(c))
      text += breaks_[next++];
    else
      text += c;
  }
  shown_ = now;
  text_ = text;
  emit TextEdited(text_);
}
