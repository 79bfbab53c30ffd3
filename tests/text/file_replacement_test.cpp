#include "text/file_replacement.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/child_process.h"
#include "support/test_env.h"
#include "text/temporary_files.h"

namespace {

using Mode = FileReplacement::Mode;
using Outcome = FileReplacement::Outcome;

// What Replace reports: the outcome of Commit, or that Begin refused.
enum Status { kNew = 0, kOld = 1, kRefused = 20 };

struct stat StatOf(const QString& path) {
  struct stat st {};
  ::lstat(QFile::encodeName(path).constData(), &st);
  return st;
}

QStringList Entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                             QDir::NoDotAndDotDot, QDir::Name);
}

// Writes `bytes` through a replacement of `path`; with `limitAfterWrite`, writes past that
// size fail from the moment the new bytes are complete, so the in-place write fails part way.
// Returns the Status, plus 10 when the reason lacks `reason`.
int Replace(const QString& path, Mode mode, const QByteArray& bytes, off_t limitAfterWrite,
            const QString& reason) {
  FileReplacement file(path, mode);
  if (!file.Begin()) return kRefused + (file.Error().contains(reason) ? 0 : 10);
  file.File().write(bytes);
  if (limitAfterWrite > 0) childprocess::LimitFileSize(limitAfterWrite);
  const Outcome outcome = file.Commit();
  return static_cast<int>(outcome) + (file.Error().contains(reason) ? 0 : 10);
}

TEST(FileReplacement, EndsWithTheOldOrTheNewFileWhole) {
  const QByteArray oldBytes = "old contents\r\n";
  const QByteArray newBytes(64 << 10, 'n');
  constexpr off_t kLimit = 16 << 10;
  struct Case {
    const char* name;
    Mode mode;
    bool readOnlyDir, readOnlyFile, hardLink;
    off_t limitBefore, limitAfterWrite;
    Status status;
    bool sameFile;
    const char* reason;
  };
  const Case cases[] = {
      {"renamed", Mode::Rename, false, false, false, 0, 0, kNew, false, ""},
      {"renamed, the new bytes do not fit", Mode::Rename, false, false, false, kLimit, 0, kOld,
       true, "File too large"},
      {"in place", Mode::InPlace, false, false, false, 0, 0, kNew, true, ""},
      {"in place, the new bytes do not fit", Mode::InPlace, false, false, false, kLimit, 0, kOld,
       true, "File too large"},
      // One name: it gets the complete copy. Two: the old bytes go back under both.
      {"in place, fails part way", Mode::InPlace, false, false, false, 0, kLimit, kNew, false, ""},
      {"in place, fails part way, hard link", Mode::InPlace, false, false, true, 0, kLimit, kOld,
       true, "File too large"},
      {"read-only directory", Mode::Rename, true, false, false, 0, 0, kRefused, true,
       "Permission denied"},
      {"read-only directory, in place", Mode::InPlace, true, false, false, 0, 0, kRefused, true,
       "Permission denied"},
      {"read-only file", Mode::Rename, false, true, false, 0, 0, kRefused, true,
       "Permission denied"},
  };
  // Permission bits do not stop root: those cases run as an unprivileged user.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool needsPermissions = c.readOnlyDir || c.readOnlyFile;
    QTemporaryDir dir;
    const QString path = dir.filePath("target.vlm");
    testenv::WriteBytes(path, oldBytes);
    ::chmod(QFile::encodeName(path).constData(), 0640);
    const QString other = dir.filePath("other.vlm");
    if (c.hardLink) {
      ASSERT_EQ(::link(QFile::encodeName(path), QFile::encodeName(other)), 0);
    }
    childprocess::GiveToChild(dir.path());
    childprocess::GiveToChild(path);
    if (c.readOnlyFile) QFile::setPermissions(path, QFile::ReadOwner);
    if (c.readOnlyDir) QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const struct stat before = StatOf(path);

    const int status = childprocess::Run(
        [&] {
          if (c.limitBefore > 0) childprocess::LimitFileSize(c.limitBefore);
          return Replace(path, c.mode, newBytes, c.limitAfterWrite, c.reason);
        },
        needsPermissions);

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(testenv::ReadBytes(path), c.status == kNew ? newBytes : oldBytes);
    if (c.hardLink) {
      EXPECT_EQ(testenv::ReadBytes(other), oldBytes);
    }
    EXPECT_EQ(StatOf(path).st_ino == before.st_ino, c.sameFile);
    EXPECT_EQ(StatOf(path).st_mode, before.st_mode) << "the mode is kept";
    const QStringList names = c.hardLink ? QStringList{"other.vlm", "target.vlm"}
                                         : QStringList{"target.vlm"};
    EXPECT_EQ(Entries(dir.path()), names);
  }
}

