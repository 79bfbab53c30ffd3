#include "cli/capture_command.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "capture/dictionary_capture.h"
#include "cli/console_progress.h"
#include "text/file_name.h"

namespace {

// Turns the terminal's echo off for as long as it lives.
class NoEcho {
 public:
  NoEcho() : on_(tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!on_) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~NoEcho() {
    if (!on_) return;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    std::fputc('\n', stderr);  // the Enter the terminal did not show
  }
  NoEcho(const NoEcho&) = delete;
  NoEcho& operator=(const NoEcho&) = delete;

 private:
  termios saved_{};
  bool on_;
};

}  // namespace

std::optional<QString> ReadPassword(const char* variable, const char* prompt) {
  if (qEnvironmentVariableIsSet(variable)) return qEnvironmentVariable(variable);
  const bool terminal = isatty(STDIN_FILENO) == 1;
  if (terminal) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
  }
  std::string line;
  bool ended = false;
  {
    const std::optional<NoEcho> quiet = terminal ? std::optional<NoEcho>(std::in_place)
                                                 : std::nullopt;
    for (int c; !ended;) {
      c = std::getchar();
      if (c == EOF) return std::nullopt;
      if (c == '\n')
        ended = true;
      else
        line += char(c);
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return QString::fromUtf8(line.data(), qsizetype(line.size()));
}

int RunCapture(const QString& connection, const QString& out, const QStringList& owners,
               bool snapshotPassword) {
  const std::optional<ConnectionText> c = ParseConnection(connection);
  if (!c) {
    PrintError("CONNECTION is USER/PASSWORD@DATABASE or USER@DATABASE, not \"" + connection +
               "\"");
    return 2;
  }
  CaptureRequest request;
  request.server = c->database;
  request.user = c->user;
  request.owners = owners;
  request.password = c->password ? *c->password
                                 : ReadPassword("VELLUMAR_PASSWORD", "Oracle password: ")
                                       .value_or(QString());
  if (snapshotPassword) {
    const auto password =
        ReadPassword("VELLUMAR_SNAPSHOT_PASSWORD", "Password of the snapshot's users: ");
    if (!password || password->isEmpty()) {
      PrintError("--password needs a snapshot password; none was given");
      return 2;
    }
    request.snapshotPassword = password;
  }
  ConsoleProgress progress(stderr, isatty(STDERR_FILENO) == 1);
  const CaptureResult result = CaptureDictionary(request, out, progress);
  if (result.ok()) {
    progress.SetInfoText(QStringLiteral("Dictionary is captured: %1 rows of %2.")
                             .arg(result.rows)
                             .arg(result.owners.join(QStringLiteral(", "))));
    progress.StepProgress(0);
  }
  progress.Finish();
  if (!result.ok()) {
    PrintError(result.error);
    return 1;
  }
  std::printf("%s\n", filename::ToBytes(out).constData());
  return 0;
}
