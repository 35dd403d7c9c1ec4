#include "core/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace zq {
namespace {

TEST(CodePage, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (uint32_t cp : {1252u, 1250u, 1251u, 28591u}) {
    SCOPED_TRACE(cp);
    std::u16string wide = ansiToWide(all, cp);
    ASSERT_EQ(wide.size(), 256u);
    bool replaced = true;
    EXPECT_EQ(wideToAnsi(wide, cp, &replaced), all);
    EXPECT_FALSE(replaced);
  }
}

TEST(CodePage, KnownCharacters) {
  struct Case {
    uint32_t cp;
    uint8_t byte;
    char16_t ch;
  } cases[] = {
      {1252, 0x80, u'\u20AC'},
      {1252, 0x9F, u'\u0178'},
      {1252, 0x8A, u'\u0160'},
      {1252, 0xE9, u'\u00E9'},
      {1252, 0x41, u'A'},
      // Undefined in 1252: Windows passes them through as the same code point.
      {1252, 0x81, u'\u0081'},
      {1252, 0x8D, u'\u008D'},
      {1252, 0x8F, u'\u008F'},
      {1252, 0x90, u'\u0090'},
      {1252, 0x9D, u'\u009D'},
      {1250, 0x8C, u'\u015A'},
      {1250, 0xB9, u'\u0105'},
      {1250, 0xFF, u'\u02D9'},
      {1251, 0xC0, u'\u0410'},
      {1251, 0xFF, u'\u044F'},
      {1251, 0xB9, u'\u2116'},
      {1251, 0x98, u'\u0098'},
      {28591, 0x80, u'\u0080'},
      {28591, 0xFF, u'\u00FF'},
      {437, 0x80, u'\u20AC'},  // unknown code pages read as 1252
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cp << " byte " << int(c.byte));
    std::string narrow(1, static_cast<char>(c.byte));
    EXPECT_EQ(ansiToWide(narrow, c.cp), std::u16string(1, c.ch));
    EXPECT_EQ(wideToAnsi(std::u16string(1, c.ch), c.cp), narrow);
  }
  EXPECT_TRUE(isKnownCodePage(1252));
  EXPECT_FALSE(isKnownCodePage(437));
}

TEST(CodePage, UnmappableBecomesQuestionMark) {
  struct Case {
    uint32_t cp;
    std::u16string wide;
    std::string narrow;
    bool replaced;
  } cases[] = {
      {1252, u"Gr\u00FC\u00DFe \u20AC",
       "Gr\xFC\xDF"
       "e \x80",
       false},
      {1252, u"snow \u2603 \u65E5\u672C", "snow ? ??", true},
      {1252, u"face \U0001F600!", "face ?!", true},  // one "?" for a surrogate pair
      {1252, u"lone \xD800 x", "lone ? x", true},
      {1251, u"\u041F\u0440\u0438 \u00FC", "\xCF\xF0\xE8 ?", true},
      {1250, u"\u0141\u00F3d\u017A \u00C5",
       "\xA3\xF3"
       "d\x9F ?",
       true},
      {1252, u"", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.narrow);
    bool replaced = !c.replaced;
    EXPECT_EQ(wideToAnsi(c.wide, c.cp, &replaced), c.narrow);
    EXPECT_EQ(replaced, c.replaced);
  }
}

TEST(CodePage, Utf8CodePage) {
  const std::u16string text = u"Gr\u00FC\u00DFe \U0001F600";
  bool replaced = true;
  std::string narrow = wideToAnsi(text, 65001, &replaced);
  EXPECT_EQ(narrow,
            "Gr\xC3\xBC\xC3\x9F"
            "e \xF0\x9F\x98\x80");
  EXPECT_FALSE(replaced);
  EXPECT_EQ(ansiToWide(narrow, 65001), text);
  wideToAnsi(u"a\xDC00", 65001, &replaced);
  EXPECT_TRUE(replaced);
}

}  // namespace
}  // namespace zq
