// Local time through the C runtime's checked call (Windows has no localtime_r).
#include "base/local_time.h"

std::tm localTime(std::time_t time) {
  std::tm local{};
  if (localtime_s(&local, &time) != 0) return std::tm{};
  return local;
}
