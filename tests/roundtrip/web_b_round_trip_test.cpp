// The messengers, Google Desktop and Windows Media Player through both
// programs: alice's data is backed up on her computer and the archive is run
// on bob's, whose folders, registry and security settings differ: his
// documents are on D:, user account control is on, Google Desktop keeps its
// index and gadgets on D:, his Messenger account logs to D:\Chats and his
// player rips to D:\Rips.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/text.h"
#include "testing/round_trip.h"
#include "testing/sample_web_b.h"

namespace zq {
namespace {

const std::vector<std::string> kPrograms = {"Skype",
                                            "ICQ",
                                            "AIM",
                                            "Yahoo Messenger",
                                            "Windows Live Messenger",
                                            "Google Desktop",
                                            "Windows Media Player"};

SampleMachineRecipe alicesComputer(AimLogging aim = AimLogging::ChosenFolder) {
  SampleMachineRecipe recipe;
  recipe.data = {sampleSkype(),
               sampleIcq(),
               sampleAim(aim),
               sampleYahooMessenger(),
               sampleWindowsLiveMessenger(),
               sampleGoogleDesktop(),
               sampleWindowsMediaPlayer()};
  return recipe;
}

// Google Desktop on bob's computer: registry only (the index is made anew).
SampleData bobsGoogleDesktop() {
  SampleData d = sampleGoogleDesktop(u"D:\\GD Index", u"D:\\GD Gadgets");
  d.files.clear();
  return d;
}

// An account key whose name reads as a tag mask for everything.
SampleData accountNamedStar() {
  SampleData d;
  d.name = "messenger account named *";
  d.values = {sampleText(RegRoot::CurrentUser,
                         u"Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\*",
                         u"MessageLogPath", u"D:\\Everything")};
  return d;
}

SampleMachineRecipe bobsComputer() {
  SampleMachineRecipe recipe;
  recipe.user = u"bob";
  recipe.computer = u"BOB-PC";
  recipe.uacEnabled = true;
  recipe.data = {sampleDocumentsFolderAt(u"D:\\Bob Papers"), bobsGoogleDesktop(),
               sampleWindowsLiveMessengerAccount(u"D:\\Chats\\History"),
               sampleWindowsMediaPlayerInstalled(u"D:\\Rips"), accountNamedStar()};
  return recipe;
}

struct Landing {
  std::u16string source;  // on alice's computer
  std::u16string target;  // on bob's
};

void expectLanded(TransferRoundTrip& trip, const std::vector<Landing>& landings) {
  for (const Landing& l : landings) {
    EXPECT_EQ(trip.targetContent(l.target), trip.sourceContent(l.source))
        << wideToUtf8(l.target);
  }
}

const std::u16string kAliceRoaming = u"C:\\users\\alice\\AppData\\Roaming\\";
const std::u16string kAliceLocal = u"C:\\users\\alice\\AppData\\Local\\";
const std::u16string kBobRoaming = u"C:\\users\\bob\\AppData\\Roaming\\";
const std::u16string kBobLocal = u"C:\\users\\bob\\AppData\\Local\\";

TEST(WebBRoundTrip, EveryProgramLandsWhereBobsComputerKeepsIt) {
  TransferRoundTrip trip(alicesComputer(), bobsComputer());
  ASSERT_TRUE(trip.ready()) << trip.error();
  const BackupResult backup = trip.backup(kPrograms);
  ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;

  const ProgramRun run = trip.restore({"--detect"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  expectLanded(
      trip,
      {
          {kAliceRoaming + u"Skype\\alice.smith\\main.db",
           kBobRoaming + u"Skype\\alice.smith\\main.db"},
          {kAliceRoaming + u"ICQ\\123456789\\Messages.mdb",
           kBobRoaming + u"ICQ\\123456789\\Messages.mdb"},
          {kAliceLocal + u"aim\\settings\\alice123\\buddylist.xml",
           kBobLocal + u"aim\\settings\\alice123\\buddylist.xml"},
          // Logs kept in a folder of the user's choice go back to that folder.
          {u"D:\\AIM Logs\\alice123\\carol789.html", u"D:\\AIM Logs\\alice123\\carol789.html"},
          // User account control is on at bob's: the virtual store.
          {u"C:\\Program Files\\Yahoo!\\Messenger\\Profiles\\alice_y\\Archive\\Messages\\bob_y\\"
           u"20230514-alice_y.dat",
           kBobLocal + u"VirtualStore\\program files\\yahoo!\\messenger\\profiles\\alice_y\\"
                       u"Archive\\Messages\\bob_y\\20230514-alice_y.dat"},
          {kAliceLocal + u"Microsoft\\Messenger\\alice@example.com\\ObjectStore\\UserTile\\"
                         u"tile.dat",
           kBobLocal + u"Microsoft\\Messenger\\alice@example.com\\ObjectStore\\UserTile\\"
                       u"tile.dat"},
          // The account's history goes to the folder bob's computer has for it.
          {u"C:\\users\\alice\\Documents\\My Received Files\\History\\bob1234.xml",
           u"D:\\Chats\\History\\bob1234.xml"},
          {kAliceLocal + u"Google\\Google Desktop\\8531\\repository\\rp_0001.dat",
           u"D:\\GD Index\\repository\\rp_0001.dat"},
          {kAliceRoaming + u"Google\\Google Desktop\\Plugins\\weather\\gadget.gg",
           u"D:\\GD Gadgets\\weather\\gadget.gg"},
          {kAliceRoaming + u"Microsoft\\Media Player\\CurrentDatabase_372.wmdb",
           kBobRoaming + u"Microsoft\\Media Player\\CurrentDatabase_372.wmdb"},
          {u"C:\\Program Files\\Windows Media Player\\Skins\\Revert.wmz",
           u"C:\\Program Files\\Windows Media Player\\Skins\\Revert.wmz"},
          {u"C:\\users\\alice\\Music\\Playlists\\Road Trip.wpl",
           u"D:\\Rips\\playlists\\Road Trip.wpl"},
      });
  // An account whose name is a mask gets nobody's history.
  EXPECT_TRUE(trip.targetFilesBelow(u"D:\\Everything").empty());
  // What the collectors leave out stays out.
  EXPECT_EQ(trip.targetContent(kBobRoaming + u"ICQ\\icq.ini"), "<missing>");
  EXPECT_EQ(trip.targetContent(u"D:\\Chats\\History\\readme.txt"), "<missing>");
  EXPECT_EQ(trip.targetContent(u"D:\\Rips\\playlists\\notes.txt"), "<missing>");
  EXPECT_EQ(trip.targetContent(u"C:\\Program Files\\Yahoo!\\Messenger\\Profiles\\alice_y\\"
                               u"Ignore.txt"),
            "<missing>");
}

TEST(WebBRoundTrip, AChosenFolderGetsOneFolderPerProgram) {
  TransferRoundTrip trip(alicesComputer(), bobsComputer());
  ASSERT_TRUE(trip.ready()) << trip.error();
  const BackupResult backup = trip.backup(kPrograms);
  ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;

  const ProgramRun run = trip.restore({"--target", "D:\\Restored"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  const std::u16string d = u"D:\\Restored\\";
  expectLanded(
      trip,
      {
          {kAliceRoaming + u"Skype\\shared.xml", d + u"Skype\\shared.xml"},
          {kAliceRoaming + u"ICQ\\Owner.mdb", d + u"ICQ\\Owner.mdb"},
          {kAliceLocal + u"aim\\settings\\settings.xml", d + u"AIM\\settings.xml"},
          {u"D:\\AIM Logs\\alice123\\carol789.html", d + u"AIM\\Logs\\alice123\\carol789.html"},
          {u"C:\\Program Files\\Yahoo!\\Messenger\\Profiles\\alice_y\\Ignore.txt",
           d + u"Yahoo Messenger\\alice_y\\Ignore.txt"},
          {kAliceLocal + u"Microsoft\\Messenger\\alice@example.com\\ObjectStore\\Emoticons\\"
                         u"smile.dat",
           d + u"Windows Live Messenger\\alice@example.com\\ObjectStore\\Emoticons\\smile.dat"},
          {u"C:\\users\\alice\\Documents\\My Received Files\\History\\MessageLog.xsl",
           d + u"Windows Live Messenger\\MessageLog.xsl"},
          {kAliceLocal + u"Google\\Google Desktop\\8531\\fi_index.cf",
           d + u"Google Desktop\\appdata\\fi_index.cf"},
          {kAliceRoaming + u"Google\\Google Desktop\\Plugins\\weather\\gadget.gg",
           d + u"Google Desktop\\gadgets\\weather\\gadget.gg"},
          {kAliceRoaming + u"Microsoft\\Media Player\\CurrentDatabase_372.wmdb",
           d + u"Windows Media Player\\Appdata\\CurrentDatabase_372.wmdb"},
          {u"C:\\Program Files\\Windows Media Player\\Visualizations\\Bars.xml",
           d + u"Windows Media Player\\Visualizations\\Bars.xml"},
          {u"C:\\users\\alice\\Music\\Playlists\\Road Trip.wpl",
           d + u"Windows Media Player\\Libraries\\Road Trip.wpl"},
      });
}

TEST(WebBRoundTrip, AimLogsInTheDocumentsFolderFollowTheDocumentsFolder) {
  TransferRoundTrip trip(alicesComputer(AimLogging::Documents), bobsComputer());
  ASSERT_TRUE(trip.ready()) << trip.error();
  const BackupResult backup = trip.backup({"AIM"});
  ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;
  EXPECT_EQ(backup.recordCount, 3);  // settings, buddy list, one log

  const ProgramRun run = trip.restore({"--detect"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  expectLanded(trip, {{u"C:\\users\\alice\\Documents\\AIMLogger\\alice123\\bob456.html",
                       u"D:\\Bob Papers\\AIMLogger\\alice123\\bob456.html"}});
}

// Backups that fail, with the program's text.
TEST(WebBRoundTrip, BackupFailuresNameTheProgram) {
  struct Case {
    std::string label;
    SampleMachineRecipe source;
    std::string program;
    std::u16string text;
  };
  SampleMachineRecipe emptyRip;
  emptyRip.data = {sampleWindowsMediaPlayer(u"")};
  SampleMachineRecipe noGadgets;
  noGadgets.data = {sampleGoogleDesktop(u"%LOCALAPPDATA%\\Google\\Google Desktop\\8531",
                                        u"%APPDATA%\\Google\\Google Desktop\\Plugins", false)};
  SampleMachineRecipe uacOn;
  uacOn.uacEnabled = true;
  uacOn.data = {sampleYahooMessenger()};
  const Case cases[] = {
      {"media player with an empty rip folder value", emptyRip, "Windows Media Player",
       u"Unable to find Windows Media Player's data files!"},
      {"google desktop without its plug-in folder", noGadgets, "Google Desktop",
       u"Unable to find Google Desktop's data files!"},
      {"yahoo with user account control on and nothing in the virtual store", uacOn,
       "Yahoo Messenger", u"Unable to find Yahoo Messenger's data files!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TransferRoundTrip trip(c.source, bobsComputer());
    ASSERT_TRUE(trip.ready()) << trip.error();
    const BackupResult backup = trip.backup({c.program});
    EXPECT_FALSE(backup.succeeded);
    EXPECT_EQ(backup.errorText, c.text);
  }
}

// Restores on computers that lack what a program needs.
TEST(WebBRoundTrip, RestoreFailuresAndTheMissingRipFolder) {
  // Bob's computer without Windows Media Player's folder and Google
  // Desktop's settings, and with a file where the virtual store should be.
  SampleMachineRecipe bare = bobsComputer();
  bare.data = {sampleDocumentsFolderAt(u"D:\\Bob Papers")};
  SampleData blocker;
  blocker.name = "a file in the way";
  blocker.files = {{u"%LOCALAPPDATA%\\VirtualStore", "not a folder", 0}};
  bare.data.push_back(blocker);

  TransferRoundTrip trip(alicesComputer(), bare);
  ASSERT_TRUE(trip.ready()) << trip.error();
  const BackupResult backup =
      trip.backup({"Yahoo Messenger", "Google Desktop", "Windows Media Player"});
  ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;

  const ProgramRun run = trip.restore({"--detect"});
  EXPECT_NE(run.exitCode, 0);
  for (const char* text :
       {"An error occured while restoring your Yahoo Messenger message archives.",
        "Make sure Yahoo Messenger is installed on this computer before restoring.",
        "Make sure Google Desktop is installed on this computer before restoring.",
        "Make sure Windows Media Player is installed on this computer before restoring."}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n" << run.out;
  }

  // With the player installed but no rip folder set, the playlists go back
  // to the folder they came from.
  SampleMachineRecipe noRip = bobsComputer();
  noRip.data = {sampleDocumentsFolderAt(u"D:\\Bob Papers"), sampleWindowsMediaPlayerInstalled(u"")};
  TransferRoundTrip second(alicesComputer(), noRip);
  ASSERT_TRUE(second.ready()) << second.error();
  ASSERT_TRUE(second.backup({"Windows Media Player"}).succeeded);
  const ProgramRun restored = second.restore({"--detect"});
  ASSERT_EQ(restored.exitCode, 0) << restored.out << restored.err;
  expectLanded(second, {{u"C:\\users\\alice\\Music\\Playlists\\Road Trip.wpl",
                         u"C:\\users\\alice\\Music\\Playlists\\Road Trip.wpl"}});
  EXPECT_TRUE(second.targetFilesBelow(u"C:\\users\\bob\\Music").empty());
}

}  // namespace
}  // namespace zq
