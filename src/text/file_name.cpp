#include "text/file_name.h"

#include <QStringList>

namespace filename {
namespace {

constexpr char32_t kByteBase = 0xDC00;

bool IsByteCharacter(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// The length of the valid UTF-8 sequence at bytes[i] with its code point in *cp, or 0
// when none starts there. With `byteForms`, the three-byte forms of U+DC80..U+DCFF count
// as valid.
int Sequence(QByteArrayView bytes, qsizetype i, bool byteForms, char32_t* cp) {
  const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = at(i);
  if (lead < 0x80) {
    *cp = lead;
    return 1;
  }
  int length = 0;
  char32_t value = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;  // overlong
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() - i < length) return 0;
  for (int k = 1; k < length; ++k) {
    const unsigned char c = at(i + k);
    if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
    value = value << 6 | (c & 0x3F);
  }
  if (QChar::isSurrogate(value) && !(byteForms && IsByteCharacter(value))) return 0;
  *cp = value;
  return length;
}

void Append(QString& out, char32_t cp) {
  if (QChar::requiresSurrogates(cp)) {
    out.append(QChar(QChar::highSurrogate(cp)));
    out.append(QChar(QChar::lowSurrogate(cp)));
  } else {
    out.append(QChar(static_cast<char16_t>(cp)));
  }
}

// UTF-8 of the text; each lone surrogate is passed to `lone`, which appends its bytes.
template <typename Lone>
QByteArray Encode(QStringView text, Lone&& lone) {
  QByteArray out;
  out.reserve(text.size());
  qsizetype run = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (!c.isSurrogate()) continue;
    if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
      ++i;
      continue;
    }
    out.append(text.mid(run, i - run).toUtf8());
    lone(out, c.unicode());
    run = i + 1;
  }
  out.append(text.mid(run).toUtf8());
  return out;
}

const QByteArray kReplacement = QByteArrayLiteral("\xEF\xBF\xBD");

}  // namespace

QByteArray ToBytes(QStringView name) {
  return Encode(name, [](QByteArray& out, char16_t c) {
    if (IsByteCharacter(c))
      out.append(static_cast<char>(c - kByteBase));
    else
      out.append(kReplacement);
  });
}

QString FromBytes(QByteArrayView bytes) {
  QString out;
  out.reserve(bytes.size());
  for (qsizetype i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const int length = Sequence(bytes, i, false, &cp);
    if (length == 0) {
      Append(out, kByteBase + static_cast<unsigned char>(bytes[i]));
      ++i;
    } else {
      Append(out, cp);
      i += length;
    }
  }
  return out;
}

QStringList Arguments(int argc, char** argv) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args.append(FromBytes(QByteArrayView(argv[i])));
  return args;
}

QByteArray ToUtf8(QStringView text) {
  return Encode(text, [](QByteArray& out, char16_t c) {
    if (IsByteCharacter(c)) {
      out.append(static_cast<char>(0xE0 | c >> 12));
      out.append(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.append(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.append(kReplacement);
    }
  });
}

std::optional<QString> FromUtf8(QByteArrayView bytes) {
  QString out;
  out.reserve(bytes.size());
  for (qsizetype i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const int length = Sequence(bytes, i, true, &cp);
    if (length == 0) return std::nullopt;
    Append(out, cp);
    i += length;
  }
  return out;
}

}  // namespace filename
