#include "text/file_replacement.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/child_process.h"
#include "support/test_env.h"

namespace {

using Outcome = FileReplacement::Outcome;

// What Replace reports: the outcome of Commit, or that Begin refused.
enum Status { kNew = 0, kOld = 1, kRefused = 20 };

ino_t InodeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Writes `bytes` through a replacement of `path`; with `limitAfterWrite`, writes past that
// size fail from the moment the new bytes are complete, so the in-place write fails part way.
// Returns the Status, plus 10 when the reason lacks `reason`.
int Replace(const QString& path, const QByteArray& bytes, off_t limitAfterWrite,
            const QString& reason) {
  FileReplacement file(path);
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
    bool readOnlyDir, readOnlyFile;
    off_t limitBefore, limitAfterWrite;
    Status status;
    bool sameFile;
    const char* reason;
  };
  const Case cases[] = {
      {"in place", false, false, 0, 0, kNew, true, ""},
      {"the new bytes do not fit", false, false, kLimit, 0, kOld, true, "File too large"},
      {"in-place write fails part way", false, false, 0, kLimit, kNew, false, ""},
      {"read-only directory", true, false, 0, 0, kNew, true, ""},
      {"read-only directory, write fails part way", true, false, 0, kLimit, kOld, true,
       "File too large"},
      {"read-only file", false, true, 0, 0, kRefused, true, "Permission denied"},
  };
  // Permission bits do not stop root: those cases run as an unprivileged user.
  const bool canDrop = childprocess::Run([] { return 0; }, true) == 0;
  QStringList skipped;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool needsPermissions = c.readOnlyDir || c.readOnlyFile;
    if (needsPermissions && !canDrop) {
      skipped << c.name;
      continue;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("target.vlm");
    testenv::WriteBytes(path, oldBytes);
    childprocess::GiveToChild(dir.path());
    childprocess::GiveToChild(path);
    if (c.readOnlyFile) QFile::setPermissions(path, QFile::ReadOwner);
    if (c.readOnlyDir) QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const ino_t before = InodeOf(path);

    const int status = childprocess::Run(
        [&] {
          if (c.limitBefore > 0) childprocess::LimitFileSize(c.limitBefore);
          return Replace(path, newBytes, c.limitAfterWrite, c.reason);
        },
        needsPermissions);

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(testenv::ReadBytes(path), c.status == kNew ? newBytes : oldBytes);
    EXPECT_EQ(InodeOf(path) == before, c.sameFile);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"target.vlm"});
  }
  if (!skipped.isEmpty())
    GTEST_SKIP() << "root could not become an unprivileged user for: "
                 << skipped.join(", ").toStdString();
}

TEST(FileReplacement, NewFilesAbortAndWhatIsNoFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("new.htm");
  {
    FileReplacement aborted(path);
    ASSERT_TRUE(aborted.Begin());
    aborted.File().write("never");
    aborted.Abort();
  }
  EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

  // Through a link that leads nowhere yet: the file is made where it leads.
  ASSERT_TRUE(QFile::link("made.htm", dir.filePath("link.htm")));
  EXPECT_EQ(Replace(dir.filePath("link.htm"), "new\r\n", 0, ""), kNew);
  EXPECT_EQ(testenv::ReadBytes(dir.filePath("made.htm")), "new\r\n");
  EXPECT_TRUE(QFileInfo(dir.filePath("link.htm")).isSymLink());
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(dir.filePath("made.htm")).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);

  // A directory or a FIFO in the file's place is refused before anything is written.
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
  EXPECT_EQ(Replace(dir.filePath("folder"), "x", 0, "Is a directory"), kRefused);
  EXPECT_EQ(Replace(dir.filePath("fifo"), "x", 0, "Not a regular file"), kRefused);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                       QDir::NoDotAndDotDot).size(),
            4);
}

}  // namespace
