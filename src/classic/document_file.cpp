#include "classic/document_file.h"

#include <algorithm>
#include <utility>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "text/ansi.h"

namespace {

// Bytes are handed to the file a piece at a time: few enough calls, little memory.
constexpr qsizetype kPiece = 64 << 10;

}  // namespace

// Encodes lines into a byte buffer that is written out and reused piece by piece, so a
// large document never holds all its bytes at once.
class DocumentEncoder {
 public:
  DocumentEncoder(qsizetype capacity, bool htmlOutput)
      : html_(htmlOutput), out_(capacity, Qt::Uninitialized) {
    at_ = out_.data();
    end_ = at_ + out_.size();
  }

  qsizetype Size() const { return at_ - out_.constData(); }
  const char* Bytes() const { return out_.constData(); }
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
  // sixteen at a time where the processor can, while they last: nearly every line is
  // wholly such characters. Returns how many it copied.
  qsizetype AppendAscii(const char16_t* p, qsizetype n) {
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 8));
      const __m128i high = _mm_and_si128(_mm_or_si128(a, b), nonAscii);
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, zero)) != 0xFFFF) break;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(at_ + i), _mm_packus_epi16(a, b));
    }
    if (i + 8 <= n) {  // and eight of what is left
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(a, nonAscii), zero)) == 0xFFFF) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(at_ + i), _mm_packus_epi16(a, a));
        i += 8;
      }
    }
#endif
    for (; i < n && p[i] < 0x80; ++i) at_[i] = static_cast<char>(p[i]);
    at_ += i;
    return i;
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

DocumentFile::DocumentFile(const QString& path, bool htmlOutput)
    : out_(path), encoder_(std::make_unique<DocumentEncoder>(kPiece + 4096, htmlOutput)) {
  begun_ = out_.Begin();
}

DocumentFile::~DocumentFile() = default;

void DocumentFile::Append(QStringList& lines) {
  for (QString& line : lines) {
    encoder_->AppendLine(std::exchange(line, QString()));
    if (encoder_->Size() >= kPiece) Flush();
  }
  lines.clear();
}

// A failed write shows in Commit, which then leaves the old document as it was.
void DocumentFile::Flush() {
  if (begun_) out_.File().write(encoder_->Bytes(), encoder_->Size());
  encoder_->Restart();
}

int DocumentFile::Replaced() const { return encoder_->Missing(); }

bool DocumentFile::Save(QString* error) {
  Flush();
  if (begun_ && out_.Commit() == FileReplacement::Outcome::New) return true;
  if (error) *error = out_.Error();
  return false;
}
