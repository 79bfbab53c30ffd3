#include "project/project_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <algorithm>
#include <array>
#include <cstring>

#include "project/file_times.h"
#include "text/ansi.h"
#include "text/file_replacement.h"
#include "text/input_file.h"

namespace {

// A ";" typed into a field would cut it when the row is read back, so inside a field it is
// written as kEscape followed by kEscapedSemicolon, and a kEscape of the text itself as
// kEscape followed by kEscapedEscape. Files of earlier versions never hold this control
// character; a kEscape followed by anything else is read as it stands.
constexpr char16_t kEscape = 0x1F;
constexpr char16_t kEscapedSemicolon = u's';
constexpr char16_t kEscapedEscape = u'e';
constexpr int kFieldCount = 5;

// The file's code for a character: its Windows-1252 byte, or its Unicode code point when
// the code page has none. `marked` is set for the code points 0x80..0x9F that the code page
// lacks: written plainly they would read back as the code page's character of that byte,
// so they are written with a leading zero, which the writer never puts on a byte.
int CodeFor(char32_t cp, bool* marked) {
  const int code = ansi::CodeOf(cp);
  *marked = code < 0 && cp <= 0xFF;
  return code < 0 ? static_cast<int>(cp) : code;
}

// Iterates the code points of a text; a lone surrogate is taken as it stands.
template <typename F>
void ForEachCodePoint(QStringView text, F&& f) {
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    char32_t cp = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
      cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    f(cp);
  }
}

// Writes a length digit and the decimal of n (with a leading zero when marked) at out;
// returns the number of bytes written.
int EncodeNumber(int n, bool marked, char* out) {
  const bool negative = n < 0;
  if (negative) n = -n;
  char digits[12];
  int len = 0;
  do {
    digits[len++] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n > 0);
  if (marked) digits[len++] = '0';
  if (negative) digits[len++] = '-';
  out[0] = static_cast<char>('0' + len);
  for (int i = 1; i <= len; ++i) out[i] = digits[len - i];
  return len + 1;
}

// The encodings of the 256 byte codes under each shift, made once: nearly every character
// of a project is one of them.
struct EncodedByte {
  char bytes[4];
  int size;
};
using EncodedByteTable = std::array<std::array<EncodedByte, 256>, 4>;

const EncodedByteTable& EncodedBytes() {
  static const EncodedByteTable table = [] {
    EncodedByteTable t{};
    for (int shift = 0; shift < 4; ++shift)
      for (int code = 0; code < 256; ++code) {
        char buf[12];
        EncodedByte& e = t[shift][code];
        e.size = EncodeNumber(code - shift, false, buf);
        std::memcpy(e.bytes, buf, e.size);
      }
    return t;
  }();
  return table;
}

// Builds encoded lines in a byte buffer. Room is made once per text (at most ten bytes per
// character: a length digit and nine digits) and the digits go in through a pointer, so a
// large project costs time in proportion to its size. Without a sink the lines collect in
// memory (Take); with one they go to it in blocks, so the buffer stays small and hot.
class LineWriter {
 public:
  explicit LineWriter(QIODevice* sink = nullptr) : sink_(sink) {}

  void Text(QStringView text, int shift) {
    Reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp) { Code(cp, shift); });
  }

  // A field of a row: ";" and the escape character become two-character escapes, and the
  // field ends with ";".
  void Field(QStringView text, int shift) {
    Reserve(2 * text.size() + 1);
    ForEachCodePoint(text, [&](char32_t cp) {
      if (cp == u';' || cp == kEscape) {
        Code(kEscape, shift);
        Code(cp == u';' ? kEscapedSemicolon : kEscapedEscape, shift);
      } else {
        Code(cp, shift);
      }
    });
    Code(u';', shift);
  }

  void EndLine() {
    Reserve(0);
    *end_++ = '\r';
    *end_++ = '\n';
    if (sink_ && Used() >= kBlockSize) Flush();
  }

  // With a sink: writes what is left (the sink keeps any write error).
  void Finish() {
    if (sink_) Flush();
  }

  QByteArray Take() {
    out_.truncate(Used());
    end_ = nullptr;
    return std::move(out_);
  }

 private:
  static constexpr qsizetype kBlockSize = 1 << 20;

  qsizetype Used() const { return end_ ? end_ - out_.constData() : 0; }

  void Flush() {
    const qsizetype used = Used();
    if (ok_ && used > 0 && sink_->write(out_.constData(), used) != used) ok_ = false;
    end_ = out_.data();
  }

  void Reserve(qsizetype chars) {
    const qsizetype used = Used();
    const qsizetype needed = used + chars * 10 + 2;
    if (needed > out_.size()) out_.resize(std::max({needed, out_.size() * 2, out_.capacity()}));
    end_ = out_.data() + used;
  }

  void Code(char32_t cp, int shift) {
    const bool byteOfTable = cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF);
    if (byteOfTable && static_cast<unsigned>(shift) < EncodedBytes().size()) {
      const EncodedByte& e = EncodedBytes()[shift][cp];
      std::memcpy(end_, e.bytes, sizeof e.bytes);
      end_ += e.size;
      return;
    }
    bool marked = false;
    const int code = CodeFor(cp, &marked);
    end_ += EncodeNumber(code - shift, marked, end_);
  }

  QIODevice* sink_;
  bool ok_ = true;
  QByteArray out_;
  char* end_ = nullptr;
};

