#include "cli/console_progress.h"

#include <cerrno>
#include <cstring>

namespace {
constexpr int kBarWidth = 30;
}

QByteArray ConsoleText(const QString& text, bool lines) {
  QByteArray out;
  out.reserve(text.size());
  // The characters shown as they are go over in runs: a build shows a line per object, and
  // converting them one at a time cost a command-line build a twentieth of its time.
  qsizetype plain = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    qsizetype width = 1;
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      width = 2;
    }
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0xDC80 && c <= 0xDCFF);
    if (control && !((c == U'\n' && lines) || c == U'\t')) {
      out += QStringView(text).mid(plain, i - plain).toUtf8();
      // A name's byte that is not UTF-8 is kept as U+DC00 + byte (file_name.h).
      const uint code = c >= 0xDC80 ? c - 0xDC00 : c;
      out += "\\x" + QByteArray::number(code, 16).rightJustified(2, '0');
      plain = i + width;
    }
    i += width - 1;
  }
  out += QStringView(text).mid(plain).toUtf8();
  return out;
}

void ConsoleProgress::SetInfoText(const QString& text) {
  // The building texts break the line after the kind ("Building table: \r\n" + name).
  info_ = QString(text).remove(u'\r').remove(u'\n');
}

void ConsoleProgress::StepProgress(int n) {
  position_ += n;
  Show();
}

// The build's end sets the count to its total: the bar ends full and the log's last line
// says so.
void ConsoleProgress::SetProgress(int n) {
  position_ = n;
  Show();
}

void ConsoleProgress::Show() {
  const QByteArray info = ConsoleText(info_, false);
  if (!terminal_) {
    std::fprintf(stream_, "[%d/%d] %s\n", position_, maximum_, info.constData());
    std::fflush(stream_);
    return;
  }
  const int filled = maximum_ > 0 ? qBound(0, position_ * kBarWidth / maximum_, kBarWidth) : 0;
  const QByteArray bar = QByteArray(filled, '#') + QByteArray(kBarWidth - filled, ' ');
  std::fprintf(stream_, "\r\033[K[%s] %d/%d %s", bar.constData(), position_, maximum_,
               info.constData());
  std::fflush(stream_);
  barShown_ = true;
}

void ConsoleProgress::Finish() {
  if (!barShown_) return;
  std::fputc('\n', stream_);
  std::fflush(stream_);
  barShown_ = false;
}

void PrintError(const QString& message) {
  const QByteArray line = ConsoleText("vellumar-build: " + message, true) + '\n';
  std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

bool WriteReport(const QByteArray& report) {
  errno = 0;
  const bool whole =
      std::fwrite(report.constData(), 1, size_t(report.size()), stdout) == size_t(report.size());
  if (whole && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  const QString why = errno ? QString::fromLocal8Bit(std::strerror(errno)) : QString("write error");
  PrintError("the report could not be written to standard output: " + why);
  return false;
}
