#include "docbuild/html.h"

#include <algorithm>

namespace {
// '"', '&', '<' and '>' all lie below 64: one comparison and a bit test per character.
constexpr quint64 kEscaped = (1ull << '"') | (1ull << '&') | (1ull << '<') | (1ull << '>');

bool NeedsEscape(QChar c) { return c.unicode() < 64 && (kEscaped >> c.unicode()) & 1; }


QLatin1StringView Entity(QChar c) {
  switch (c.unicode()) {
    case u'&': return QLatin1StringView("&amp;");
    case u'<': return QLatin1StringView("&lt;");
    case u'>': return QLatin1StringView("&gt;");
    default: return QLatin1StringView("&quot;");
  }
}
}  // namespace

qsizetype EscapedHtmlSize(QStringView text) {
  qsizetype size = text.size();
  for (const QChar c : text) {
    if (NeedsEscape(c)) size += Entity(c).size() - 1;
  }
  return size;
}

QChar* WriteEscapedHtml(QStringView text, QChar* out) {
  // Runs of plain characters are copied whole; most texts are one such run.
  const QChar* run = text.begin();
  for (const QChar* p = text.begin(); p != text.end(); ++p) {
    if (!NeedsEscape(*p)) continue;
    out = std::copy(run, p, out);
    for (const char e : Entity(*p)) *out++ = QLatin1Char(e);
    run = p + 1;
  }
  return std::copy(run, text.end(), out);
}

QString EscapeHtml(const QString& text) {
  const qsizetype size = EscapedHtmlSize(text);
  if (size == text.size()) return text;
  QString out(size, Qt::Uninitialized);
  WriteEscapedHtml(text, out.data());
  return out;
}

QString ParagraphText(const QString& text, bool htmlOutput) {
  if (!htmlOutput) return text;
  QString out = EscapeHtml(text);
  out.replace(u'\r', QLatin1String("</P><P>"));
  return out;
}