struct ByteUnits {
  QByteArrayView bytes;
  qsizetype size() const { return bytes.size(); }
  char32_t operator[](qsizetype i) const { return static_cast<unsigned char>(bytes[i]); }
};

struct CharUnits {
  QStringView text;
  qsizetype size() const { return text.size(); }
  char32_t operator[](qsizetype i) const { return text[i].unicode(); }
};

// Decodes one line of the file. Works on any sequence of 16- or 8-bit units so that the
// reader can decode the file's bytes without making a QString of every line first.
template <typename View>
bool DecodeInto(const View& line, int shift, QString& out) {
  const qsizetype n = line.size();
  // Every character takes at least two units of the line, and only a code point above
  // 0xFFFF (six units or more) needs two QChars: n / 2 + 1 is always room enough.
  const qsizetype start = out.size();
  out.resize(start + n / 2 + 1);
  QChar* const begin = out.data();
  QChar* dst = begin + start;
  qsizetype i = 0;
  while (i < n) {
    const auto lenChar = line[i];
    if (lenChar < u'1' || lenChar > u'9') return false;
    const int len = static_cast<int>(lenChar - u'0');
    if (n - i - 1 < len) return false;
    qsizetype p = i + 1;
    const qsizetype end = p + len;
    bool negative = false;
    if (line[p] == u'-') {
      negative = true;
      ++p;
    }
    if (p == end) return false;
    const bool leadingZero = line[p] == u'0' && end - p > 1;
    qint64 value = 0;
    for (; p < end; ++p) {
      const auto c = line[p];
      if (c < u'0' || c > u'9') return false;
      value = value * 10 + (c - u'0');
    }
    if (negative) value = -value;
    const qint64 code = value + shift;
    if (leadingZero || code > 0xFF) {
      if (code < 0 || code > 0x10FFFF) return false;
      const auto cp = static_cast<char32_t>(code);
      if (QChar::requiresSurrogates(cp)) {
        *dst++ = QChar::highSurrogate(cp);
        *dst++ = QChar::lowSurrogate(cp);
      } else {
        *dst++ = QChar(static_cast<char16_t>(cp));
      }
    } else {
      if (code < 0) return false;
      *dst++ = code < 0x80 ? QChar(char16_t(code))
                           : QChar(char16_t(ansi::CharOf(static_cast<unsigned char>(code))));
    }
    i = end;
  }
  out.truncate(dst - begin);
  return true;
}

// Reads the file's lines block by block, so memory stays small however long the file is,
// and a file that is no project fails at its first line instead of being loaded whole.
// Past the end every line is empty.
class LineReader {
 public:
  explicit LineReader(QIODevice& in) : in_(in) {}

  // The next line without its line end. False when the file cannot be read, or when a line
  // longer than a block holds a byte that no encoded line has (a file of another kind,
  // which then fails without being read whole).
  bool Next(QByteArrayView& line) {
    qsizetype scanned = pos_;
    for (;;) {
      const qsizetype nl = buffer_.indexOf('\n', scanned);
      if (scanned - pos_ >= kBlockSize && !OnlyLineBytes(scanned, nl < 0 ? buffer_.size() : nl))
        return false;
      if (nl >= 0) return Take(nl, nl + 1, line);
      if (atEnd_) return Take(buffer_.size(), buffer_.size(), line);
      buffer_.remove(0, pos_);
      scanned = buffer_.size();
      pos_ = 0;
      if (!Fill()) return false;
    }
  }

