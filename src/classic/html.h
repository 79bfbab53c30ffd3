#pragma once
// HTML escaping, in one place for every writer: "&", "<", ">" and '"' in any text that is
// not our own markup (names, descriptions, dictionary values, view text, comment text)
// become entities, so such text can never break or script the document. Text without those
// characters is returned unchanged, so such documents keep their exact bytes.

#include <QString>

QString EscapeHtml(const QString& text);

// The same escaping written straight into a line under construction (the table writer's
// cells): the length the escaped text takes, and the writing, which returns the end.
qsizetype EscapedHtmlSize(QStringView text);
QChar* WriteEscapedHtml(QStringView text, QChar* out);

// The text for an HTML or a text document: escaped for HTML, unchanged for text.
inline QString DocText(const QString& text, bool htmlOutput) {
  return htmlOutput ? EscapeHtml(text) : text;
}

// A user's multi-line text as one paragraph piece: for HTML escaped, with every carriage
// return replaced by "</P><P>" (the line feeds stay); for text unchanged.
QString ParagraphText(const QString& text, bool htmlOutput);
