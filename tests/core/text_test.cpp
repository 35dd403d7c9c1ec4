#include "core/text.h"

#include <gtest/gtest.h>

namespace zq {
namespace {

TEST(Text, Utf8RoundTripsThroughUtf16IncludingSurrogatePairs) {
  const std::string utf8 = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80";
  const std::u16string wide = utf8ToWide(utf8);
  EXPECT_EQ(wide, u"Gr\u00fc\u00dfe \u20ac \U0001F600");
  EXPECT_EQ(wideToUtf8(wide), utf8);
}

TEST(Text, InvalidInputBecomesReplacementCharacter) {
  struct Case { std::string in; std::u16string out; };
  const Case cases[] = {
      {"a\xFF" "b", u"a\uFFFDb"},          // byte that starts nothing
      {"a\xC3", u"a\uFFFD"},                // truncated sequence at the end
      {"\xC0\xAF", u"\uFFFD\uFFFD"},       // overlong slash
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(utf8ToWide(c.in), c.out) << c.in;
  EXPECT_EQ(wideToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Text, CaseMappingCoversNonAsciiLetters) {
  EXPECT_EQ(wideLower(u"ABC \u00c4\u00d6\u00dc \u0416 \u0393"), u"abc \u00e4\u00f6\u00fc \u0436 \u03b3");
  EXPECT_EQ(wideUpper(u"stra\u00dfe"), u"STRA\u00dfE");  // simple mapping keeps the sharp s
  EXPECT_TRUE(equalsNoCase(u"Program Files", u"PROGRAM files"));
  EXPECT_FALSE(equalsNoCase(u"abc", u"abd"));
}

}  // namespace
}  // namespace zq
