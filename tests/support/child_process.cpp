#include "child_process.h"

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "text/file_name.h"
#include "text/kill_point.h"

namespace childprocess {

namespace {
constexpr uid_t kNobody = 65534;
int g_pointsLeft = 0;
int g_signal = 0;
}

int Run(const std::function<int()>& body, bool unprivileged) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (unprivileged && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ||
         ::geteuid() == 0))
      ::_exit(kCannotDrop);
    ::_exit(body());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

void LimitFileSize(off_t bytes) {
  ::signal(SIGXFSZ, SIG_IGN);
  const struct rlimit limit {static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

void GiveToChild(const QString& path) {
  if (::geteuid() == 0) ::lchown(filename::ToBytes(path).constData(), kNobody, kNobody);
}

bool StoppedAtPoint(int n, int signal, const std::function<void()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    g_pointsLeft = n;
    g_signal = signal;
    killpoint::SetHook([](const char*) {
      if (--g_pointsLeft == 0) ::raise(g_signal);
    });
    body();
    ::_exit(0);
  }
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFSIGNALED(status) &&
         WTERMSIG(status) == signal;
}

}  // namespace childprocess
