#pragma once
// The build's progress on a console stream: one line per object and one for the end, or
// one redrawn bar line when the stream is a terminal.

#include <QByteArray>
#include <QString>
#include <cstdio>

#include "classic/build_context.h"

// A text as bytes to show on a console: a control character a name may hold (an escape
// sequence that would retitle or clear the terminal, or write its clipboard; a NUL that would
// cut the line) is shown as its code, "\x1b", as is a byte of a file name that is not UTF-8.
// Line breaks are kept when `lines` says so (messages of several lines, a report).
QByteArray ConsoleText(const QString& text, bool lines);

// Writes "vellumar-build: " and the message, a line of its own, to standard error.
void PrintError(const QString& message);

// Writes a report (--changes, --coverage, --used-by) to standard output whole; false, with
// the reason on standard error, when it could not be (a full disk, a closed pipe), since a
// job reading a truncated report must not take it for a whole one.
bool WriteReport(const QByteArray& report);

class ConsoleProgress : public BuildProgress {
 public:
  ConsoleProgress(std::FILE* stream, bool terminal) : stream_(stream), terminal_(terminal) {}

  void SetInfoText(const QString& text) override;
  void StepProgress(int n) override;
  void SetProgress(int n) override;
  void SetProgressMax(int n) override { maximum_ = n; }
  // Ends the bar line (terminal only), so that what follows starts on a line of its own.
  void Finish();

 private:
  void Show();

  std::FILE* stream_;
  bool terminal_;
  QString info_;
  int position_ = 0;
  int maximum_ = 0;
  bool barShown_ = false;
};