// A link in the target's place is replaced by a renamed file, never written through; the
// project file, written in place, is the file its link leads to. What is no file is refused.
TEST(FileReplacement, LinksAndWhatIsNoFile) {
  const struct {
    const char* name;
    Mode mode;
    const char* target;  // doc.htm is a link to "victim"; "folder" and "fifo" are no file
    Status status;
  } cases[] = {
      {"renamed over a link", Mode::Rename, "doc.htm", kNew},
      {"in place through a link", Mode::InPlace, "doc.htm", kNew},
      {"a new name", Mode::Rename, "new.htm", kNew},
      {"directory", Mode::Rename, "folder", kRefused},
      {"FIFO, in place", Mode::InPlace, "fifo", kRefused},
  };
  const mode_t mask = ::umask(0);
  ::umask(mask);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString target = dir.filePath(c.target), victim = dir.filePath("victim");
    testenv::WriteBytes(victim, "victim");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("victim", dir.filePath("doc.htm")));

    EXPECT_EQ(Replace(target, c.mode, "new", 0, ""), c.status);
    const bool throughLink = c.mode == Mode::InPlace && c.status == kNew;
    EXPECT_EQ(testenv::ReadBytes(victim), throughLink ? "new" : "victim");
    EXPECT_EQ(QFileInfo(dir.filePath("doc.htm")).isSymLink(),
              c.target != QString("doc.htm") || throughLink);
    if (c.status == kNew && !throughLink) {
      EXPECT_EQ(testenv::ReadBytes(target), "new");
      EXPECT_EQ(StatOf(target).st_mode & 07777, 0666 & ~mask) << "a new file's mode";
    }
    EXPECT_EQ(Entries(dir.path()).size(), c.target == QString("new.htm") ? 5 : 4);
  }

  QTemporaryDir dir;
  {
    FileReplacement aborted(dir.filePath("new.htm"));
    ASSERT_TRUE(aborted.Begin());
    aborted.File().write("never");
  }
  EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

// Killed at each point of a replacement, the name holds the old bytes or the new ones; an
// in-place write killed half-way leaves its complete copy, which the next write replaces. A
// signal that may be handled (SIGTERM) leaves no file behind at all.
TEST(FileReplacement, AKillAtAnyPointLeavesTheOldOrTheNewFile) {
  // Three pieces of an overwrite in place.
  const QByteArray oldBytes(5 << 19, 'o'), newBytes(5 << 19, 'n');
  int points = 0;
  for (const Mode mode : {Mode::Rename, Mode::InPlace}) {
    for (const int signal : {SIGKILL, SIGTERM}) {
      int n = 1;
      for (;; ++n) {
        SCOPED_TRACE(testing::Message() << "mode " << int(mode) << ", signal " << signal
                                        << ", point " << n);
        QTemporaryDir dir;
        const QString path = dir.filePath("project.vlm");
        testenv::WriteBytes(path, oldBytes);
        const bool stopped = childprocess::StoppedAtPoint(n, signal, [&] {
          if (signal == SIGTERM) temporaryfiles::RemoveOnSignals();
          Replace(path, mode, newBytes, 0, "");
        });
        const QByteArray now = testenv::ReadBytes(path);
        const auto copy = FileReplacement::InterruptedCopy(path);
        if (now != oldBytes && now != newBytes) {
          EXPECT_TRUE(mode == Mode::InPlace && signal == SIGKILL);
          ASSERT_TRUE(copy);
          EXPECT_EQ(testenv::ReadBytes(*copy), newBytes);
          EXPECT_EQ(Replace(path, mode, "again", 0, ""), kNew);
          EXPECT_FALSE(FileReplacement::InterruptedCopy(path));
        }
        if (signal == SIGTERM) {
          EXPECT_EQ(Entries(dir.path()), QStringList{"project.vlm"});
        }
        if (!stopped) {
          EXPECT_EQ(now, newBytes);
          break;
        }
      }
      points += n - 1;
    }
  }
  // Rename: complete, done. In place: complete, the copy kept, three pieces.
  EXPECT_EQ(points, 2 * (2 + 5));
}

}  // namespace
