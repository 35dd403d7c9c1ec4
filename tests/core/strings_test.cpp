#include "core/strings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace zq {
namespace {

TEST(Strings, PartsCountFromOneAndClampToTheText) {
  struct Case {
    const char* s;
    int64_t from, to;
    const char* mid;
  };
  const std::vector<Case> cases = {
      {"abcdef", 2, 4, "bcd"}, {"abcdef", 1, 6, "abcdef"}, {"abcdef", 0, 2, "ab"},
      {"abcdef", 5, 99, "ef"}, {"abcdef", 4, 3, ""},       {"", 1, 1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(midPart(std::string(c.s), c.from, c.to), c.mid) << c.s << " " << c.from << ".." << c.to;
  }
  EXPECT_EQ(leftPart("abc", 2), "ab");
  EXPECT_EQ(leftPart("abc", 9), "abc");
  // "position - 1" of a text that was not found must give nothing, not everything.
  EXPECT_EQ(leftPart("abc", 0 - 1), "");
  EXPECT_EQ(rightPart("abcdef", 3), "cdef");
  EXPECT_EQ(rightPart("abcdef", 7), "");
  EXPECT_EQ(wideLeft(u"äbc", 1), u"ä");
  EXPECT_EQ(wideFrom(u"äbc", 2), u"bc");
  EXPECT_EQ(wideMid(u"C:\\x\\y", 4, 4), u"x");
}

TEST(Strings, PositionsAreOneBasedAndZeroMeansNotFound) {
  struct Case {
    const char* sub;
    const char* s;
    int64_t from;
    int64_t pos;
    int64_t last;
  };
  const std::vector<Case> cases = {
      {"b", "abcabc", 1, 2, 5},  {"b", "abcabc", 2, 2, 5},  {"b", "abcabc", 3, 5, 5},
      {"b", "abcabc", 6, 0, 5},  {"b", "abcabc", 0, 2, 5},  {"x", "abcabc", 1, 0, 0},
      {"", "abc", 1, 0, 0},      {"abc", "ab", 1, 0, 0},    {"aa", "aaaa", 2, 2, 3},
      {"abc", "abc", 1, 1, 1},   {"c", "abc", 4, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sub) + " in " + c.s);
    EXPECT_EQ(posFrom(std::string(c.sub), std::string(c.s), c.from), c.pos);
    EXPECT_EQ(lastPos(std::string(c.sub), std::string(c.s)), c.last);
    const std::u16string wsub(c.sub, c.sub + std::char_traits<char>::length(c.sub));
    const std::u16string ws(c.s, c.s + std::char_traits<char>::length(c.s));
    EXPECT_EQ(widePosFrom(wsub, ws, c.from), c.pos);
    EXPECT_EQ(wideLastPos(wsub, ws), c.last);
  }
  EXPECT_EQ(widePos(u"\\", u"C:\\a\\b"), 3);
}

TEST(Strings, ReplaceAllScansOnAfterTheInsertedText) {
  struct Case {
    const char *s, *from, *to, *out;
  };
  const std::vector<Case> cases = {
      {"a.b.c", ".", "\\", "a\\b\\c"},
      {"aaa", "a", "aa", "aaaaaa"},  // a replacement holding the old text is not replaced again
      {"abab", "ab", "", ""},
      {"xyz", "q", "r", "xyz"},
      {"abc", "", "r", "abc"},  // nothing to look for: unchanged, no endless loop
      {"", "a", "b", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(replaceAll(c.s, c.from, c.to), c.out) << c.s;
  EXPECT_EQ(replaceAll(u"C:/a/b", u"/", u"\\"), u"C:\\a\\b");
}

TEST(Strings, TrimRemovesSpacesThenCarriageReturns) {
  struct Case {
    std::u16string in, out;
  };
  const std::vector<Case> cases = {
      {u"  abc  ", u"abc"},
      {u"abc\r", u"abc"},
      {u" \rabc\r ", u"abc"},
      {u"\r abc \r", u" abc "},  // returns come off after the spaces, so inner spaces stay
      {u"\tabc\n", u"\tabc\n"},  // tabs and line feeds are not trimmed
      {u"   ", u""},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(trimText(c.in), c.out);
  EXPECT_EQ(trimText(" x "), "x");
}

TEST(Strings, FieldAtSplitsTheTrimmedText) {
  struct Case {
    const char* s;
    int64_t n;
    const char* field;
  };
  const std::vector<Case> cases = {
      {"a;b;c", 1, "a"},   {"a;b;c", 3, "c"},     {"a;b;c", 4, ""},  {"a;b;c", 0, ""},
      {" a;b ", 2, "b"},   {"a; b ;c", 2, " b "}, {"a;;c", 2, ""},   {"a;;c", 3, "c"},
      {"", 1, ""},         {"abc", 1, "abc"},     {"a;", 2, ""},     {"a;", 3, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fieldAt(std::string(c.s), c.n, ';'), c.field) << c.s << " #" << c.n;
  }
  EXPECT_EQ(fieldAt(u"x|ÿ|z", 2, u'|'), u"ÿ");
}

TEST(Strings, ArgumentAtHonoursQuotes) {
  struct Case {
    const char* s;
    int64_t n;
    const char* arg;
  };
  const std::vector<Case> cases = {
      {"-auto", 1, "-auto"},
      {"prog.exe -auto", 2, "-auto"},
      {"  a   b  ", 2, "b"},
      {"\"C:\\Program Files\\x.exe\" -auto", 1, "C:\\Program Files\\x.exe"},
      {"\"C:\\Program Files\\x.exe\" -auto", 2, "-auto"},
      {"a \"b c\" d", 3, "d"},
      {"a \"unclosed quote", 2, "unclosed quote"},
      {"a b", 3, ""},
      {"x", 1, "x"},
      {"\"", 1, "\""},  // one character comes back as it is
      {"", 1, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(argumentAt(std::string(c.s), c.n), c.arg) << c.s;
}

TEST(Strings, CaseFollowsTheCharacterTables) {
  EXPECT_EQ(upperText(u"straße émile"), u"STRAßE ÉMILE");
  EXPECT_EQ(lowerText(u"ÄÖÜ ABC"), u"äöü abc");
}

TEST(Strings, CopyToWideArrayCutsAt520Units) {
  char16_t array[1024];
  std::fill(std::begin(array), std::end(array), u'#');
  const std::u16string longPath(600, u'p');
  copyToWideArray(array, longPath);
  EXPECT_EQ(std::u16string(array), std::u16string(520, u'p'));

  copyToWideArray(array, u"C:\\short");
  EXPECT_EQ(std::u16string(array), u"C:\\short");

  char16_t tiny[4];
  copyToWideArray(tiny, u"abcdef");
  EXPECT_EQ(std::u16string(tiny), u"abc");
}

TEST(Strings, TextToInt64AcceptsOnlyWholeIntegers) {
  struct Case {
    const char* s;
    bool ok;
    int64_t value;
  };
  const std::vector<Case> cases = {
      {"0", true, 0},
      {"12", true, 12},
      {"-12", true, -12},
      {"+7", true, 7},
      {" 42", true, 42},  // "key = 42" in an INI file
      {"9223372036854775807", true, std::numeric_limits<int64_t>::max()},
      {"-9223372036854775808", true, std::numeric_limits<int64_t>::min()},
      {"9223372036854775808", false, 0},
      {"12 kB", false, 0},
      {"12 ", false, 0},
      {"1e3", false, 0},
      {"0x10", false, 0},
      {"-", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    int64_t v = 12345;
    EXPECT_EQ(textToInt64(c.s, v), c.ok) << c.s;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.s;
    }
    EXPECT_EQ(textToInt64OrMinus1(c.s), c.ok ? c.value : -1) << c.s;
  }
  int64_t v = 0;
  EXPECT_TRUE(textToInt64(u"4294967296", v));
  EXPECT_EQ(v, 4294967296LL);
  EXPECT_EQ(int64ToText(-4294967296LL), "-4294967296");
}

TEST(Strings, SmallNumberHelpers) {
  EXPECT_EQ(minOf(-1, 5), -1);
  EXPECT_EQ(maxOf(int64_t(1) << 40, 5), int64_t(1) << 40);

  int64_t counter = 2;
  EXPECT_FALSE(stepCounter(counter, 3, 0));
  EXPECT_EQ(counter, 3);
  EXPECT_TRUE(stepCounter(counter, 3, 0));
  EXPECT_EQ(counter, 0);

  struct Case {
    int64_t blockBits, bits, bytes;
  };
  const std::vector<Case> cases = {
      {64, 1, 8}, {64, 64, 8}, {64, 65, 16}, {64, 0, 0}, {8, 9, 2}, {0, 8, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(wholeBlockBytes(c.blockBits, c.bits), c.bytes) << c.blockBits << "/" << c.bits;
}

}  // namespace
}  // namespace zq
