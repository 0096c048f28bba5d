// Order statistics of the benchmark's display times.
#include "tools/bench/stats.h"

#include <algorithm>
#include <cmath>

double medianOf(std::span<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

TimeSummary summariseTimes(std::span<double> times) {
  TimeSummary s;
  if (times.empty()) return s;
  s.median = medianOf(times);  // sorts
  // Nearest rank: the ceil(0.95 n)-th smallest.
  std::size_t rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(times.size())));
  s.p95 = times[std::max<std::size_t>(rank, 1) - 1];
  s.worst = times.back();
  return s;
}
