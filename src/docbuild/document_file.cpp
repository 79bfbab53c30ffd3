#include "docbuild/document_file.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <utility>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "text/ansi.h"
#include "text/file_replacement.h"

namespace {

// Bytes are handed to the files a piece at a time: few enough calls, little memory.
constexpr qsizetype kPiece = 64 << 10;

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

// Copies the whole of `from` to the end of `to`; false when `from` cannot be read (a
// failed write is for `to` to report).
bool Copy(QIODevice& from, QIODevice& to) {
  if (!from.seek(0)) return false;
  QByteArray piece(kPiece, Qt::Uninitialized);
  for (;;) {
    const qint64 n = from.read(piece.data(), piece.size());
    if (n <= 0) return n == 0;
    to.write(piece.constData(), n);
  }
}

// A temporary file written straight through, so that a failed write says why at once.
class UnbufferedTemporaryFile : public QTemporaryFile {
 public:
  bool Open() { return open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
};

}  // namespace

// One part of the document (header or body): its lines encoded into a temporary file.
class DocumentFile::Part {
 public:
  Part(const QString& path, const char* part, bool htmlOutput)
      : encoder_(kPiece + 4096, htmlOutput) {
    const QFileInfo output(path);
    file_.setFileTemplate(output.absolutePath() + "/." + output.fileName() + '.' + part +
                          QStringLiteral(".XXXXXX"));
    if (!file_.Open()) {
      file_.setFileTemplate(QDir::tempPath() + "/vellumar-" + part + QStringLiteral(".XXXXXX"));
      if (!file_.Open()) error_ = file_.errorString();
    }
  }

  void Append(QStringList& lines) {
    for (QString& line : lines) {
      encoder_.AppendLine(std::exchange(line, QString()));
      if (encoder_.Size() >= kPiece) Flush();
    }
    lines.clear();
  }

  // Every byte so far is in the file; false with the reason in *error when one is not.
  bool Written(QString* error) {
    Flush();
    if (!error_.isEmpty() && error) *error = error_;
    return error_.isEmpty();
  }

  QIODevice& File() { return file_; }
  int Missing() const { return encoder_.Missing(); }

 private:
  // A short write is tried again: only a write that puts nothing says why.
  void Flush() {
    for (qsizetype done = 0; error_.isEmpty() && done < encoder_.Size();) {
      const qint64 put = file_.write(encoder_.Data() + done, encoder_.Size() - done);
      if (put <= 0) error_ = file_.errorString();
      done += put;
    }
    encoder_.Restart();
  }

  DocumentEncoder encoder_;
  UnbufferedTemporaryFile file_;
  QString error_;
};

DocumentFile::DocumentFile(const QString& path, bool htmlOutput)
    : path_(path),
      header_(std::make_unique<Part>(path, "header", htmlOutput)),
      body_(std::make_unique<Part>(path, "body", htmlOutput)) {}

DocumentFile::~DocumentFile() = default;

void DocumentFile::AppendHeader(QStringList& lines) { header_->Append(lines); }

void DocumentFile::AppendBody(QStringList& lines) { body_->Append(lines); }

int DocumentFile::Replaced() const { return header_->Missing() + body_->Missing(); }

bool DocumentFile::Save(QString* error) {
  if (!header_->Written(error) || !body_->Written(error)) return false;
  FileReplacement out(path_);
  if (out.Begin()) {
    if (!Copy(header_->File(), out.File()) || !Copy(body_->File(), out.File())) {
      if (error) *error = header_->File().errorString() + body_->File().errorString();
      return false;  // the replacement is abandoned: the old file stays
    }
    // A failed write shows in Commit, which then leaves the old document as it was.
    if (out.Commit() == FileReplacement::Outcome::New) return true;
  }
  if (error) *error = out.Error();
  return false;
}
