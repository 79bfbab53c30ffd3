#include "docbuild/html.h"

namespace {
// '"', '&', '<' and '>' all lie below 64: one comparison and a bit test per character.
constexpr quint64 kEscaped = (1ull << '"') | (1ull << '&') | (1ull << '<') | (1ull << '>');

bool NeedsEscape(QChar c) { return c.unicode() < 64 && (kEscaped >> c.unicode()) & 1; }
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
