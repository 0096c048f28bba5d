// Order statistics of the benchmark's display times.
#pragma once

#include <span>

struct TimeSummary {
  double median = 0.0;  // ms
  double p95 = 0.0;     // ms: the smallest time that at least 95 % of the displays do not exceed
  double worst = 0.0;   // ms
};

// Summarises the times (sorted in place). An empty list gives zeros.
TimeSummary summariseTimes(std::span<double> times);

// The median of a few values (sorted in place); the mean of the middle two for an even count.
double medianOf(std::span<double> values);
