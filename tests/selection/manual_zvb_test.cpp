// "manual.zvb": round trips, the byte layout, and damaged files.
#include "selection/manual_zvb.h"

#include <gtest/gtest.h>

#include "core/files.h"
#include "core/machine_wrapper.h"
#include "core/known_folders.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

ManualSelection sample() {
  ManualSelection s;
  s.check(u"C:\\Users\\al\\Desktop\\Report.doc");
  s.check(u"C:\\Users\\al\\Documents\\Gr\u00fc\u00dfe \U0001F600");
  s.check(u"\\\\nas\\share\\dir");
  s.check(u"D:\\Data");
  return s;
}

TEST(ManualZvb, RoundTripsAndKeepsTreeOrder) {
  for (const ManualSelection& s : {ManualSelection{}, sample()}) {
    ManualSelection loaded;
    loaded.check(u"C:\\stale");
    std::string error;
    ASSERT_TRUE(decodeManualSelection(encodeManualSelection(s), loaded, error)) << error;
    EXPECT_EQ(loaded.items(), s.items());
  }
}

TEST(ManualZvb, ByteLayout) {
  ManualSelection s;
  s.check(u"C:\\a");
  const std::string expected(
      "ZQMS\x01\x00\x00\x00\x01\x00\x00\x00"  // magic, version, count
      "\x01\x04\x00"                          // ticked, 4 units
      "C\0:\0\\\0a\0",
      12 + 3 + 8);
  EXPECT_EQ(encodeManualSelection(s), expected);
}

TEST(ManualZvb, DamagedBytesLoadAsNothingWithAReason) {
  const std::string good = encodeManualSelection(sample());

  // Cut anywhere: never a crash, always a reason.
  for (size_t n = 0; n < good.size(); ++n) {
    ManualSelection out;
    out.check(u"C:\\stale");
    std::string error;
    EXPECT_FALSE(decodeManualSelection(std::string_view(good).substr(0, n), out, error)) << n;
    EXPECT_TRUE(out.empty()) << n;
    EXPECT_FALSE(error.empty()) << n;
  }

  struct Case {
    const char* what;
    size_t offset;
    std::string bytes;
  };
  const Case cases[] = {
      {"magic", 0, "ZQMT"},
      {"version", 4, std::string("\x02\x00", 2)},
      {"reserved", 6, std::string("\x01\x00", 2)},
      {"huge count", 8, std::string("\xFF\xFF\xFF\xFF", 4)},
      {"count one too many", 8, std::string("\x05\x00\x00\x00", 4)},
      {"state", 12, std::string("\x02", 1)},
      {"huge length", 13, std::string("\xFF\xFF", 2)},
      {"zero length", 13, std::string("\x00\x00", 2)},
      {"not a full path", 15, std::string("x\0y\0", 4)},
  };
  for (const Case& c : cases) {
    std::string bad = good;
    bad.replace(c.offset, c.bytes.size(), c.bytes);
    ManualSelection out;
    std::string error;
    EXPECT_FALSE(decodeManualSelection(bad, out, error)) << c.what;
    EXPECT_TRUE(out.empty()) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
  ManualSelection out;
  std::string error;
  EXPECT_FALSE(decodeManualSelection(good + "x", out, error));
  EXPECT_EQ(error, "manual.zvb: 1 stray bytes after the last item");
}

// A machine on which no file can be renamed over another.
class NoReplace : public MachineWrapper {
 public:
  using MachineWrapper::MachineWrapper;
  bool moveFile(std::u16string_view, std::u16string_view) override { return false; }
};

TEST(ManualZvb, FileBesideTheRunLogSurvivesAFailedSave) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  const std::u16string path = manualSelectionFilePath();
  EXPECT_EQ(path, appDataFolder() + u"\\Quillo Transfer Prime\\manual.zvb");

  ManualSelection loaded;
  std::string error;
  EXPECT_FALSE(loadManualSelection(path, loaded, error));  // not saved yet

  ASSERT_TRUE(saveManualSelection(path, sample(), error)) << error;
  ASSERT_TRUE(loadManualSelection(path, loaded, error)) << error;
  EXPECT_EQ(loaded, sample());
  EXPECT_FALSE(fileExists(path + u".tmp"));

  // A save that cannot replace the file leaves the earlier one as it was.
  NoReplace broken(pc.machine());
  ScopedMachine scope(broken);
  EXPECT_FALSE(saveManualSelection(path, ManualSelection{}, error));
  EXPECT_FALSE(fileExists(path + u".tmp"));
  ASSERT_TRUE(loadManualSelection(path, loaded, error)) << error;
  EXPECT_EQ(loaded, sample());
}

}  // namespace
}  // namespace zq
