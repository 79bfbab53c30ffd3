#include "classic/html.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
  const char16_t* const p = text.utf16();
  const qsizetype n = text.size();
  qsizetype size = n;
  qsizetype i = 0;
  const auto count = [&](qsizetype end) {
    for (; i < end; ++i) {
      if (NeedsEscape(p[i])) size += Entity(p[i]).size() - 1;
    }
  };
#ifdef __SSE2__
  // Eight characters at a time where the processor can: most texts hold none of the four.
  for (; i + 8 <= n;) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(u'"')),
                     _mm_cmpeq_epi16(v, _mm_set1_epi16(u'&'))),
        _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(u'<')),
                     _mm_cmpeq_epi16(v, _mm_set1_epi16(u'>'))));
    if (_mm_movemask_epi8(hits) == 0) {
      i += 8;
    } else {
      count(i + 8);
    }
  }
#endif
  count(n);
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
