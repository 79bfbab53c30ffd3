#include "docbuild/document_file.h"

#include <QSaveFile>
#include <algorithm>

#include "text/ansi.h"

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
    if (IsAscii(p, n)) {
      // Most lines: one byte per character, in loops the compiler vectorises.
      for (qsizetype i = 0; i < n; ++i) at_[i] = static_cast<char>(p[i]);
      at_ += n;
    } else {
      AppendCodePage(p, p + n);
    }
    *at_++ = '\r';
    *at_++ = '\n';
  }

 private:
  static bool IsAscii(const char16_t* p, qsizetype n) {
    char16_t bits = 0;
    for (qsizetype i = 0; i < n; ++i) bits |= p[i];
    return bits < 0x80;
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

bool SaveDocument(const QString& path, const QStringList& lines, bool htmlOutput,
                  int* replaced, QString* error) {
  constexpr qsizetype kPiece = 1 << 20;
  QSaveFile f(path);
  bool ok = f.open(QIODevice::WriteOnly);
  DocumentEncoder encoder(kPiece + 4096, htmlOutput);
  const auto flush = [&] {
    ok = ok && f.write(encoder.Data(), encoder.Size()) == encoder.Size();
    encoder.Restart();
  };
  for (qsizetype i = 0; ok && i < lines.size(); ++i) {
    encoder.AppendLine(lines[i]);
    if (encoder.Size() >= kPiece) flush();
  }
  flush();
  if (!ok || !f.commit()) {
    if (error) *error = f.errorString();
    return false;
  }
  if (replaced) *replaced += encoder.Missing();
  return true;
}
