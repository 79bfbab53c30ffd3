#include "text/ansi.h"

#include <algorithm>
#include <array>

namespace ansi {
namespace {

// Code points of the bytes 0x80..0x9F; the undefined five map to the C1 control of the
// same value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t UpperOf(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  switch (c) {
    case 0x0161: return 0x0160;  // š
    case 0x0153: return 0x0152;  // œ
    case 0x017E: return 0x017D;  // ž
    case 0x00FF: return 0x0178;  // ÿ
    default: return c;
  }
}

}  // namespace

int CodeOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

char32_t CharOf(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) ? kHigh[byte - 0x80] : char32_t(byte);
}

QString Decode(QByteArrayView bytes) {
  QString out;
  out.reserve(bytes.size());
  for (char b : bytes) out.append(QChar(char16_t(CharOf(static_cast<unsigned char>(b)))));
  return out;
}

std::optional<QByteArray> Encode(QStringView text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int code = CodeOf(text[i].unicode());  // a surrogate has no code either
    if (code < 0) return std::nullopt;
    out[i] = static_cast<char>(code);
  }
  return out;
}

QString UpperCase(const QString& text) {
  if (text.isEmpty()) return text;
  QString out(text.size(), Qt::Uninitialized);  // written once, not copied and then changed
  std::transform(text.begin(), text.end(), out.begin(),
                 [](QChar c) { return QChar(UpperOf(c.unicode())); });
  return out;
}

bool SameText(const QString& a, const QString& b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

}  // namespace ansi
