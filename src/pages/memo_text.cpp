#include "pages/memo_text.h"

QString MemoToEditor(const QString& memo) {
  QString text = memo;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

QString EditorToMemo(const QString& editorText) {
  QString text = editorText;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\n', QStringLiteral("\r\n"));
  return text;
}
