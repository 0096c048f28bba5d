// The benchmark's summary of display times: the figures its table and CSV report.
#include <gtest/gtest.h>

#include <vector>

#include "tools/bench/stats.h"

TEST(BenchStats, SummaryOfDisplayTimes) {
  struct Case {
    const char* name;
    std::vector<double> times;
    double median, p95, worst;
  } cases[] = {
      {"none", {}, 0.0, 0.0, 0.0},
      {"one", {7.0}, 7.0, 7.0, 7.0},
      {"even count: mean of the middle two", {4.0, 1.0, 3.0, 2.0}, 2.5, 4.0, 4.0},
      // Twenty times: the 19th smallest is the 95th percentile, the one spike only the worst.
      {"one spike in twenty",
       {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 6, 90},
       5.0,
       6.0,
       90.0},
      // 21 times: ceil(0.95 * 21) = 20, so two spikes still leave the 20th smallest.
      {"twenty-one with two spikes",
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 80, 70},
       11.0,
       70.0,
       80.0},
  };
  for (Case& c : cases) {
    TimeSummary s = summariseTimes(c.times);
    EXPECT_DOUBLE_EQ(s.median, c.median) << c.name;
    EXPECT_DOUBLE_EQ(s.p95, c.p95) << c.name;
    EXPECT_DOUBLE_EQ(s.worst, c.worst) << c.name;
  }
}

TEST(BenchStats, MedianOfRunsIgnoresTheirOrder) {
  std::vector<double> runs = {133.2, 86.9, 133.3};
  EXPECT_DOUBLE_EQ(medianOf(runs), 133.2);
  std::vector<double> two = {10.0, 20.0};
  EXPECT_DOUBLE_EQ(medianOf(two), 15.0);
}
