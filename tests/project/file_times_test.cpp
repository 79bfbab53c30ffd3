#include "project/file_times.h"

#include <gtest/gtest.h>

namespace {

TEST(FileTimes, DayAndMonthWithoutZerosTimeWithZeros) {
  // The test main sets the C locale, whose separators are the defaults.
  const QDateTime t(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::LocalTime);
  EXPECT_EQ(FormatFileTime(t), "5/3/2024 07:08:09");
  const QDateTime late(QDate(2024, 12, 25), QTime(23, 59, 0), Qt::LocalTime);
  EXPECT_EQ(FormatFileTime(late), "25/12/2024 23:59:00");
}

}  // namespace
