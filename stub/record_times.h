// The record's date-times (days since 1899-12-30, local time) back into the
// FILETIME values the machine sets on a restored file.
#pragma once

#include <cstdint>

namespace zq {

// FILETIME (100 ns units since 1601-01-01 UTC) of a local date-time given as
// days since 1899-12-30 with the time as the fraction; 0 when the value
// holds no time (0.0, not a number, or outside 1601 to 9999).
uint64_t daysToFileTime(double days);

}  // namespace zq
