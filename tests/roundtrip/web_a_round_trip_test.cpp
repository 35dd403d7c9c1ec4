// The browsers and My Documents through both programs: alice's data is backed
// up on her computer and the archive is run on bob's, whose documents are on
// D:, whose Opera keeps its mail in D:\Bob Mail, and whose own settings file
// of Opera must survive.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/text.h"
#include "testing/round_trip.h"
#include "testing/sample_web_a.h"

namespace zq {
namespace {

const std::vector<std::string> kPrograms = {"Firefox", "Google Chrome", "Internet Explorer",
                                            "Opera",   "Safari",        "My Documents"};

SampleMachineRecipe alicesComputer(OperaInstall opera = OperaInstall::MultiUser) {
  SampleMachineRecipe recipe;
  recipe.data.push_back(sampleUserDocuments());
  recipe.data.push_back(sampleFirefox());
  recipe.data.push_back(sampleChrome());
  recipe.data.push_back(sampleInternetExplorerFavorites());
  recipe.data.push_back(sampleOpera(opera, u"D:\\Opera Mail\\"));
  recipe.data.push_back(sampleSafari());
  return recipe;
}

// Opera as installed on bob's computer, never used for browsing: its
// program, its defaults and its own opera6.ini, but none of alice's files.
SampleData operaInstalled(OperaInstall install, const std::u16string& mailRoot) {
  SampleData d = sampleOpera(install, mailRoot);
  std::erase_if(d.files, [](const SampleFile& f) {
    const std::u16string name = f.path.substr(f.path.rfind(u'\\') + 1);
    return name != u"opera.exe" && name != u"operadef6.ini" && name != u"opera6.ini";
  });
  return d;
}

SampleMachineRecipe bobsComputer(OperaInstall opera = OperaInstall::MultiUser,
                               const std::u16string& mailRoot = u"D:\\Bob Mail\\") {
  SampleMachineRecipe recipe;
  recipe.user = u"bob";
  recipe.computer = u"BOB-PC";
  recipe.version = SampleWindowsVersion::windows10();
  recipe.data = {sampleDocumentsFolderAt(u"D:\\Bob Papers"), operaInstalled(opera, mailRoot)};
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

void expectMissing(TransferRoundTrip& trip, const std::vector<std::u16string>& paths) {
  for (const auto& path : paths) {
    EXPECT_EQ(trip.targetContent(path), "<missing>") << wideToUtf8(path);
  }
}

const std::u16string kAliceRoaming = u"C:\\users\\alice\\AppData\\Roaming\\";
const std::u16string kAliceLocal = u"C:\\users\\alice\\AppData\\Local\\";
const std::u16string kBobRoaming = u"C:\\users\\bob\\AppData\\Roaming\\";
const std::u16string kBobLocal = u"C:\\users\\bob\\AppData\\Local\\";
const std::u16string kAliceFirefox = kAliceRoaming + u"Mozilla\\Firefox\\";
const std::u16string kProfile = u"Profiles\\k3x9q2ab.default\\";
const std::u16string kOutside = u"D:\\Firefox Profiles\\alice.work\\";
const std::u16string kAliceChrome = kAliceLocal + u"Google\\Chrome\\User Data\\";
const std::u16string kAliceOpera = kAliceRoaming + u"Opera\\Opera\\profile\\";
const std::u16string kMailFile = u"store\\account1\\2023\\05\\14\\1.mbs";

TEST(WebARoundTrip, EveryProgramLandsWhereBobsComputerKeepsIt) {
  TransferRoundTrip trip(alicesComputer(), bobsComputer());
  ASSERT_TRUE(trip.ready()) << trip.error();
  const BackupResult backup = trip.backup(kPrograms);
  ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;

  const ProgramRun run = trip.restore({"--detect"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  const std::u16string bobFirefox = kBobRoaming + u"Mozilla\\Firefox\\";
  const std::u16string bobChrome = kBobLocal + u"Google\\Chrome\\User Data\\";
  expectLanded(
      trip,
      {
          {kAliceFirefox + u"profiles.ini", bobFirefox + u"profiles.ini"},
          // Databases come back with their companions.
          {kAliceFirefox + kProfile + u"places.sqlite", bobFirefox + kProfile + u"places.sqlite"},
          {kAliceFirefox + kProfile + u"places.sqlite-wal",
           bobFirefox + kProfile + u"places.sqlite-wal"},
          {kAliceFirefox + kProfile + u"places.sqlite-shm",
           bobFirefox + kProfile + u"places.sqlite-shm"},
          {kAliceFirefox + kProfile + u"domain_to_categories.sqlite-journal",
           bobFirefox + kProfile + u"domain_to_categories.sqlite-journal"},
          // The profile on D: goes back to its own folder, made on bob's D:.
          {kOutside + u"places.sqlite", kOutside + u"places.sqlite"},
          {kOutside + u"places.sqlite-wal", kOutside + u"places.sqlite-wal"},
          {kOutside + u"prefs.js", kOutside + u"prefs.js"},
          {kAliceChrome + u"Local State", bobChrome + u"Local State"},
          {kAliceChrome + u"Default\\History", bobChrome + u"Default\\History"},
          {kAliceChrome + u"Default\\History-journal", bobChrome + u"Default\\History-journal"},
          {kAliceChrome + u"Profile 1\\Login Data-journal",
           bobChrome + u"Profile 1\\Login Data-journal"},
          {u"C:\\users\\alice\\Favorites\\News\\Morning paper.url",
           u"C:\\users\\bob\\Favorites\\News\\Morning paper.url"},
          {kAliceOpera + u"opera6.adr", kBobRoaming + u"Opera\\Opera\\profile\\opera6.adr"},
          {kAliceOpera + u"sessions\\autosave.win",
           kBobRoaming + u"Opera\\Opera\\profile\\sessions\\autosave.win"},
          // The mail goes to the mail folder bob's Opera names.
          {u"D:\\Opera Mail\\" + kMailFile, u"D:\\Bob Mail\\" + kMailFile},
          {kAliceRoaming + u"Apple Computer\\Safari\\WebpageIcons.db-journal",
           kBobRoaming + u"Apple Computer\\Safari\\WebpageIcons.db-journal"},
          {u"C:\\users\\alice\\Documents\\Projects\\Garden\\Plan.txt",
           u"D:\\Bob Papers\\Projects\\Garden\\Plan.txt"},
      });
  // Bob's Opera keeps its own settings file.
  EXPECT_NE(trip.targetContent(kBobRoaming + u"Opera\\Opera\\profile\\opera6.ini")
                .find("Mail Root Directory=D:\\Bob Mail\\"),
            std::string::npos);
  // What the collectors leave out stays out.
  expectMissing(trip, {bobFirefox + kProfile + u"parent.lock",
                       bobFirefox + kProfile + u"Cache\\_CACHE_MAP_",
                       kOutside + u"parent.lock", bobChrome + u"Default\\Cache\\Cache_Data\\index",
                       kBobRoaming + u"Opera\\Opera\\profile\\cache4\\dcache4.url",
                       u"D:\\Opera Mail\\" + kMailFile});
}

TEST(WebARoundTrip, AChosenFolderGetsOneFolderPerProgram) {
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
          {kAliceFirefox + u"profiles.ini", d + u"Firefox\\profiles.ini"},
          {kAliceFirefox + kProfile + u"places.sqlite-wal",
           d + u"Firefox\\" + kProfile + u"places.sqlite-wal"},
          // The outside profile keeps a folder of its own beside the others.
          {kOutside + u"places.sqlite-shm", d + u"Firefox\\alice.work\\places.sqlite-shm"},
          {kAliceChrome + u"Default\\Web Data-journal",
           d + u"Google Chrome\\Default\\Web Data-journal"},
          {u"C:\\users\\alice\\Favorites\\Bank.url", d + u"Internet Explorer\\Bank.url"},
          {kAliceOpera + u"opera6.adr", d + u"Opera\\profile\\opera6.adr"},
          {u"D:\\Opera Mail\\" + kMailFile, d + u"Opera\\Mail\\" + kMailFile},
          {kAliceRoaming + u"Apple Computer\\Safari\\Bookmarks.plist",
           d + u"Safari\\Bookmarks.plist"},
          // My Documents goes straight into the chosen folder.
          {u"C:\\users\\alice\\Documents\\Letter to Bob.doc", d + u"Letter to Bob.doc"},
          {u"C:\\users\\alice\\Documents\\Projects\\Garden\\Plan.txt",
           d + u"Projects\\Garden\\Plan.txt"},
      });
  // Nothing went to bob's own program folders.
  expectMissing(trip, {kBobRoaming + u"Mozilla\\Firefox\\profiles.ini",
                       u"D:\\Bob Mail\\" + kMailFile, u"D:\\Bob Papers\\Letter to Bob.doc"});
}

// Where Opera's profile and mail go depends on how Opera is set up on bob's
// computer.
TEST(WebARoundTrip, OperaFollowsTheTargetsInstallation) {
  struct Case {
    std::string label;
    OperaInstall source;
    SampleMachineRecipe target;
    std::u16string profile;  // where opera6.adr lands
    std::u16string mail;     // where the mail file lands
  };
  SampleMachineRecipe noOpera = bobsComputer();
  noOpera.data = {sampleDocumentsFolderAt(u"D:\\Bob Papers")};
  const Case cases[] = {
      {"single user: the program folder", OperaInstall::MultiUser,
       bobsComputer(OperaInstall::SingleUser, u"D:\\Bob Mail\\"),
       u"C:\\Program Files\\Opera\\profile\\", u"D:\\Bob Mail\\"},
      {"only a profile in AppData: its mail folder", OperaInstall::SingleUser,
       bobsComputer(OperaInstall::ProfileOnly, u"D:\\Other Mail\\"),
       kBobRoaming + u"Opera\\Opera\\profile\\", u"D:\\Other Mail\\"},
      {"no mail folder setting: back where it came from", OperaInstall::MultiUser,
       bobsComputer(OperaInstall::MultiUser, u""), kBobRoaming + u"Opera\\Opera\\profile\\",
       u"D:\\Opera Mail\\"},
      {"not installed: the user's data folder", OperaInstall::MultiUser, noOpera,
       kBobRoaming + u"Opera\\Opera\\profile\\", u"D:\\Opera Mail\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TransferRoundTrip trip(alicesComputer(c.source), c.target);
    ASSERT_TRUE(trip.ready()) << trip.error();
    const BackupResult backup = trip.backup({"Opera"});
    ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;
    const ProgramRun run = trip.restore({"--detect"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::u16string aliceProfile = c.source == OperaInstall::SingleUser
                                            ? u"C:\\Program Files\\Opera\\profile\\"
                                            : kAliceOpera;
    expectLanded(trip, {{aliceProfile + u"opera6.adr", c.profile + u"opera6.adr"},
                        {u"D:\\Opera Mail\\" + kMailFile, c.mail + kMailFile}});
    EXPECT_NE(run.out.find("Restoring Opera Files..."), std::string::npos) << run.out;
  }
}

// A program missing on alice's computer stops the backup with its text.
TEST(WebARoundTrip, BackupFailuresNameTheProgram) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"Firefox", u"Unable to find Firefox's data files!"},
      {"Google Chrome", u"Unable to find Google Chrome's data files!"},
      {"Opera", u"Unable to find Opera's data files!"},
      {"Safari", u"Unable to find Safari's data files!"},
  };
  for (const auto& [program, text] : cases) {
    SCOPED_TRACE(program);
    TransferRoundTrip trip(SampleMachineRecipe{}, bobsComputer());
    ASSERT_TRUE(trip.ready()) << trip.error();
    const BackupResult backup = trip.backup({program});
    EXPECT_FALSE(backup.succeeded);
    EXPECT_EQ(backup.errorText, text);
  }
}

// A folder in the way of a file on bob's computer: the restore of that
// program fails with its own text, and the others still succeed.
TEST(WebARoundTrip, AFileThatCannotBeWrittenFailsWithTheProgramsText) {
  struct Case {
    std::string program;
    std::u16string blocked;  // a folder made where a file must go
    std::string text;        // the first line of the failure text
  };
  const Case cases[] = {
      {"Firefox", kBobRoaming + u"Mozilla\\Firefox\\profiles.ini",
       "An error occured while restoring your Firefox bookmarks and settings."},
      {"Google Chrome", kBobLocal + u"Google\\Chrome\\User Data\\Local State",
       "An error occured while restoring your Google Chrome bookmarks and settings."},
      {"Internet Explorer", u"C:\\users\\bob\\Favorites\\Bank.url",
       "An error occured while restoring your IE favorites."},
      {"Opera", kBobRoaming + u"Opera\\Opera\\profile\\opera6.adr",
       "The Opera data files could not be found!  Make sure Opera is installed"},
      {"Safari", kBobRoaming + u"Apple Computer\\Safari\\Bookmarks.plist",
       "An error occured while restoring your Safari bookmarks and settings."},
      {"My Documents", u"D:\\Bob Papers\\Notes.txt",
       "An error occured while restoring your My Documents folder."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    SampleMachineRecipe target = bobsComputer();
    SampleData blocker;
    blocker.name = "a folder in the way";
    blocker.folders = {c.blocked};
    target.data.push_back(blocker);
    TransferRoundTrip trip(alicesComputer(), target);
    ASSERT_TRUE(trip.ready()) << trip.error();
    const BackupResult backup = trip.backup({c.program, "Safari"});
    ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;
    const ProgramRun run = trip.restore({"--detect"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.out.find(c.text), std::string::npos) << run.out;
  }
}

}  // namespace
}  // namespace zq