  // True when nothing but empty lines is left.
  bool OnlyEmptyLinesLeft() {
    QByteArrayView line;
    do {
      if (!Next(line) || !line.isEmpty()) return false;
    } while (!atEnd_ || pos_ < buffer_.size());
    return true;
  }

 private:
  static constexpr qsizetype kBlockSize = 1 << 20;

  bool Take(qsizetype end, qsizetype next, QByteArrayView& line) {
    const qsizetype start = pos_;
    pos_ = next;
    if (end > start && buffer_[end - 1] == '\r') --end;
    line = QByteArrayView(buffer_.constData() + start, end - start);
    return true;
  }

  bool Fill() {
    const qsizetype old = buffer_.size();
    // Grows by doubling, so a line of many blocks is not copied once per block.
    if (buffer_.capacity() < old + kBlockSize)
      buffer_.reserve(std::max(2 * buffer_.capacity(), old + kBlockSize));
    buffer_.resize(old + kBlockSize);
    const qint64 got = in_.read(buffer_.data() + old, kBlockSize);
    buffer_.resize(old + std::max<qint64>(got, 0));
    if (got <= 0) atEnd_ = true;
    return got >= 0;
  }

  bool OnlyLineBytes(qsizetype from, qsizetype to) const {
    return std::all_of(buffer_.cbegin() + from, buffer_.cbegin() + to,
                       [](char c) { return (c >= '0' && c <= '9') || c == '-' || c == '\r'; });
  }

  QIODevice& in_;
  QByteArray buffer_;
  qsizetype pos_ = 0;
  bool atEnd_ = false;
};

bool ReadText(LineReader& lines, int shift, QString& out) {
  out.clear();
  QByteArrayView line;
  return lines.Next(line) && DecodeInto(ByteUnits{line}, shift, out);
}

// A count is plain decimal digits; a sign, blanks or an empty line mean a damaged file.
bool ReadCount(LineReader& lines, int shift, qsizetype& count) {
  QString text;
  if (!ReadText(lines, shift, text) || text.isEmpty() || text.size() > 9) return false;
  count = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return false;
    count = count * 10 + (c.unicode() - u'0');
  }
  return true;
}

QString UnescapeField(QStringView field) {
  if (!field.contains(QChar(kEscape))) return field.toString();
  QString out;
  out.reserve(field.size());
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] == kEscape && i + 1 < field.size()) {
      if (field[i + 1] == kEscapedSemicolon) {
        out.append(u';');
        ++i;
        continue;
      }
      if (field[i + 1] == kEscapedEscape) {
        out.append(QChar(kEscape));
        ++i;
        continue;
      }
    }
    out.append(field[i]);
  }
  return out;
}

// A row is five fields, each followed by ";". A row with more was written before a ";" in
// a field had its escape, where a ";" typed into a description split it: its description
// is the rest of the row up to the final ";". Fewer fields, or no final ";", is damage.
// A row under the previous row's connection is given that one.
bool ReadRow(LineReader& lines, int shift, const Connection& previous, ObjectEntry& entry) {
  QString text;
  if (!ReadText(lines, shift, text) || !text.endsWith(u';')) return false;
  if (text.count(u';') < kFieldCount) return false;
  QString server, name, user, password;
  QString* fields[kFieldCount - 1] = {&server, &name, &user, &password};
  qsizetype start = 0;
  for (QString* field : fields) {
    const qsizetype semi = text.indexOf(u';', start);
    *field = UnescapeField(QStringView(text).mid(start, semi - start));
    start = semi + 1;
  }
  entry = ObjectEntry(
      previous.Is(server, user, password) ? previous : Connection(server, user, password), name,
      UnescapeField(QStringView(text).mid(start, text.size() - 1 - start)));
  return true;
}

// The shifts of the count line of each kind and of the Sequences/Roles section texts.
int CountShift(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Tables: return 1;
    case ObjectKind::Views: return 2;
    case ObjectKind::ProceduresAndFunctions: return 3;
    case ObjectKind::Packages: return 1;
    case ObjectKind::Sequences: return 3;
    case ObjectKind::Roles: return 2;
  }
  return 1;
}

int SectionShift(ObjectKind kind) { return kind == ObjectKind::Sequences ? 2 : 1; }

int RowShift(qsizetype row) { return static_cast<int>(row % 3) + 1; }

QString& SectionText(ProjectContents& c, ObjectKind kind) {
  return kind == ObjectKind::Sequences ? c.sequencesDescription : c.rolesDescription;
}

