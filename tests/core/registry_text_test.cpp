// The line format of the prefix's registry files: every value and key line
// below is taken from files the prefix wrote, decoded to the exact data and
// written back to the same text.
#include "core/registry_text.h"

#include <gtest/gtest.h>

#include <random>

namespace zq {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes utf16z(std::u16string_view text) {
  Bytes b;
  for (char16_t c : text) {
    b.push_back(static_cast<uint8_t>(c & 0xFF));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  b.push_back(0);
  b.push_back(0);
  return b;
}

// Reads one value from text that may span continuation lines; the whole
// text must be used.
bool readValue(const std::string& text, RegValue& out, std::string& reason) {
  regfile::LineReader reader(text);
  std::string_view line;
  if (!reader.next(line)) return false;
  if (!regfile::parseValue(line, reader, out, reason)) return false;
  std::string_view rest;
  EXPECT_FALSE(reader.next(rest)) << "left over: " << rest;
  return true;
}

std::string written(const RegValue& v) {
  std::string out;
  regfile::appendValue(out, v);
  return out;
}

struct ValueCase {
  const char* line;  // as the prefix wrote it, without the final "\n"
  std::u16string name;
  uint32_t type;
  Bytes data;
};

TEST(RegistryText, ValueLinesDecodeToExactDataAndWriteBackUnchanged) {
  const ValueCase cases[] = {
      {R"("Umlaut"="Gr\xfc\x00dfe \x20ac \x65e5\x672c \xd83d\xde00")", u"Umlaut", kRegSz,
       utf16z(u"Gr\u00fc\u00dfe \u20ac \u65e5\u672c \U0001F600")},
      {R"("HexAfter"="\x00fc1 \xfcg")", u"HexAfter", kRegSz, utf16z(u"\u00fc1 \u00fcg")},
      {R"("Caf\xe9 \xfc"="na\xefve \xdf\x20ac")", u"Caf\u00e9 \u00fc", kRegSz,
       utf16z(u"na\u00efve \u00df\u20ac")},
      {R"("Ctl15"="A\0015\1x\e\a")", u"Ctl15", kRegSz,
       utf16z(std::u16string{u'A', 1, u'5', 1, u'x', 0x1b, 7})},
      {R"("Tab\tCtl"="line1\nline2\ttab")", u"Tab\tCtl", kRegSz, utf16z(u"line1\nline2\ttab")},
      {R"("EmbeddedNul"="A\0B")", u"EmbeddedNul", kRegSz, {0x41, 0, 0, 0, 0x42, 0, 0, 0}},
      {R"("Plain"="C:\\Program Files\\App \"quoted\"")", u"Plain", kRegSz,
       utf16z(u"C:\\Program Files\\App \"quoted\"")},
      {R"("Name with \"quote\" and \\back"="x")", u"Name with \"quote\" and \\back", kRegSz,
       utf16z(u"x")},
      {R"(@="default value")", u"", kRegSz, utf16z(u"default value")},
      {R"("Empty"="")", u"Empty", kRegSz, {0, 0}},
      {R"("Exp"=str(2):"%APPDATA%\\Thing")", u"Exp", kRegExpandSz,
       utf16z(u"%APPDATA%\\Thing")},
      {R"("Multi"=str(7):"one\0two\0three\0")", u"Multi", kRegMultiSz,
       utf16z(std::u16string(u"one\0two\0three\0", 14))},
      {R"("MultiEmpty"=str(7):"")", u"MultiEmpty", kRegMultiSz, {0, 0}},
      {R"("Dw"=dword:deadbeef)", u"Dw", kRegDword, {0xef, 0xbe, 0xad, 0xde}},
      {R"("Dw2"=dword:0000002a)", u"Dw2", kRegDword, {0x2a, 0, 0, 0}},
      {R"("Dw3"=hex(4):01,02,03)", u"Dw3", kRegDword, {1, 2, 3}},
      {R"("OddLen"=hex(2):41,00,00,00,00)", u"OddLen", kRegExpandSz, {0x41, 0, 0, 0, 0}},
      {R"("Bin"=hex:00,ff,10,20,30,40,50,60,70)", u"Bin", kRegBinary,
       {0x00, 0xff, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70}},
      {R"("EmptyBin"=hex:)", u"EmptyBin", kRegBinary, {}},
      {R"("Qw"=hex(b):88,77,66,55,44,33,22,11)", u"Qw", kRegQword,
       {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}},
      {R"("None"=hex(0):00,00)", u"None", kRegNone, {0, 0}},
      {R"(@=hex(ffff0007):03,00,00,00)", u"", 0xffff0007u, {3, 0, 0, 0}},
      {"\"HardwareId\"=hex(7):72,00,6f,00,6f,00,74,00,5c,00,77,00,69,00,6e,00,65,00,62,\\\n"
       "  00,75,00,73,00,00,00,00,00,43,00,3a,00,5c,00,77,00,69,00,6e,00,64,00,6f,00,\\\n"
       "  77,00,73,00,5c,00,69,00,6e,00,66,00",
       u"HardwareId", kRegMultiSz,
       [] {
         Bytes b = utf16z(u"root\\winebus");
         b.pop_back(), b.pop_back();
         for (uint8_t x : Bytes{0, 0, 0, 0}) b.push_back(x);
         Bytes tail = utf16z(u"C:\\windows\\inf");
         b.insert(b.end(), tail.begin(), tail.end() - 2);
         return b;
       }()},
      {"\"LongBin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
       "  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,\\\n"
       "  2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,\\\n"
       "  47,48,49,4a,4b,4c,4d,4e,4f",
       u"LongBin", kRegBinary,
       [] {
         Bytes b;
         for (int i = 0; i < 0x50; ++i) b.push_back(static_cast<uint8_t>(i));
         return b;
       }()},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.line);
    RegValue v;
    std::string reason;
    ASSERT_TRUE(readValue(c.line, v, reason)) << reason;
    EXPECT_EQ(v.name, c.name);
    EXPECT_EQ(v.type, c.type);
    EXPECT_EQ(v.data, c.data);
    EXPECT_EQ(written(v), std::string(c.line) + "\n");
  }
}

