#pragma once
// Temporary files and staging folders that an interrupting signal must not leave behind.
//
// A writer names each temporary file or staging folder it makes for as long as it exists.
// A program that asks for it (RemoveOnSignals) then removes what is named when SIGINT,
// SIGTERM or SIGHUP arrives, and ends by that signal as it would have. While a writer puts
// its files in place (renames, an overwrite in place) it holds those signals back
// (SignalHold), so that none lands half-way through a change: the signal then ends the
// program once the change is whole.

#include <signal.h>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QFileDevice;

namespace temporaryfiles {

// One temporary file or folder, named from Set until Forget (or destruction).
class Named {
 public:
  Named() = default;
  ~Named() { Forget(); }
  Named(const Named&) = delete;
  Named& operator=(const Named&) = delete;

  // `path` is removed on a signal from now on; a folder with everything in it.
  void Set(const QByteArray& path, bool folder = false);
  // It was put in place or removed: a signal leaves it alone.
  void Forget();

 private:
  int slot_ = -1;
};

// Holds SIGINT, SIGTERM and SIGHUP back in this thread while it lives.
class SignalHold {
 public:
  SignalHold();
  ~SignalHold();
  SignalHold(const SignalHold&) = delete;
  SignalHold& operator=(const SignalHold&) = delete;

 private:
  sigset_t previous_;
};

// Writes all of `bytes` to the temporary file `file`; false with the system's reason in
// *reason. Qt reports a write that a full disk stopped part-way as "Unknown error": what is
// left is tried again, which fails with the system's own reason.
bool WriteAll(QFileDevice& file, QByteArrayView bytes, QString* reason);
// Writes out what Qt still holds of `file` in its buffer; false with the system's reason.
bool Flush(QFileDevice& file, QString* reason);

// From now on those signals remove every named file and folder first.
void RemoveOnSignals();

// From now on a write past the file size limit (ulimit -f) fails with "File too large" and
// is reported, and cleaned up, like one to a full disk, instead of the signal that would end
// the program half-way, its temporary files left and a window's unsaved work lost.
void FailWritesPastSizeLimit();

// Removes the entry `name` of the folder `dirFd` (AT_FDCWD: the working directory), a
// folder with everything in it, never following a link. Safe in a signal handler. False
// when something could not be removed.
bool RemoveTree(int dirFd, const char* name);

}  // namespace temporaryfiles
