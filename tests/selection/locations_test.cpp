// Location tags and relative folders of manually selected and searched files.
#include "selection/locations.h"

#include <gtest/gtest.h>

#include "core/known_folders.h"
#include "core/text.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

std::string utf8(std::u16string_view s) { return wideToUtf8(s); }

TEST(RelativeToLocation, Table) {
  struct Case {
    std::u16string_view path, location;
    bool inside;
    std::u16string_view relative;
  };
  const Case cases[] = {
      {u"C:\\Users\\al\\Desktop\\Report.DOC", u"C:\\Users\\al\\Desktop", true, u""},
      {u"C:\\Users\\al\\Desktop\\Sub\\a.txt", u"C:\\Users\\al\\Desktop\\", true, u"\\Sub"},
      // Letter case is ignored; the path keeps its own.
      {u"c:\\USERS\\al\\desktop\\Sub\\Deeper\\a.txt", u"C:\\Users\\AL\\Desktop", true,
       u"\\Sub\\Deeper"},
      {u"C:\\x\\a.txt", u"C:\\", true, u"\\x"},
      {u"D:\\Data\\a.txt", u"C:\\Users\\al\\Desktop", false, u""},
      {u"C:\\Users\\al\\a.txt", u"C:\\Users\\al\\Desktop", false, u""},
      {u"C:\\a.txt", u"", false, u""},
      // A sibling whose name begins like the location is not inside it.
      {u"C:\\Users\\al\\Desktop2\\a.txt", u"C:\\Users\\al\\Desktop", false, u""},
      {u"C:\\Users\\alice\\a.txt", u"C:\\Users\\al", false, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf8(c.path) + " in " + utf8(c.location));
    std::u16string relative = u"junk";
    EXPECT_EQ(relativeToLocation(c.path, c.location, relative), c.inside);
    EXPECT_EQ(relative, c.relative);
  }
}

LocationFolders sevenFolders() {
  LocationFolders f;
  f.folders = {u"C:\\Program Files",
               u"C:\\Users\\sam\\Desktop",
               u"C:\\Users\\sam\\AppData\\Roaming",
               u"C:\\Users\\sam\\AppData\\Local",
               u"C:\\Users\\sam\\Documents",
               u"C:\\Users\\sam"};
  return f;
}

LocationFolders xpFolders() {
  LocationFolders f;
  const std::u16string p = u"C:\\Documents and Settings\\bob";
  f.folders = {u"C:\\Program Files",      p + u"\\Desktop",
               p + u"\\Application Data", p + u"\\Local Settings\\Application Data",
               p + u"\\My Documents",     p};
  return f;
}

TEST(LocationOfFile, FirstHoldingFolderWinsElseNormal) {
  struct Case {
    LocationFolders folders;
    std::u16string_view path;
    std::string_view tag;
    std::u16string_view relative;
  };
  LocationFolders noProfile = sevenFolders();
  noProfile.folders[5].clear();  // systems before NT 5
  const Case cases[] = {
      {sevenFolders(), u"C:\\Program Files\\App\\x.dll", "programfiles", u"\\App"},
      {sevenFolders(), u"C:\\Users\\sam\\Desktop\\Report.DOC", "desktop", u""},
      {sevenFolders(), u"C:\\Users\\sam\\AppData\\Roaming\\Moz\\p.js", "appdata", u"\\Moz"},
      {sevenFolders(), u"C:\\Users\\sam\\AppData\\Local\\Temp\\t.txt", "localappdata", u"\\Temp"},
      {sevenFolders(), u"C:\\Users\\sam\\Documents\\Taxes\\2019\\r.pdf", "documents",
       u"\\Taxes\\2019"},
      {sevenFolders(), u"C:\\Users\\sam\\Music\\song.mp3", "userdir", u"\\Music"},
      {sevenFolders(), u"C:\\Users\\sam\\Desktop2\\a.txt", "userdir", u"\\Desktop2"},
      {xpFolders(), u"C:\\Documents and Settings\\bob\\Local Settings\\Application Data\\x.db",
       "localappdata", u""},
      {xpFolders(), u"C:\\Documents and Settings\\bob\\My Documents\\a.doc", "documents", u""},
      {noProfile, u"C:\\Users\\sam\\Music\\song.mp3", "normal", u"C\\Users\\sam\\Music"},
      {sevenFolders(), u"D:\\Data\\Sub\\a.txt", "normal", u"D\\Data\\Sub"},
      {sevenFolders(), u"C:\\a.txt", "normal", u"C"},
      {sevenFolders(), u"\\\\server\\share\\dir\\a.txt", "normal", u"server\\share\\dir"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf8(c.path));
    const Location location = locationOfFile(c.path, c.folders);
    EXPECT_EQ(location.tag, c.tag);
    EXPECT_EQ(location.relativeFolder, c.relative);
  }
}

TEST(LocationOfItem, TheItemsOwnPath) {
  struct Case {
    std::u16string_view path;
    std::string_view tag;
    std::u16string_view relative;
  };
  const Case cases[] = {
      {u"c:\\users\\sam\\documents\\taxes", "documents", u"\\taxes"},
      {u"c:\\users\\sam\\documents\\taxes\\", "documents", u"\\taxes"},
      {u"c:\\users\\sam\\desktop", "desktop", u""},
      {u"c:\\users\\sam\\desktop\\report.doc", "desktop", u"\\report.doc"},
      {u"d:\\data\\", "normal", u"d\\data"},
      {u"d:\\data\\a.txt", "normal", u"d\\data\\a.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf8(c.path));
    const Location location = locationOfItem(c.path, sevenFolders());
    EXPECT_EQ(location.tag, c.tag);
    EXPECT_EQ(location.relativeFolder, c.relative);
  }
}

TEST(LocationFolders, OfTheCurrentMachine) {
  {
    SampleComputer pc;
    ASSERT_TRUE(pc.ok());
    const LocationFolders f = LocationFolders::ofCurrentMachine();
    EXPECT_EQ(f.folders[0], programFilesFolder());
    EXPECT_EQ(f.folders[1], desktopFolder());
    EXPECT_EQ(f.folders[2], appDataFolder());
    EXPECT_EQ(f.folders[3], localAppDataFolder());
    EXPECT_EQ(f.folders[4], documentsFolder());
    EXPECT_EQ(f.folders[5], u"C:\\users\\alice");
  }
  SampleMachineRecipe old;
  old.version.major = 4;
  old.version.minor = 0;
  SampleComputer pc(old);
  ASSERT_TRUE(pc.ok());
  EXPECT_EQ(LocationFolders::ofCurrentMachine().folders[5], u"");
}

}  // namespace
}  // namespace zq
