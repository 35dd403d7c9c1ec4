#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"
#include "tests/core/prefix_fixture.h"

namespace zq {
namespace {

constexpr char16_t kIni[] = u"C:\\users\\alice\\Documents\\settings.ini";

// The file most cases read: CRLF lines, ANSI text.
constexpr char kSettings[] =
    "# a comment line\r\n"
    "[General]\r\n"
    "StartWithLastProfile=1\r\n"
    "  Spaced Key  =  spaced value  \r\n"
    "#Hidden=1\r\n"
    "  #AlsoHidden=1\r\n"
    "no equals sign here\r\n"
    "Empty=\r\n"
    "Equation=a=b\r\n"
    "Size=12 kB\r\n"
    "Big=-8589934592\r\n"
    "Umlaut=Gr\xFC\xDF" "e\r\n"
    "  [ Profile0 ]  \r\n"
    "Name=default\r\n"
    "  [profile1]  \r\n"
    "Name=second\r\n"
    "Path=Profiles/abc.second\r\n"
    "#[Commented]\r\n"
    "[profile1]\r\n"
    "OnlyLater=yes\r\n"
    "[Last]\r\n"
    "Tail=end";

class IniFile : public PrefixFixture {
 protected:
  void SetUp() override {
    PrefixFixture::SetUp();
    writeHostFile("drive_c/users/alice/Documents/settings.ini", kSettings);
    ASSERT_TRUE(ini_.loadFile(kIni));
  }
  tinifile ini_;
};

TEST_F(IniFile, ReadValue) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;  // nullptr: the default comes back
  };
  const std::vector<Case> cases = {
      {"General", "StartWithLastProfile", "1"},
      {"GENERAL", "startwithlastprofile", "1"},
      {"General", "Spaced Key", "  spaced value  "},  // key trimmed, value kept as written
      {"General", "spaced key", "  spaced value  "},
      {"General", "Hidden", nullptr},      // commented
      {"General", "#Hidden", nullptr},     // commented lines are never keys
      {"General", "AlsoHidden", nullptr},  // commented after spaces
      {"General", "no equals sign here", nullptr},
      {"General", "Empty", ""},
      {"General", "Equation", "a=b"},  // split at the first "="
      {"General", "Name", nullptr},    // belongs to a later section
      {" Profile0 ", "Name", "default"},
      {"Profile0", "Name", nullptr},  // the name inside the brackets is not trimmed
      {"PROFILE1", "Name", "second"},
      {"Profile1", "Path", "Profiles/abc.second"},
      {"Profile1", "OnlyLater", nullptr},  // only the first section of a name counts
      {"Commented", "OnlyLater", nullptr},
      {"Last", "Tail", "end"},  // last line without a line end
      {"Missing", "Name", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("[") + c.section + "] " + c.key);
    const std::u16string value =
        ini_.readValue(utf8ToWide(c.section), utf8ToWide(c.key), u"(default)");
    EXPECT_EQ(value, c.value ? utf8ToWide(c.value) : u"(default)");
    int64_t index = 7;
    EXPECT_EQ(ini_.findKey(utf8ToWide(c.section), utf8ToWide(c.key), index), c.value != nullptr);
    if (!c.value) {
      EXPECT_EQ(index, -1);
    }
  }
  EXPECT_EQ(ini_.readValue(u"General", u"Umlaut", u""), u"Grüße");
}

TEST_F(IniFile, FindSectionGivesTheLineIndex) {
  int64_t index = -2;
  EXPECT_TRUE(ini_.findSection(u"general", index));
  EXPECT_EQ(index, 1);
  EXPECT_TRUE(ini_.findSection(u"Profile1", index));
  EXPECT_EQ(ini_.lines()[static_cast<size_t>(index)], u"  [profile1]  ");
  EXPECT_FALSE(ini_.findSection(u"Commented", index));
  EXPECT_EQ(index, -1);
  EXPECT_EQ(ini_.path(), kIni);
}

TEST_F(IniFile, ReadNumber) {
  struct Case {
    const char* key;
    int64_t value;
  };
  const std::vector<Case> cases = {
      {"StartWithLastProfile", 1},
      {"Big", -8589934592LL},
      {"Size", 99},  // a number and a unit is not a number
      {"Empty", 99},
      {"Missing", 99},
      {"Equation", 99},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini_.readNumber(u"General", utf8ToWide(c.key), 99), c.value) << c.key;
  }
}

TEST_F(IniFile, LoadFileReportsWhetherItHasLines) {
  tinifile ini;
  EXPECT_FALSE(ini.loadFile(u"C:\\users\\alice\\Documents\\missing.ini"));
  EXPECT_EQ(ini.readValue(u"General", u"Key", u"fallback"), u"fallback");
  EXPECT_EQ(ini.readNumber(u"General", u"Key", 5), 5);
  EXPECT_FALSE(ini.loadFile(u"C:\\users\\alice\\Documents\\Empty.txt"));
  EXPECT_FALSE(ini.loadFile(u"C:\\users\\alice\\Documents"));  // a folder
  ini_.release();
  EXPECT_TRUE(ini_.lines().empty());
  EXPECT_EQ(ini_.readValue(u"General", u"StartWithLastProfile", u"gone"), u"gone");
}

TEST_F(IniFile, Utf16FilesInBothByteOrders) {
  const std::u16string text = u"[Général]\r\nNom=Zoë €\r\n";
  for (bool little : {true, false}) {
    SCOPED_TRACE(little ? "LE" : "BE");
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t c : text) {
      const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
      bytes += little ? lo : hi;
      bytes += little ? hi : lo;
    }
    writeHostFile("drive_c/users/alice/Documents/wide.ini", bytes);
    tinifile ini;
    ASSERT_TRUE(ini.loadFile(u"C:\\users\\alice\\Documents\\wide.ini"));
    EXPECT_EQ(ini.readValue(u"GÉNÉRAL", u"nom", u""), u"Zoë €");
  }
}

TEST_F(IniFile, ReadIniStringGivesAnsiText) {
  EXPECT_EQ(readIniString(kIni, "General", "Umlaut", "x"), "Gr\xFC\xDF" "e");
  EXPECT_EQ(readIniString(kIni, "profile1", "path", "x"), "Profiles/abc.second");
  EXPECT_EQ(readIniString(kIni, "General", "Missing", "d\xE9" "faut"), "d\xE9" "faut");
  EXPECT_EQ(readIniString(u"C:\\nothing.ini", "General", "Key", "d"), "d");
}

}  // namespace
}  // namespace zq
