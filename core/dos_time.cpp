#include "core/dos_time.h"

#include <ctime>

namespace zq {
namespace {

constexpr uint64_t kTicksPerSecond = 10000000ULL;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDifference = 11644473600LL;

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t daysSince1970 = era * 146097 + static_cast<int64_t>(doe) - 719468;
  return daysSince1970 + 25569;  // 1899-12-30 is 25569 days before 1970-01-01
}

}  // namespace

uint64_t unixToFileTime(int64_t seconds, uint32_t nanoseconds) {
  if (seconds < -kEpochDifference) return 0;
  return static_cast<uint64_t>(seconds + kEpochDifference) * kTicksPerSecond + nanoseconds / 100;
}

int64_t fileTimeToUnix(uint64_t fileTime) {
  return static_cast<int64_t>(fileTime / kTicksPerSecond) - kEpochDifference;
}

bool fileTimeToDos(uint64_t fileTime, uint16_t& dosDate, uint16_t& dosTime) {
  if (fileTime == 0) return false;
  const time_t t = static_cast<time_t>(fileTimeToUnix(fileTime));
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return false;
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return false;
  dosDate = static_cast<uint16_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  dosTime = static_cast<uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return true;
}

bool dosToDays(uint16_t dosDate, uint16_t dosTime, double& days) {
  const unsigned year = 1980 + (dosDate >> 9);
  const unsigned month = (dosDate >> 5) & 0x0F;
  const unsigned day = dosDate & 0x1F;
  const unsigned hour = dosTime >> 11;
  const unsigned minute = (dosTime >> 5) & 0x3F;
  const unsigned second = (dosTime & 0x1F) * 2;
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
    return false;
  const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  days = static_cast<double>(daysFromCivil(year, month, day)) + fraction;
  return true;
}

double fileTimeToDays(uint64_t fileTime) {
  uint16_t date = 0, time = 0;
  double days = 0.0;
  if (!fileTimeToDos(fileTime, date, time) || !dosToDays(date, time, days)) return 0.0;
  return days;
}

}  // namespace zq
