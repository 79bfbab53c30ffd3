#include "docbuild/document_file.h"

#include <QtEndian>
#include <algorithm>
#include <utility>

#include "text/ansi.h"
#include "text/file_replacement.h"

namespace {

// Encodes lines into a byte buffer that is written out and reused piece by piece, so a
// large document never holds all its bytes at once.
class DocumentEncoder {
 public:
  DocumentEncoder(qsizetype capacity, bool htmlOutput) : html_(htmlOutput) {
    out_.resize(capacity);
    at_ = out_.data();
    end_ = at_ + out_.size();
  }

  qsizetype Size() const { return at_ - out_.constData(); }
  const char* Data() const { return out_.constData(); }
  void Restart() { at_ = out_.data(); }
  int Missing() const { return missing_; }

  void AppendLine(const QString& line) {
    Reserve(line.size() + 2);
    const auto* p = reinterpret_cast<const char16_t*>(line.constData());
    const qsizetype n = line.size();
    const qsizetype ascii = AppendAscii(p, n);
    if (ascii < n) AppendCodePage(p + ascii, p + n);
    *at_++ = '\r';
    *at_++ = '\n';
  }

 private:
  // Copies the leading characters below 0x80 (one byte each, the same in the code page),
  // eight at a time while they last: nearly every line is wholly such characters. Returns
  // how many it copied.
  qsizetype AppendAscii(const char16_t* p, qsizetype n) {
    constexpr quint64 kHighBits = 0xFF80FF80FF80FF80ull;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
      const quint64 low = qFromLittleEndian<quint64>(p + i);
      const quint64 high = qFromLittleEndian<quint64>(p + i + 4);
      if ((low | high) & kHighBits) break;
      qToLittleEndian(Narrow(low) | Narrow(high) << 32, at_ + i);
    }
    for (; i < n && p[i] < 0x80; ++i) at_[i] = static_cast<char>(p[i]);
    at_ += i;
    return i;
  }

  // Four characters below 0x100, as read from a line, to their four bytes.
  static quint64 Narrow(quint64 four) {
    four = (four | four >> 8) & 0x0000FFFF0000FFFFull;
    return (four | four >> 16) & 0xFFFFFFFFull;
  }

  void AppendCodePage(const char16_t* p, const char16_t* const stop) {
    for (; p != stop; ++p) {
      char32_t cp = *p;
      if (QChar::isHighSurrogate(cp) && p + 1 != stop && QChar::isLowSurrogate(p[1])) {
        cp = QChar::surrogateToUcs4(p[0], p[1]);
        ++p;
      }
      const int code = ansi::CodeOf(cp);
      if (code >= 0) {
        *at_++ = static_cast<char>(code);
      } else if (html_) {
        const QByteArray reference = "&#" + QByteArray::number(static_cast<uint>(cp)) + ';';
        Reserve(reference.size() + (stop - p) + 2);
        at_ = std::copy(reference.cbegin(), reference.cend(), at_);
      } else {
        *at_++ = '?';
        ++missing_;
      }
    }
  }

  void Reserve(qsizetype n) {
    if (end_ - at_ >= n) return;
    const qsizetype used = Size();
    out_.resize(std::max(out_.size() * 2, used + n));
    at_ = out_.data() + used;
    end_ = out_.data() + out_.size();
  }

  bool html_;
  QByteArray out_;
  char* at_;
  char* end_;
  int missing_ = 0;
};

}  // namespace

bool SaveDocument(const QString& path, QStringList header, QStringList body, bool htmlOutput,
                  int* replaced, QString* error) {
  constexpr qsizetype kPiece = 1 << 20;
  FileReplacement file(path);
  const bool begun = file.Begin();
  bool ok = begun;
  DocumentEncoder encoder(kPiece + 4096, htmlOutput);
  const auto flush = [&] {
    ok = ok && file.File().write(encoder.Data(), encoder.Size()) == encoder.Size();
    encoder.Restart();
  };
  for (QStringList* lines : {&header, &body}) {
    for (qsizetype i = 0; ok && i < lines->size(); ++i) {
      encoder.AppendLine(std::exchange((*lines)[i], QString()));
      if (encoder.Size() >= kPiece) flush();
    }
  }
  flush();
  // A failed write shows in Commit, which then leaves the old document as it was.
  if (begun && file.Commit() == FileReplacement::Outcome::New) {
    if (replaced) *replaced += encoder.Missing();
    return true;
  }
  if (error) *error = file.Error();
  return false;
}

bool SaveDocument(const QString& path, QStringList lines, bool htmlOutput, int* replaced,
                  QString* error) {
  return SaveDocument(path, std::move(lines), {}, htmlOutput, replaced, error);
}
