#include "core/masks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"

namespace zq {
namespace {

struct MaskCase {
  const char* mask;
  const char* name;
  bool matches;
};

TEST(Masks, MatchesMask) {
  const std::vector<MaskCase> cases = {
      // Masks the programs use.
      {"*.xml", "Settings.XML", true},
      {"*.xml", "settings.xml.bak", false},
      {"userdictionary*", "UserDictionary.dic", true},
      {"userdictionary*", "dictionary.dic", false},
      {"cache", "cache", true},
      {"cache", "CACHE", true},
      {"cache", "cache2", false},
      {"*.pst", "Outlook.pst", true},
      {"*.pst", "Outlook.ost", false},
      {"*", "anything", true},
      {"*", "", false},
      {"", "", true},  // no "*": plain equality
      {"a", "", false},
      // Segments between stars.
      {"*abc*", "xxabcxx", true},
      {"*abc*", "xxabxcx", false},
      {"a*b*c", "aXbYc", true},
      {"a*b*c", "aXcYb", false},
      {"**", "x", true},
      {"*.*", "noext", false},
      // Segments must not overlap what an earlier segment or the head matched.
      {"*bc*ab*", "xxabbc", false},
      {"*bc*ab*", "xxbcab", true},
      {"a*a", "a", false},
      {"a*a", "aa", true},
      {"ab*bc", "abc", false},
      {"ab*bc", "abbc", true},
      {"*ab*ab", "xab", false},
      {"*ab*ab", "abab", true},
      // "?" is an ordinary character in these masks.
      {"?.txt", "a.txt", false},
  };
  for (const MaskCase& c : cases) {
    EXPECT_EQ(matchesMask(utf8ToWide(c.mask), utf8ToWide(c.name)), c.matches)
        << "mask \"" << c.mask << "\" name \"" << c.name << "\"";
  }
  EXPECT_TRUE(matchesMask(u"*.doc", u"ÜBER.DOC"));
  EXPECT_TRUE(matchesMask(u"über*", u"ÜBERSICHT"));
}

TEST(Masks, MatchesMaskList) {
  const std::vector<MaskCase> cases = {
      {"activesharingfolder.dat;sharing folders;sharingmetadata", "Sharing Folders", true},
      {"activesharingfolder.dat;sharing folders;sharingmetadata", "SharingMetadata", true},
      {"activesharingfolder.dat;sharing folders;sharingmetadata", "Sharing", false},
      {"*.dbx;*.wab", "Inbox.DBX", true},
      {" *.dbx;*.wab ", "x.wab", true},  // the list is trimmed as a whole
      {"*.dbx;;*.wab", "x.wab", false},  // an empty item ends the list
      {"*.dbx;", "x.dbx", true},
      {"", "x", false},
      {"*.dbx; *.wab", "x.wab", false},  // items themselves are not trimmed
  };
  for (const MaskCase& c : cases) {
    EXPECT_EQ(matchesMaskList(utf8ToWide(c.mask), utf8ToWide(c.name)), c.matches)
        << "list \"" << c.mask << "\" name \"" << c.name << "\"";
  }
}

}  // namespace
}  // namespace zq
