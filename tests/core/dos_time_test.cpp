#include "core/dos_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace zq {
namespace {

class DosTime : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = getenv("TZ");
    saved_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) setenv("TZ", saved_.c_str(), 1); else unsetenv("TZ");
    tzset();
  }
  std::string saved_;
  bool hadTz_ = false;
};

TEST_F(DosTime, DaysSince18991230AtTwoSecondResolution) {
  // 2000-01-01 00:00:00 UTC is day 36526.
  EXPECT_DOUBLE_EQ(fileTimeToDays(unixToFileTime(946684800)), 36526.0);
  // Odd seconds round down to the even second below.
  EXPECT_DOUBLE_EQ(fileTimeToDays(unixToFileTime(946684800 + 12 * 3600 + 3)),
                   36526.0 + (12 * 3600 + 2) / 86400.0);
}

TEST_F(DosTime, TimesDosCannotHoldGiveZero) {
  EXPECT_EQ(fileTimeToDays(0), 0.0);
  EXPECT_EQ(fileTimeToDays(unixToFileTime(0)), 0.0);            // 1970: before 1980
  EXPECT_EQ(fileTimeToDays(unixToFileTime(4354819200LL)), 0.0);  // 2108
}

TEST_F(DosTime, UnixAndFileTimeConvertBothWays) {
  EXPECT_EQ(unixToFileTime(0), 116444736000000000ULL);
  EXPECT_EQ(fileTimeToUnix(unixToFileTime(1700000000)), 1700000000);
}

}  // namespace
}  // namespace zq