// Which form a value is written in depends on its data, not only its type.
TEST(RegistryText, StringAndDwordFormsOnlyForDataThatFitsThem) {
  auto value = [](uint32_t type, Bytes data) {
    RegValue v;
    v.name = u"v";
    v.type = type;
    v.data = std::move(data);
    return v;
  };
  const std::pair<RegValue, const char*> cases[] = {
      {value(kRegSz, {}), "\"v\"=hex(1):\n"},
      {value(kRegSz, {0}), "\"v\"=hex(1):00\n"},
      {value(kRegSz, {0x41, 0}), "\"v\"=hex(1):41,00\n"},  // no NUL unit at the end
      {value(kRegSz, {0x41, 0, 0}), "\"v\"=hex(1):41,00,00\n"},
      {value(kRegSz, {0, 0x41, 0, 0}), "\"v\"=\"\\x4100\"\n"},
      {value(kRegExpandSz, {0, 0}), "\"v\"=str(2):\"\"\n"},
      {value(kRegMultiSz, {0x61, 0}), "\"v\"=hex(7):61,00\n"},
      {value(kRegDword, {1, 2, 3, 4, 5}), "\"v\"=hex(4):01,02,03,04,05\n"},
      {value(kRegDword, {}), "\"v\"=hex(4):\n"},
      {value(kRegQword, {1, 0, 0, 0}), "\"v\"=hex(b):01,00,00,00\n"},
      {value(0x1003, {0, 0}), "\"v\"=hex(1003):00,00\n"},
  };
  for (const auto& [v, line] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(written(v), line);
    RegValue back;
    std::string reason;
    std::string text = line;
    text.pop_back();
    ASSERT_TRUE(readValue(text, back, reason)) << reason;
    EXPECT_EQ(back.type, v.type);
    EXPECT_EQ(back.data, v.data);
  }
}

