#include "project/file_times.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/test_env.h"

namespace {

TEST(FileTimes, DayAndMonthWithoutZerosTimeWithZeros) {
  // The test main sets the C locale, whose separators are the defaults.
  const QDateTime t(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::LocalTime);
  EXPECT_EQ(FormatFileTime(t), "5/3/2024 07:08:09");
  const QDateTime late(QDate(2024, 12, 25), QTime(23, 59, 0), Qt::LocalTime);
  EXPECT_EQ(FormatFileTime(late), "25/12/2024 23:59:00");
}

TEST(FileTimes, ShowsTheFilesTimesAndKeepsThemForAMissingFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("p.vlm");
  testenv::WriteBytes(path, "x");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  const QDateTime written(QDate(2021, 6, 1), QTime(12, 30, 45), Qt::LocalTime);
  ASSERT_TRUE(f.setFileTime(written, QFileDevice::FileModificationTime));
  f.close();

  Project p;
  ShowFileTimes(p, path);
  EXPECT_EQ(p.Info().Updated, "1/6/2021 12:30:45");
  EXPECT_FALSE(p.Info().Created.isEmpty());

  ShowFileTimes(p, dir.filePath("gone.vlm"));
  EXPECT_EQ(p.Info().Updated, "1/6/2021 12:30:45");
}

}  // namespace
