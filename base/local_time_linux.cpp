// Local time through the reentrant POSIX call.
#include "base/local_time.h"

std::tm localTime(std::time_t time) {
  std::tm local{};
  if (!localtime_r(&time, &local)) return std::tm{};
  return local;
}
