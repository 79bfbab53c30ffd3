#pragma once
// Running part of a test in a forked child, where limits can be set that must not touch
// the test process: a file size limit (writes past it fail with EFBIG), or permission bits
// that apply (root drops to an unprivileged user).

#include <sys/types.h>

#include <QString>
#include <functional>

namespace childprocess {

// The exit status of a child of root that could not become an unprivileged user: the test
// fails, since permission bits would not stop it.
inline constexpr int kCannotDrop = 126;

// Runs `body` in a child and returns its exit status (-1 when it did not exit normally).
// With `unprivileged`, a child of root first becomes an unprivileged user (nobody, without
// root's groups), or exits with kCannotDrop.
int Run(const std::function<int()>& body, bool unprivileged = false);

// Writes past `bytes` fail from now on in this process, with EFBIG instead of a signal.
void LimitFileSize(off_t bytes);

// Gives `path` to the user an unprivileged child of root becomes (as root only).
void GiveToChild(const QString& path);

// Runs `body` in a child that raises `signal` at the `n`th kill point it reaches (counted
// from 1; see text/kill_point.h). True when the child ended by that signal, false when it
// ran to its end first: then every point of the body has been tried.
bool StoppedAtPoint(int n, int signal, const std::function<void()>& body);

}  // namespace childprocess
