#include "text/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <QFileDevice>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace temporaryfiles {
namespace {

enum State : int { kFree, kTaken, kFile, kFolder };

// A fixed table, so that the handler reads it without allocating or locking: a writer
// holds a few names at once (a document's temporary file, a folder's staging folder).
struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
Slot g_slots[16];

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Folders the program stages in hold files and one level of folders; deeper is no folder
// of ours.
constexpr int kMaxDepth = 4;

bool RemoveAt(int dirFd, const char* name, int depth) {
  if (::unlinkat(dirFd, name, 0) == 0 || errno == ENOENT) return true;
  if (errno != EISDIR || depth >= kMaxDepth) return false;
  const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool removed = true;
  // Entries removed while the folder is read may shift the rest: read it again until a
  // reading finds nothing left to remove.
  for (int pass = 0; pass < 8; ++pass) {
    bool found = false;
    alignas(8) char buffer[8192];
    ::lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while ((n = ::getdents64(fd, buffer, sizeof buffer)) > 0) {
      for (ssize_t at = 0; at < n;) {
        const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
        at += entry->d_reclen;
        const char* child = entry->d_name;
        if (std::strcmp(child, ".") == 0 || std::strcmp(child, "..") == 0) continue;
        found = true;
        if (!RemoveAt(fd, child, depth + 1)) removed = false;
      }
    }
    if (!found || !removed) break;
  }
  ::close(fd);
  return ::unlinkat(dirFd, name, AT_REMOVEDIR) == 0 && removed;
}

void OnSignal(int signal) {
  const int saved = errno;
  for (Slot& s : g_slots) {
    const int state = s.state.load(std::memory_order_acquire);
    if (state == kFile)
      ::unlink(s.path);
    else if (state == kFolder)
      RemoveAt(AT_FDCWD, s.path, 0);
  }
  errno = saved;
  // Ends the program by the same signal once this handler returns.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

}  // namespace

void Named::Set(const QByteArray& path, bool folder) {
  Forget();
  if (path.size() >= PATH_MAX) return;
  for (int i = 0; i < int(std::size(g_slots)); ++i) {
    int free = kFree;
    if (!g_slots[i].state.compare_exchange_strong(free, kTaken)) continue;
    std::memcpy(g_slots[i].path, path.constData(), size_t(path.size()) + 1);
    g_slots[i].state.store(folder ? kFolder : kFile, std::memory_order_release);
    slot_ = i;
    return;
  }
}

void Named::Forget() {
  if (slot_ < 0) return;
  g_slots[slot_].state.store(kFree, std::memory_order_release);
  slot_ = -1;
}

SignalHold::SignalHold() {
  sigset_t held;
  sigemptyset(&held);
  for (int s : kSignals) sigaddset(&held, s);
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalHold::~SignalHold() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

void RemoveOnSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int s : kSignals) sigaddset(&action.sa_mask, s);
  for (int s : kSignals) ::sigaction(s, &action, nullptr);
}

void FailWritesPastSizeLimit() { ::signal(SIGXFSZ, SIG_IGN); }

bool RemoveTree(int dirFd, const char* name) { return RemoveAt(dirFd, name, 0); }

bool WriteAll(QFileDevice& file, QByteArrayView bytes, QString* reason) {
  for (qsizetype done = 0; done < bytes.size();) {
    const qint64 written = file.write(bytes.data() + done, bytes.size() - done);
    if (written <= 0) {
      file.flush();  // what the failed write left in Qt's buffer, tried once more
      *reason = file.errorString();
      return false;
    }
    done += qsizetype(written);
  }
  return true;
}

bool Flush(QFileDevice& file, QString* reason) {
  // The second try writes what the first left, or fails with the system's reason.
  if (file.flush() || file.flush()) return true;
  *reason = file.errorString();
  return false;
}

}  // namespace temporaryfiles
