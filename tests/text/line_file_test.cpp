#include "text/line_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/test_env.h"

TEST(LineFile, WritesCrLfWindows1252WithoutBomAndReadsBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath("a.txt");
  int replaced = 0;
  ASSERT_TRUE(linefile::Write(path, {QString::fromUtf8("caf\u00E9"), "", "x\u20ACy"}, nullptr,
                              &replaced));
  EXPECT_EQ(replaced, 0);
  EXPECT_EQ(testenv::ReadBytes(path), QByteArray("caf\xE9\r\n\r\nx\x80y\r\n"));
  const auto r = linefile::Read(path);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.lines, (QStringList{QString::fromUtf8("caf\u00E9"), "", "x\u20ACy"}));
}

TEST(LineFile, ReaderAcceptsBareLfAndAMissingLastLineEnd) {
  EXPECT_EQ(linefile::SplitLines("a\nb\r\n\nc"), (QStringList{"a", "b", "", "c"}));
  EXPECT_EQ(linefile::SplitLines("a\r\n"), QStringList{"a"});
  EXPECT_TRUE(linefile::SplitLines("").isEmpty());
}

TEST(LineFile, FailuresAreReportedAndLeaveTheOldFileWhole) {
  QTemporaryDir dir;
  EXPECT_FALSE(linefile::Read(dir.path()).ok);          // a directory
  EXPECT_FALSE(linefile::Read(dir.filePath("none")).ok);  // missing
  QString error;
  EXPECT_FALSE(linefile::Write(dir.filePath("no/such/dir/f.txt"), {"x"}, &error));
  EXPECT_FALSE(error.isEmpty());

  const QString path = dir.filePath("keep.txt");
  ASSERT_TRUE(linefile::Write(path, {"old"}));
  ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
  QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
  if (!QFile(dir.filePath("ro/probe")).open(QIODevice::WriteOnly)) {  // not root
    EXPECT_FALSE(linefile::Write(dir.filePath("ro/f.txt"), {"x"}, &error));
  }
  EXPECT_TRUE(linefile::Append(path, "new"));
  EXPECT_EQ(testenv::ReadBytes(path), QByteArray("old\r\nnew\r\n"));
}