// Any name, type and data written and read back is the same value: the
// escapes must stay unambiguous whatever follows them (hex digits after a
// "\x" escape, octal digits after a control character, quotes, backslashes).
TEST(RegistryText, RandomValuesSurviveWritingAndReading) {
  std::mt19937 random(20261211);
  const char16_t alphabet[] = {u'a', u'F', u'0', u'7', u'8', u'9', u'"',  u'\\', u'[',  u']',
                               u' ', u'=', u'@', 0,    1,    7,    9,     0x1b,  0x1f,  0x7f,
                               0x80, 0xe9, 0xff, 0x100, 0x20ac, 0xd83d, 0xde00, 0xfffe, 0xffff};
  auto randomText = [&](size_t maxLength) {
    std::u16string s(random() % (maxLength + 1), u'a');
    for (auto& c : s) c = alphabet[random() % std::size(alphabet)];
    return s;
  };
  const uint32_t types[] = {kRegNone, kRegSz, kRegExpandSz, kRegBinary, kRegDword, kRegMultiSz,
                            kRegQword, 0xffff0007u, 0xffffffffu};
  for (int i = 0; i < 3000; ++i) {
    RegValue v;
    v.name = randomText(12);
    v.type = types[random() % std::size(types)];
    if (random() % 2 == 0 && v.type != kRegBinary) {
      std::u16string text = randomText(40);
      for (char16_t c : text) {
        v.data.push_back(static_cast<uint8_t>(c & 0xFF));
        v.data.push_back(static_cast<uint8_t>(c >> 8));
      }
      v.data.push_back(0), v.data.push_back(0);
    } else {
      v.data.resize(random() % 200);
      for (auto& b : v.data) b = static_cast<uint8_t>(random());
    }
    std::string text = written(v);
    SCOPED_TRACE(text);
    ASSERT_EQ(text.back(), '\n');
    // ASCII only; DEL is written as it is, like every other unit below 128.
    for (char c : text) ASSERT_TRUE(c == '\n' || (c >= 32 && c <= 127)) << "not ASCII";
    text.pop_back();
    RegValue back;
    std::string reason;
    ASSERT_TRUE(readValue(text, back, reason)) << reason;
    ASSERT_EQ(back.name, v.name);
    ASSERT_EQ(back.type, v.type);
    ASSERT_EQ(back.data, v.data);
  }
}

TEST(RegistryText, KeyLinesWithEscapedNames) {
  struct Case {
    const char* line;
    std::vector<std::u16string> path;
  };
  const Case cases[] = {
      {R"([Software\\Test\\Key \[brackets\] \xfc\\Deeper] 1796984374)",
       {u"Software", u"Test", u"Key [brackets] \u00fc", u"Deeper"}},
      {R"([Software\\Test\\Br\]acket\\Quote"Key\\Slash/Key] 1796984374)",
       {u"Software", u"Test", u"Br]acket", u"Quote\"Key", u"Slash/Key"}},
      {R"([Control Panel\\International\\\xd83c\xdf0e\xd83c\xdf0f\xd83c\xdf0d] 1796984374)",
       {u"Control Panel", u"International", u"\U0001F30E\U0001F30F\U0001F30D"}},
      {R"([Software\\\x00e9A\\Tab\tName] 1796984374)", {u"Software", u"\u00e9A", u"Tab\tName"}},
      {"[] 1796984374", {}},
  };
  const uint64_t time = 0x1dd89591e490eb4;  // second 1796984374
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    regfile::KeyLine key;
    std::string reason;
    ASSERT_TRUE(regfile::parseKeyLine(c.line, key, reason)) << reason;
    EXPECT_EQ(key.path, c.path);
    EXPECT_TRUE(key.hasSeconds);
    EXPECT_EQ(key.seconds, 1796984374u);

    std::vector<const std::u16string*> path;
    for (const auto& name : key.path) path.push_back(&name);
    std::string out;
    regfile::appendKeyHeader(out, path, time);
    EXPECT_EQ(out, std::string(c.line) + "\n#time=1dd89591e490eb4\n");
  }
}

}  // namespace
}  // namespace zq