const QString& SectionText(const ProjectContents& c, ObjectKind kind) {
  return kind == ObjectKind::Sequences ? c.sequencesDescription : c.rolesDescription;
}

void WriteLines(const ProjectContents& c, LineWriter& out) {
  out.Text(c.info.Name, 1);
  out.EndLine();
  out.Text(c.info.Version, 2);
  out.EndLine();
  out.Text(c.info.General, 3);
  out.EndLine();
  for (ObjectKind kind : kAllObjectKinds) {
    if (HasSectionDescription(kind)) {
      out.Text(SectionText(c, kind), SectionShift(kind));
      out.EndLine();
    }
    const auto& list = c.entries[static_cast<int>(kind)];
    out.Text(QString::number(list.size()), CountShift(kind));
    out.EndLine();
    for (qsizetype row = 0; row < list.size(); ++row) {
      const ObjectEntry& e = list[row];
      const int shift = RowShift(row);
      for (QStringView field : {QStringView(e.connection().ServerName()), e.ObjectName(),
                                QStringView(e.connection().UserName()),
                                QStringView(e.connection().Password()), e.Description()})
        out.Field(field, shift);
      out.EndLine();
    }
  }
}

bool Parse(QIODevice& in, ProjectContents& c) {
  LineReader lines(in);
  Connection previous;
  if (!ReadText(lines, 1, c.info.Name) || !ReadText(lines, 2, c.info.Version) ||
      !ReadText(lines, 3, c.info.General))
    return false;
  for (ObjectKind kind : kAllObjectKinds) {
    if (HasSectionDescription(kind) &&
        !ReadText(lines, SectionShift(kind), SectionText(c, kind)))
      return false;
    qsizetype count = 0;
    if (!ReadCount(lines, CountShift(kind), count)) return false;
    auto& list = c.entries[static_cast<int>(kind)];
    // No reserve(count): a damaged count must not allocate; a missing row fails at once.
    for (qsizetype row = 0; row < count; ++row) {
      ObjectEntry entry;
      if (!ReadRow(lines, RowShift(row), previous, entry)) return false;
      previous = entry.connection();
      list.append(std::move(entry));
    }
    list.squeeze();  // read whole, the list grows no more until the user adds to it
  }
  return lines.OnlyEmptyLinesLeft();
}

}  // namespace

QString EncodeLine(const QString& text, int shift) {
  LineWriter out;
  out.Text(text, shift);
  return QString::fromLatin1(out.Take());
}

std::optional<QString> DecodeLine(const QString& line, int shift) {
  QString out;
  if (!DecodeInto(CharUnits{line}, shift, out)) return std::nullopt;
  return out;
}

bool WriteProject(Project& project, const QString& path, QString* error) {
  // In place: the file stays the same file, and its creation time stays its Created.
  FileReplacement file(path, FileReplacement::Mode::InPlace);
  if (file.Begin()) {
    LineWriter out(&file.File());
    WriteLines(project.Contents(), out);
    out.Finish();  // a failed write shows in Commit
    if (file.Commit() == FileReplacement::Outcome::New) {
      ShowFileTimes(project, path);
      project.SetModified(false);
      return true;
    }
  }
  if (error)
    *error = inputfile::WithReason(
        QStringLiteral("ERROR: Vellumar Project file %1 can't be created.").arg(path),
        file.Error());
  return false;
}

bool ReadProject(Project& project, const QString& path, QString* error) {
  const auto fail = [&](const QString& reason) {
    if (error)
      *error = inputfile::WithReason(
          QStringLiteral("ERROR: Vellumar Project file %1 can't be opened.").arg(path), reason);
    return false;
  };
  QFile file;
  QString reason;
  switch (inputfile::Open(path, file, &reason)) {
    case inputfile::Status::Missing: return fail(inputfile::Reason(ENOENT));
    case inputfile::Status::Failed: return fail(reason);
    case inputfile::Status::Opened: break;
  }
  ProjectContents contents;
  if (!Parse(file, contents))
    return fail(file.error() != QFileDevice::NoError
                    ? file.errorString()
                    : QStringLiteral("It is damaged, or it is not a Vellumar project."));
  file.close();
  // The file's times stay shown until ShowFileTimes replaces them.
  contents.info.Created = project.Info().Created;
  contents.info.Updated = project.Info().Updated;
  project.ReplaceContents(contents);
  ShowFileTimes(project, path);
  return true;
}
