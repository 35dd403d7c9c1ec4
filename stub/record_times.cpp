#include "stub/record_times.h"

#include <cmath>
#include <ctime>

#include "core/dos_time.h"

namespace zq {
namespace {

// The civil date of a day count from 1970-01-01 (proleptic Gregorian).
void civilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

}  // namespace

uint64_t daysToFileTime(double days) {
  // 1601-01-01 is day -109205 and 9999-12-31 day 2958465 of this count.
  if (!std::isfinite(days) || days == 0.0 || days < -109205.0 || days >= 2958466.0) return 0;
  const double whole = std::floor(days);
  // The stored times have a 2-second grain; round to the second.
  int64_t seconds = std::llround((days - whole) * 86400.0);
  int64_t day = static_cast<int64_t>(whole) - 25569;  // days since 1970-01-01
  if (seconds >= 86400) {
    seconds -= 86400;
    ++day;
  }
  int64_t year;
  unsigned month, dayOfMonth;
  civilFromDays(day, year, month, dayOfMonth);

  struct tm local {};
  local.tm_year = static_cast<int>(year - 1900);
  local.tm_mon = static_cast<int>(month) - 1;
  local.tm_mday = static_cast<int>(dayOfMonth);
  local.tm_hour = static_cast<int>(seconds / 3600);
  local.tm_min = static_cast<int>(seconds / 60 % 60);
  local.tm_sec = static_cast<int>(seconds % 60);
  local.tm_isdst = -1;  // let the time zone rules say whether summer time applies
  const time_t utc = mktime(&local);
  if (utc == static_cast<time_t>(-1) && !(local.tm_year == 69 && local.tm_mon == 11)) return 0;
  return unixToFileTime(static_cast<int64_t>(utc));
}

}  // namespace zq
