// The platform's conversion of a time to the local calendar.
#pragma once

#include <ctime>

// The local date and time of `time`; all zero when the system cannot convert it.
std::tm localTime(std::time_t time);
