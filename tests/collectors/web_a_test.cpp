// The collectors of Firefox, Google Chrome, Internet Explorer, Opera and
// Safari on sample computers.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "collectors/browsers.h"
#include "collectors/collector_table.h"
#include "collectors/firefox.h"
#include "collectors/mozilla_profiles.h"
#include "collectors/opera.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "testing/recording_entries.h"
#include "testing/sample_web_a.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

using CollectFn = std::function<bool(Entries&)>;

SampleMachineRecipe recipeWith(std::vector<SampleData> data) {
  SampleMachineRecipe recipe;
  recipe.data.insert(recipe.data.end(), data.begin(), data.end());
  return recipe;
}

// The stored files as "tag|relative folder|path" with the user's profile
// shown as "~", lower case, sorted.
std::vector<std::string> summary(const RecordingEntries& entries, const std::string& program) {
  const std::u16string profile = comparablePath(addBackslash(profileFolder()));
  std::vector<std::string> lines;
  for (const RecordingEntries::Stored& s : entries.stored) {
    EXPECT_EQ(s.programName, program);
    std::u16string path = comparablePath(s.path);
    if (path.starts_with(profile)) path = u"~\\" + path.substr(profile.size());
    lines.push_back(s.tag + "|" + wideToUtf8(s.relativeFolder) + "|" + wideToUtf8(path));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

bool holds(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool anyContains(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

const std::string kFirefoxProfile =
    "~\\appdata\\roaming\\mozilla\\firefox\\profiles\\k3x9q2ab.default\\";
const std::string kOutside = "d:\\firefox profiles\\alice.work\\";

TEST(FirefoxCollector, MainFolderOnceAndTheProfileOnAnotherDriveOnce) {
  SampleComputer pc(recipeWith({sampleFirefox()}));
  ASSERT_TRUE(pc.ok());
  for (bool backupEdition : {true, false}) {
    RecordingEntries entries(backupEdition);
    EXPECT_TRUE(collectFirefox(entries));
    EXPECT_EQ(entries.errorText(), u"");
    EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{backupEdition
                                                                 ? u"Backing up Firefox files..."
                                                                 : u"Archiving Firefox files..."});
    const auto lines = summary(entries, "Firefox");
    const std::string inside = "firefox|Profiles\\k3x9q2ab.default|" + kFirefoxProfile;
    // Databases travel with their companions, in both profiles.
    for (const char* name : {"places.sqlite", "places.sqlite-wal", "places.sqlite-shm",
                             "favicons.sqlite-wal", "domain_to_categories.sqlite-journal"}) {
      EXPECT_TRUE(holds(lines, inside + name)) << name;
      EXPECT_TRUE(holds(lines, "otherfirefox|alice.work|" + kOutside + name)) << name;
    }
    EXPECT_TRUE(holds(lines, "firefox||~\\appdata\\roaming\\mozilla\\firefox\\profiles.ini"));
    // The profile inside the Firefox folder is not stored a second time.
    EXPECT_FALSE(anyContains(lines, "otherfirefox|Profiles"));
    const size_t outside = std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
      return l.starts_with("otherfirefox|");
    });
    EXPECT_EQ(outside, 12u);  // each file of the outside profile once
    // Lock and cache stay behind.
    EXPECT_FALSE(anyContains(lines, "parent.lock"));
    EXPECT_FALSE(anyContains(lines, "\\cache\\"));
  }
}

// profiles.ini as a user may leave it: a profile in a sibling folder whose
// name begins like the Firefox folder's, two outside profiles with the same
// folder name, a section without a path, and a gap that ends the list.
TEST(FirefoxCollector, ProfilesOutsideAreTellApartAndKeptApart) {
  SampleData extra;
  extra.name = "firefox profiles";
  extra.files = {
      {u"%APPDATA%\\Mozilla\\Firefox\\profiles.ini",
       "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/k3x9q2ab.default\r\n\r\n"
       "[Profile1]\r\nName=backup\r\nIsRelative=1\r\nPath=../Firefox Backup/old\r\n\r\n"
       "[Profile2]\r\nName=first\r\nIsRelative=0\r\nPath=D:\\One\\work\r\n\r\n"
       "[Profile3]\r\nName=second\r\nIsRelative=0\r\nPath=D:\\Two\\work\r\n\r\n"
       "[Profile4]\r\nName=nopath\r\nIsRelative=0\r\n\r\n"
       "[Profile6]\r\nName=after a gap\r\nIsRelative=0\r\nPath=D:\\Three\\gone\r\n"},
      {u"%APPDATA%\\Mozilla\\Firefox Backup\\old\\prefs.js", "// old"},
      {u"D:\\One\\work\\prefs.js", "// one"},
      {u"D:\\Two\\work\\prefs.js", "// two"},
      {u"D:\\Three\\gone\\prefs.js", "// three"},
  };
  SampleComputer pc(recipeWith({sampleFirefox(), extra}));
  ASSERT_TRUE(pc.ok());

  const std::u16string main = addBackslash(appDataFolder()) + u"Mozilla\\Firefox";
  EXPECT_FALSE(liesOutsideFolder(main, main + u"\\Profiles\\x\\"));
  EXPECT_TRUE(liesOutsideFolder(main, main + u" Backup\\old\\"));

  RecordingEntries entries;
  EXPECT_TRUE(collectFirefox(entries));
  std::vector<std::string> others;
  for (const std::string& line : summary(entries, "Firefox")) {
    if (line.starts_with("otherfirefox|")) others.push_back(line);
  }
  EXPECT_EQ(others, (std::vector<std::string>{
                        "otherfirefox|old|~\\appdata\\roaming\\mozilla\\firefox backup\\old\\"
                        "prefs.js",
                        "otherfirefox|work-2|d:\\two\\work\\prefs.js",
                        "otherfirefox|work|d:\\one\\work\\prefs.js",
                    }));
}

TEST(FirefoxCollector, WithoutItsFolderFails) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectFirefox(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find Firefox's data files!");
  EXPECT_TRUE(entries.stored.empty());
}

TEST(ChromeCollector, UserDataWithoutItsCacheButWithTheJournals) {
  SampleComputer pc(recipeWith({sampleChrome()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_TRUE(collectGoogleChrome(entries));
  EXPECT_EQ(entries.infoTexts,
            std::vector<std::u16string>{u"Backing up Google Chrome bookmarks and settings..."});
  const auto lines = summary(entries, "Google Chrome");
  const std::string userData = "~\\appdata\\local\\google\\chrome\\user data\\";
  EXPECT_TRUE(holds(lines, "chrome||" + userData + "local state"));
  EXPECT_TRUE(holds(lines, "chrome|Default|" + userData + "default\\history-journal"));
  EXPECT_TRUE(holds(lines, "chrome|Profile 1|" + userData + "profile 1\\login data-journal"));
  EXPECT_TRUE(holds(lines, "chrome|Default\\Code Cache\\js|" + userData +
                               "default\\code cache\\js\\index"));
  EXPECT_FALSE(anyContains(lines, "\\cache\\"));
  EXPECT_EQ(lines.size(), 2u + 2u * 12u);
}

TEST(InternetExplorerCollector, TheWholeFavoritesFolder) {
  SampleComputer pc(recipeWith({sampleInternetExplorerFavorites()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_TRUE(collectInternetExplorer(entries));
  EXPECT_EQ(entries.infoTexts,
            std::vector<std::u16string>{u"Backing up Internet Explorer files..."});
  EXPECT_EQ(summary(entries, "Internet Explorer"),
            (std::vector<std::string>{
                "favorites|Links|~\\favorites\\links\\suggested sites.url",
                "favorites|News|~\\favorites\\news\\morning paper.url",
                "favorites||~\\favorites\\bank.url",
                "favorites||~\\favorites\\desktop.ini",
                "favorites||~\\favorites\\example.url",
            }));
}

TEST(SafariCollector, ItsFolderWithoutAnnouncingItself) {
  SampleComputer pc(recipeWith({sampleSafari()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_TRUE(collectSafari(entries));
  EXPECT_TRUE(entries.infoTexts.empty());
  const auto lines = summary(entries, "Safari");
  EXPECT_EQ(lines.size(), 6u);
  EXPECT_TRUE(holds(lines, "safari||~\\appdata\\roaming\\apple computer\\safari\\"
                           "webpageicons.db-journal"));
  EXPECT_TRUE(holds(lines, "safari|Preferences|~\\appdata\\roaming\\apple computer\\safari\\"
                           "preferences\\com.apple.safari.plist"));
}

struct OperaCase {
  std::string label;
  OperaInstall install;
  std::u16string mailRoot;
  std::string profile;  // where the profile was found
  bool mail;            // the mail folder is stored
};

TEST(OperaCollector, FindsTheProfileAndTheMailFolder) {
  const OperaCase cases[] = {
      {"multi user", OperaInstall::MultiUser, u"D:\\Opera Mail\\",
       "~\\appdata\\roaming\\opera\\opera\\profile\\", true},
      {"single user, quoted command line", OperaInstall::SingleUser, u"D:\\Opera Mail\\",
       "c:\\program files\\opera\\profile\\", true},
      {"only the profile in AppData", OperaInstall::ProfileOnly, u"D:\\Opera Mail\\",
       "~\\appdata\\roaming\\opera\\opera\\profile\\", true},
      {"no mail folder setting", OperaInstall::MultiUser, u"",
       "~\\appdata\\roaming\\opera\\opera\\profile\\", false},
  };
  for (const OperaCase& c : cases) {
    SCOPED_TRACE(c.label);
    SampleComputer pc(recipeWith({sampleOpera(c.install, c.mailRoot)}));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    EXPECT_TRUE(collectOpera(entries));
    EXPECT_EQ(entries.errorText(), u"");
    EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{u"Backing up Opera files..."});
    const auto lines = summary(entries, "Opera");
    EXPECT_TRUE(holds(lines, "profile|profile|" + c.profile + "opera6.adr"));
    EXPECT_TRUE(holds(lines, "profile|profile\\sessions|" + c.profile + "sessions\\autosave.win"));
    // The settings file stays (the other computer keeps its own), and so do the caches.
    EXPECT_FALSE(anyContains(lines, "opera6.ini"));
    EXPECT_FALSE(anyContains(lines, "cache4"));
    EXPECT_FALSE(anyContains(lines, "opcache"));
    EXPECT_EQ(holds(lines, "mail|store\\account1\\2023\\05\\14|d:\\opera mail\\store\\account1\\"
                           "2023\\05\\14\\1.mbs"),
              c.mail);
    EXPECT_EQ(lines.size(), 7u + (c.mail ? 3u : 0u));
  }
}

// Each of these programs, missing from the computer, fails with its own text;
// an earlier reason is kept.
TEST(WebACollectors, MissingProgramsFailWithTheirText) {
  struct Missing {
    CollectFn collect;
    std::u16string text;
  };
  const Missing cases[] = {
      {collectFirefox, u"Unable to find Firefox's data files!"},
      {collectGoogleChrome, u"Unable to find Google Chrome's data files!"},
      {collectOpera, u"Unable to find Opera's data files!"},
      {collectSafari, u"Unable to find Safari's data files!"},
  };
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  for (const Missing& c : cases) {
    SCOPED_TRACE(wideToUtf8(c.text));
    RecordingEntries entries;
    EXPECT_FALSE(c.collect(entries));
    EXPECT_EQ(entries.errorText(), c.text);
    RecordingEntries earlier;
    earlier.setErrorText(u"An earlier reason");
    EXPECT_FALSE(c.collect(earlier));
    EXPECT_EQ(earlier.errorText(), u"An earlier reason");
  }
  // The run's table has all five.
  for (const char* name : {"Firefox", "Google Chrome", "Internet Explorer", "Opera", "Safari"}) {
    EXPECT_TRUE(programCollectors()[static_cast<size_t>(catalogueIndex(name))]) << name;
  }
}

TEST(WebACollectors, OperaInstalledWithoutAProfileFails) {
  SampleData installed;
  installed.name = "opera program only";
  installed.values = {sampleText(RegRoot::CurrentUser, u"Software\\Opera Software",
                                 u"Last CommandLine", u"%ProgramFiles%\\Opera\\opera.exe", kRegSz,
                                 true)};
  installed.files = {{u"%ProgramFiles%\\Opera\\operadef6.ini", "[System]\r\nMulti User=0\r\n"}};
  SampleComputer pc(recipeWith({installed}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectOpera(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find Opera's data files!");
}

}  // namespace
}  // namespace zq
