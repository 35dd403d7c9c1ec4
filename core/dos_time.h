// File times as the programs keep them: FILETIME values from the machine,
// turned into local time at the 2-second resolution of the DOS date/time
// format and stored as days since 1899-12-30 (with the time as the fraction).
#pragma once

#include <cstdint>

namespace zq {

// Local DOS date and time of a FILETIME (100 ns units since 1601 UTC).
// False when the time lies outside what DOS can hold (1980 to 2107).
bool fileTimeToDos(uint64_t fileTime, uint16_t& dosDate, uint16_t& dosTime);

// Days since 1899-12-30 of a DOS date and time; false for an invalid date.
bool dosToDays(uint16_t dosDate, uint16_t dosTime, double& days);

// Both steps; 0.0 when the time cannot be converted.
double fileTimeToDays(uint64_t fileTime);

// FILETIME of a Unix time in seconds and nanoseconds (and back).
uint64_t unixToFileTime(int64_t seconds, uint32_t nanoseconds = 0);
int64_t fileTimeToUnix(uint64_t fileTime);

}  // namespace zq
