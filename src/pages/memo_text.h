#pragma once
// Multi-line texts of the project (General, descriptions, section texts) keep CR LF between
// their lines, as the project file and the document expect; the edit widgets work with LF.

#include <QString>

QString MemoToEditor(const QString& memo);
QString EditorToMemo(const QString& editorText);
