// The progress stamp.
#include <gtest/gtest.h>

#include "base/console.h"

TEST(Startup, StampHasAsctimeFormWithTwoDigitDay) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 7;
  t.tm_wday = 1;
  t.tm_hour = 6;
  t.tm_min = 5;
  t.tm_sec = 9;
  EXPECT_EQ(formatStamp(t), "Mon Dec 07 06:05:09 2026");

  t.tm_mon = 0;
  t.tm_mday = 31;
  t.tm_wday = 6;
  t.tm_hour = 23;
  t.tm_min = 59;
  t.tm_sec = 58;
  EXPECT_EQ(formatStamp(t), "Sat Jan 31 23:59:58 2026");
  EXPECT_EQ(formatStamp(t).size(), 24u);
}
