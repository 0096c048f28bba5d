// The progress stamp.
#include <gtest/gtest.h>

#include "base/console.h"

TEST(Startup, StampHasAsctimeFormWithTwoDigitDay) {
  struct Case {
    int month, day, weekday, hour, minute, second;
    const char* stamp;
  };
  for (const Case& c : {Case{11, 7, 1, 6, 5, 9, "Mon Dec 07 06:05:09 2026"}, Case{0, 31, 6, 23, 59, 58, "Sat Jan 31 23:59:58 2026"}}) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = c.month;
    t.tm_mday = c.day;
    t.tm_wday = c.weekday;
    t.tm_hour = c.hour;
    t.tm_min = c.minute;
    t.tm_sec = c.second;
    EXPECT_EQ(formatStamp(t), c.stamp);
  }
}
