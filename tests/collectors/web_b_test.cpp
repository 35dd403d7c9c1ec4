// The collectors of Skype, ICQ, AIM, Yahoo Messenger, Windows Live
// Messenger, Google Desktop and Windows Media Player on sample computers.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "collectors/aim.h"
#include "collectors/collector_table.h"
#include "collectors/google_desktop.h"
#include "collectors/media_player.h"
#include "collectors/messengers.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "testing/recording_entries.h"
#include "testing/sample_web_b.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

using Stored = RecordingEntries::Stored;
using CollectFn = std::function<bool(Entries&)>;

SampleMachineRecipe recipeWith(std::vector<SampleData> data, bool uac = false) {
  SampleMachineRecipe recipe;
  recipe.uacEnabled = uac;
  recipe.data.insert(recipe.data.end(), data.begin(), data.end());
  return recipe;
}

// The stored files as "tag|relative folder|path below the user's profile"
// (or the whole path elsewhere), sorted, so tables stay readable.
std::vector<std::string> summary(const RecordingEntries& entries, const std::string& program) {
  const std::u16string profile = comparablePath(addBackslash(profileFolder()));
  std::vector<std::string> lines;
  for (const Stored& s : entries.stored) {
    EXPECT_EQ(s.programName, program);
    std::u16string path = comparablePath(s.path);
    if (path.starts_with(profile)) path = u"~\\" + path.substr(profile.size());
    lines.push_back(s.tag + "|" + wideToUtf8(s.relativeFolder) + "|" + wideToUtf8(path));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

struct Case {
  std::string label;
  std::vector<SampleData> data;
  bool uac;
  CollectFn collect;
  std::string program;
  std::vector<std::string> expected;  // empty: the collector fails
  std::u16string failureText;
};

TEST(WebBCollectors, StoreTheirFoldersOrFailWithTheirText) {
  const std::u16string yahooFails = u"Unable to find Yahoo Messenger's data files!";
  const Case cases[] = {
      {"skype", {sampleSkype()}, false, collectSkype, "Skype",
       {"skypemain|alice.smith|~\\appdata\\roaming\\skype\\alice.smith\\config.xml",
        "skypemain|alice.smith|~\\appdata\\roaming\\skype\\alice.smith\\main.db",
        "skypemain||~\\appdata\\roaming\\skype\\shared.xml"},
       u""},
      {"skype missing", {}, false, collectSkype, "Skype", {},
       u"Unable to find Skype's data files!"},
      {"icq: databases only", {sampleIcq()}, false, collectIcq, "ICQ",
       {"icq|123456789|~\\appdata\\roaming\\icq\\123456789\\messages.mdb",
        "icq||~\\appdata\\roaming\\icq\\owner.mdb"},
       u""},
      {"icq missing", {}, false, collectIcq, "ICQ", {}, u"Unable to find ICQ's data files!"},
      {"yahoo", {sampleYahooMessenger()}, false, collectYahooMessenger, "Yahoo Messenger",
       {"yahoo|alice_y\\Archive\\Messages\\bob_y|c:\\program files\\yahoo!\\messenger\\profiles"
        "\\alice_y\\archive\\messages\\bob_y\\20230514-alice_y.dat",
        "yahoo|alice_y\\Archive\\Messages\\carol_y|c:\\program files\\yahoo!\\messenger\\"
        "profiles\\alice_y\\archive\\messages\\carol_y\\20230510-alice_y.dat",
        "yahoo|alice_y|c:\\program files\\yahoo!\\messenger\\profiles\\alice_y\\ignore.txt"},
       u""},
      {"yahoo with user account control: the virtual store",
       {sampleYahooMessenger(), sampleYahooMessenger(true)}, true, collectYahooMessenger,
       "Yahoo Messenger",
       {"yahoo|alice_y\\Archive\\Messages\\bob_y|~\\appdata\\local\\virtualstore\\program "
        "files\\yahoo!\\messenger\\profiles\\alice_y\\archive\\messages\\bob_y\\20230514-alice_y"
        ".dat",
        "yahoo|alice_y\\Archive\\Messages\\carol_y|~\\appdata\\local\\virtualstore\\program "
        "files\\yahoo!\\messenger\\profiles\\alice_y\\archive\\messages\\carol_y\\20230510-"
        "alice_y.dat",
        "yahoo|alice_y|~\\appdata\\local\\virtualstore\\program files\\yahoo!\\messenger\\"
        "profiles\\alice_y\\ignore.txt"},
       u""},
      {"yahoo with user account control, profiles only below Program Files",
       {sampleYahooMessenger()}, true, collectYahooMessenger, "Yahoo Messenger", {},
       yahooFails},
      {"aim: the settings folder", {sampleAim(AimLogging::ChosenFolder)}, false, collectAim,
       "AIM",
       {"aim|alice123|~\\appdata\\local\\aim\\settings\\alice123\\buddylist.xml",
        "aim||~\\appdata\\local\\aim\\settings\\settings.xml"},
       u""},
      {"aim missing", {}, false, collectAim, "AIM", {}, u"Unable to find AIM's data files!"},
      {"google desktop", {sampleGoogleDesktop()}, false, collectGoogleDesktop, "Google Desktop",
       {"gdgadgets|weather|~\\appdata\\roaming\\google\\google desktop\\plugins\\weather\\"
        "gadget.gg",
        "gdindex|repository|~\\appdata\\local\\google\\google desktop\\8531\\repository\\"
        "rp_0001.dat",
        "gdindex||~\\appdata\\local\\google\\google desktop\\8531\\fi_index.cf"},
       u""},
      {"media player: libraries are the playlists only", {sampleWindowsMediaPlayer()}, false,
       collectWindowsMediaPlayer, "Windows Media Player",
       {"data||~\\appdata\\roaming\\microsoft\\media player\\currentdatabase_372.wmdb",
        "libraries||~\\music\\playlists\\road trip.wpl",
        "skins||c:\\program files\\windows media player\\skins\\revert.wmz",
        "visualizations||c:\\program files\\windows media player\\visualizations\\bars.xml"},
       u""},
      {"media player with an empty rip folder value", {sampleWindowsMediaPlayer(u"")}, false,
       collectWindowsMediaPlayer, "Windows Media Player", {},
       u"Unable to find Windows Media Player's data files!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SampleComputer pc(recipeWith(c.data, c.uac));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    const bool ok = c.collect(entries);
    EXPECT_EQ(ok, !c.expected.empty());
    EXPECT_EQ(summary(entries, c.program), c.expected);
    EXPECT_EQ(entries.errorText(), c.failureText);
    // Only Skype and Windows Live Messenger announce themselves.
    EXPECT_EQ(entries.infoTexts.size(), c.program == "Skype" ? 1u : 0u);
  }
}

TEST(WebBCollectors, GoogleDesktopWithoutItsGadgetFolderStoresTheIndexButFails) {
  SampleComputer pc(recipeWith({sampleGoogleDesktop(
      u"%LOCALAPPDATA%\\Google\\Google Desktop\\8531", u"%APPDATA%\\Nowhere", false)}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectGoogleDesktop(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find Google Desktop's data files!");
  EXPECT_EQ(summary(entries, "Google Desktop").size(), 2u);  // the index was stored
}

TEST(WebBCollectors, WindowsLiveMessengerStoresItsDataAndEachAccountsHistory) {
  SampleComputer pc(recipeWith({sampleWindowsLiveMessenger()}));
  ASSERT_TRUE(pc.ok());
  for (bool backupEdition : {true, false}) {
    RecordingEntries entries(backupEdition);
    EXPECT_TRUE(collectWindowsLiveMessenger(entries));
    EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{
                                     backupEdition ? u"Backing up Windows Live Messenger files..."
                                                   : u"Archiving Windows Live Messenger files..."});
    // Sharing folders are left out; the history is the .xml and .xsl files
    // directly in the account's log folder.
    EXPECT_EQ(summary(entries, "Windows Live Messenger"),
              (std::vector<std::string>{
                  "1234567890||~\\documents\\my received files\\history\\bob1234.xml",
                  "1234567890||~\\documents\\my received files\\history\\messagelog.xsl",
                  "main|alice@example.com\\ObjectStore\\Emoticons|~\\appdata\\local\\microsoft\\"
                  "messenger\\alice@example.com\\objectstore\\emoticons\\smile.dat",
                  "main|alice@example.com\\ObjectStore\\UserTile|~\\appdata\\local\\microsoft\\"
                  "messenger\\alice@example.com\\objectstore\\usertile\\tile.dat",
              }));
  }
}

TEST(WebBCollectors, WindowsLiveMessengerFailsWithoutItsDataFolderAndIgnoresBrokenAccounts) {
  {
    // An account whose log folder is gone costs nothing.
    SampleData data = sampleWindowsLiveMessenger();
    data.values = sampleWindowsLiveMessengerAccount(u"Q:\\Gone").values;
    SampleComputer pc(recipeWith({data}));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    EXPECT_TRUE(collectWindowsLiveMessenger(entries));
    EXPECT_EQ(summary(entries, "Windows Live Messenger").size(), 2u);
  }
  {
    // Accounts alone are not the program's data.
    SampleComputer pc(recipeWith({sampleWindowsLiveMessengerAccount(u"%USERPROFILE%\\Documents")}));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    EXPECT_FALSE(collectWindowsLiveMessenger(entries));
    EXPECT_EQ(entries.errorText(), u"Unable to find Windows Live Messenger's data files!");
    EXPECT_TRUE(entries.stored.empty());
  }
}

TEST(WebBCollectors, AimLogSettingsInEveryForm) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  const std::u16string docs = addBackslash(documentsFolder());
  const std::u16string file = docs + u"settings.xml";
  struct Form {
    std::string label;
    std::string content;
    std::u16string folder;
    std::string tag;
  };
  const Form forms[] = {
      {"logging off", "<setting name=\"loggingLogIM\" value=\"no\"/>\r\n"
                      "<setting name=\"loggingLogPath\" value=\"D:\\Logs\"/>\r\n",
       u"", "aimlogsdocs"},
      {"default folder", "<s/>\r\n<setting name=\"LoggingLogIM\" value=\"Yes\"/>\r\n<t/>\r\n",
       docs + u"AIMLogger", "aimlogsdocs"},
      {"a folder of its own",
       "<setting name=\"loggingLogIM\" value=\"yes\"/>\r\n"
       "<setting name=\"loggingLogPath\" value=\"D:\\AIM Logs\"/>\r\n"
       "<setting name=\"loggingLogPath\" value=\"D:\\Later\"/>\r\n",
       u"d:\\aim logs", "aimlogs"},
      {"no logging lines", "<settings/>\r\n", u"", ""},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.label);
    tfile out;
    ASSERT_TRUE(openForWrite(out, file));
    ASSERT_TRUE(writeBlock(out, form.content.data(), form.content.size()));
    ASSERT_TRUE(closeFile(out));
    std::u16string folder = u"stale";
    std::string tag = "stale";
    EXPECT_EQ(readAimLogSettings(file, folder, tag), !form.folder.empty());
    EXPECT_EQ(folder, form.folder);
    EXPECT_EQ(tag, form.tag);
  }
  std::u16string folder;
  std::string tag;
  EXPECT_FALSE(readAimLogSettings(docs + u"missing.xml", folder, tag));
  EXPECT_EQ(folder, u"");
}

TEST(WebBCollectors, AllSevenAreInTheRunsTable) {
  const CollectorTable table = programCollectors();
  for (const char* name : {"Skype", "ICQ", "AIM", "Yahoo Messenger", "Windows Live Messenger",
                           "Google Desktop", "Windows Media Player"}) {
    EXPECT_TRUE(table[static_cast<size_t>(catalogueIndex(name))]) << name;
  }
}

}  // namespace
}  // namespace zq
