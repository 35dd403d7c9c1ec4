#include "core/paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zq {
namespace {

TEST(Paths, TrailingSeparators) {
  EXPECT_EQ(addBackslash(u""), u"");  // an empty parent gives no leading "\"
  EXPECT_EQ(addBackslash(u"C:"), u"C:\\");
  EXPECT_EQ(addBackslash(u"C:\\x\\"), u"C:\\x\\");
  EXPECT_EQ(addBackslash(addBackslash(u"") + u"") + u"mail", u"mail");
  EXPECT_EQ(removeBackslash(u"C:\\x\\"), u"C:\\x");
  EXPECT_EQ(removeBackslash(u"C:\\x\\\\"), u"C:\\x\\");  // only one comes off
  EXPECT_EQ(removeBackslash(u""), u"");
  EXPECT_EQ(addSlash(u"/pub"), u"/pub/");
  EXPECT_EQ(addSlash(u"/pub/"), u"/pub/");
  EXPECT_EQ(addSlash(u""), u"");
  EXPECT_EQ(slashesToBackslashes(u"a/b\\c/"), u"a\\b\\c\\");
}

TEST(Paths, PartsOfAPath) {
  struct Case {
    std::u16string path, folder, name, extension;
  };
  const std::vector<Case> cases = {
      {u"C:\\Mail\\Inbox.dbx", u"C:\\Mail\\", u"Inbox.dbx", u".dbx"},
      {u"C:\\Mail\\", u"C:\\Mail\\", u"", u""},
      {u"Inbox.dbx", u"", u"Inbox.dbx", u".dbx"},
      {u"archive.tar.gz", u"", u"archive.tar.gz", u".gz"},
      {u"C:\\Users\\john.doe\\notes", u"C:\\Users\\john.doe\\", u"notes", u""},
      {u"C:\\x\\.profile", u"C:\\x\\", u".profile", u".profile"},
      {u"C:\\x\\name.", u"C:\\x\\", u"name.", u"."},
      {u"", u"", u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(folderOfPath(c.path), c.folder);
    EXPECT_EQ(nameOfPath(c.path), c.name);
    EXPECT_EQ(extensionOfPath(c.path), c.extension);
  }
}

}  // namespace
}  // namespace zq
