#include "cli/console_progress.h"

namespace {
constexpr int kBarWidth = 30;
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
  const QByteArray info = info_.toLocal8Bit();
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
