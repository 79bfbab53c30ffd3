#pragma once
// Running part of a test in a forked child, where limits can be set that must not touch
// the test process: a file size limit (writes past it fail with EFBIG), or permission bits
// that apply (root drops to an unprivileged user).

#include <sys/types.h>

#include <QString>
#include <functional>

namespace childprocess {

// Runs `body` in a child and returns its exit status (-1 when it did not exit normally).
// With `unprivileged`, a child of root first becomes the user `UnprivilegedUser()`.
int Run(const std::function<int()>& body, bool unprivileged = false);

// Writes past `bytes` fail from now on in this process, with EFBIG instead of a signal.
void LimitFileSize(off_t bytes);

// The user a child of root becomes; the test gives it the files it is to write. -1 when
// this process is not root (its own permission bits apply).
uid_t UnprivilegedUser();

// Gives `path` to UnprivilegedUser() when there is one.
void GiveToChild(const QString& path);

}  // namespace childprocess
