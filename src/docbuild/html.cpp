#include "docbuild/html.h"

namespace {
bool NeedsEscape(QChar c) {
  return c == u'&' || c == u'<' || c == u'>' || c == u'"';
}
}  // namespace

QString EscapeHtml(const QString& text) {
  qsizetype first = 0;
  while (first < text.size() && !NeedsEscape(text[first])) ++first;
  if (first == text.size()) return text;

  QString out = text.left(first);
  out.reserve(text.size() + 16);
  for (qsizetype i = first; i < text.size(); ++i) {
    const QChar c = text[i];
    switch (c.unicode()) {
      case u'&': out += QLatin1String("&amp;"); break;
      case u'<': out += QLatin1String("&lt;"); break;
      case u'>': out += QLatin1String("&gt;"); break;
      case u'"': out += QLatin1String("&quot;"); break;
      default: out += c;
    }
  }
  return out;
}

QString ParagraphText(const QString& text, bool htmlOutput) {
  if (!htmlOutput) return text;
  QString out = EscapeHtml(text);
  out.replace(u'\r', QLatin1String("</P><P>"));
  return out;
}
