// Thunderbird, Eudora, Palm Desktop, IncrediMail and PocoMail through both
// programs: alice's data is backed up on her computer and the archive is run
// on bob's, where the programs keep their data elsewhere (other drive
// folders, other identities, other folder settings) and some already hold
// data of bob's own that must survive the restore.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/text.h"
#include "testing/round_trip.h"
#include "testing/sample_mail_b.h"

namespace zq {
namespace {

const std::vector<std::string> kPrograms = {"Thunderbird", "Eudora", "Palm Desktop", "IncrediMail",
                                            "PocoMail"};

const std::u16string kAliceRoaming = u"C:\\users\\alice\\AppData\\Roaming\\";
const std::u16string kAliceIm = u"C:\\users\\alice\\AppData\\Local\\IM\\Identities\\";
const std::u16string kBobRoaming = u"C:\\users\\bob\\AppData\\Roaming\\";
const std::u16string kBobIm = u"C:\\users\\bob\\AppData\\Local\\IM\\";
const std::u16string kBobEudora = u"D:\\Bob Eudora";
const std::u16string kAliceA = u"{A1E4C2B0-1111-4A7A-9C01-0000000000A1}";  // her default
const std::u16string kAliceB = u"{B2E4C2B0-2222-4A7A-9C01-0000000000B2}";
const std::u16string kBobOther = u"{B0B00000-0000-4000-8000-000000000001}";
const std::u16string kBobDefault = u"{B0B0000D-0000-4000-8000-00000000000D}";
const std::string kBobPocoIni =
    "[Program]\r\nMailPath=D:\\Bob Mail\r\nUsersPath=Users\r\nScriptPath=Scripts\r\n"
    "SigPath=Signatures\r\nTemplatePath=Templates\r\nSkinPath=Skins\r\n"
    "[Mail]\r\nAttachPath=Attach\r\n";

SampleMachineRecipe alicesComputer(std::vector<SampleData> data = sampleMailB()) {
  SampleMachineRecipe recipe;
  recipe.data = std::move(data);
  return recipe;
}

// Bob's own installations: classic Eudora with its data on D: (moved aside
// once before), IncrediMail for him alone with two identities of other
// names, Palm Desktop below Program Files, PocoMail 5 with its data on D:.
SampleData bobsPrograms() {
  SampleData d;
  d.name = "bob's programs";
  const std::u16string ids = u"Software\\IncrediMail\\Identities";
  d.values = {
      sampleText(RegRoot::CurrentUser, u"Software\\Qualcomm\\Eudora\\CommandLine", u"current",
                 u"\"C:\\Program Files\\Eudora\\Eudora.exe\" \"D:\\Bob Eudora\""),
      sampleText(RegRoot::CurrentUser, u"Software\\IncrediMail", u"ApplicationPath", kBobIm),
      sampleText(RegRoot::CurrentUser, ids, u"", kBobDefault),
      sampleText(RegRoot::CurrentUser, ids + u"\\" + kBobOther, u"Name", u"Bob at work"),
      sampleText(RegRoot::CurrentUser, ids + u"\\" + kBobDefault, u"Name", u"Bob"),
      sampleText(RegRoot::CurrentUser, u"Software\\U.S. Robotics\\Pilot Desktop\\Core", u"Path",
                 u"C:\\Program Files\\Palm"),
      sampleText(RegRoot::CurrentUser, u"Software\\Poco Systems Inc\\PocoMail 5", u"Path",
                 u"C:\\Program Files\\PocoMail 5"),
  };
  d.files = {
      {kBobEudora + u"\\eudora.ini", "[Settings]\r\nRealName=Bob\r\n"},
      {kBobEudora + u"\\In.mbx", "bob's inbox"},
      {kBobEudora + u".old\\In.mbx", "bob's inbox of an earlier restore"},
      {kBobIm + u"Identities\\" + kBobDefault + u"\\Message Store\\Messages.imm", "bob's mail"},
      {kBobIm + u"Identities\\" + kBobDefault + u".old\\Message Store\\Messages.imm", "older"},
      {u"C:\\Program Files\\PocoMail 5\\pocosystem.ini", "[Program]\r\nDataPath=D:\\Poco Data\r\n"},
      {u"D:\\Poco Data\\poco.ini", kBobPocoIni},
      {u"D:\\Poco Data\\poco.bak", "bob's old backup"},
  };
  d.folders = {kBobIm + u"Identities\\" + kBobOther, u"D:\\Eudora Mail Attachments"};
  return d;
}

SampleMachineRecipe bobsComputer(std::vector<SampleData> data = {bobsPrograms()}) {
  SampleMachineRecipe recipe;
  recipe.user = u"bob";
  recipe.computer = u"BOB-PC";
  recipe.data = std::move(data);
  return recipe;
}

struct Landing {
  std::u16string source;     // a file on alice's computer ("" for a check by content)
  std::u16string target;     // where it must be on bob's
  std::string content = {};  // expected content when source is empty; "<missing>" = absent
};

struct ModeCase {
  const char* name;
  std::vector<std::string> arguments;
  std::vector<Landing> landings;
};

TEST(MailBRoundTrip, EachProgramsDataLandsWhereBobsProgramsKeepIt) {
  const std::u16string tbDefault = u"Thunderbird\\Profiles\\k3x9q2ab.default\\";
  const std::u16string aliceTb = kAliceRoaming + tbDefault;
  const std::u16string alicePoco = kAliceRoaming + u"PocoMail\\";
  const std::u16string r = u"D:\\Restored\\";
  const ModeCase cases[] = {
      {"detect",
       {"--detect"},
       {
           {kAliceRoaming + u"Thunderbird\\profiles.ini",
            kBobRoaming + u"Thunderbird\\profiles.ini"},
           {aliceTb + u"Mail\\Local Folders\\Inbox",
            kBobRoaming + tbDefault + u"Mail\\Local Folders\\Inbox"},
           {u"", kBobRoaming + tbDefault + u"parent.lock", "<missing>"},
           {u"D:\\MailStore\\pop.example.org\\Inbox", u"D:\\MailStore\\pop.example.org\\Inbox"},
           {u"D:\\Mail Archive\\Profile\\Mail\\Local Folders\\Archives 2019",
            u"D:\\Mail Archive\\Profile\\Mail\\Local Folders\\Archives 2019"},
           // Bob's Eudora data moved aside, next to the earlier .old.
           {u"D:\\Eudora Mail\\In.mbx", kBobEudora + u"\\In.mbx"},
           {u"D:\\Eudora Mail\\attach\\old-invoice.pdf", kBobEudora + u"\\attach\\old-invoice.pdf"},
           {u"", kBobEudora + u".old1\\In.mbx", "bob's inbox"},
           {u"", kBobEudora + u".old\\In.mbx", "bob's inbox of an earlier restore"},
           {u"D:\\Eudora Mail Attachments\\Seed list.doc",
            u"D:\\Eudora Mail Attachments\\Seed list.doc"},
           // Windows 7: Palm Desktop's folder below Program Files is the virtual store's.
           {u"C:\\Program Files\\Palm\\AliceS\\address\\address.dat",
            u"C:\\users\\bob\\AppData\\Local\\VirtualStore\\Program "
            u"Files\\Palm\\AliceS\\address\\address.dat"},
           {u"C:\\Program Files\\Palm\\users.dat",
            u"C:\\users\\bob\\AppData\\Local\\VirtualStore\\Program Files\\Palm\\users.dat"},
           // Her default identity into his default one, her first other into his first other.
           {kAliceIm + kAliceA + u"\\Message Store\\Messages.imm",
            kBobIm + u"Identities\\" + kBobDefault + u"\\Message Store\\Messages.imm"},
           {u"", kBobIm + u"Identities\\" + kBobDefault + u".old1\\Message Store\\Messages.imm",
            "bob's mail"},
           {kAliceIm + kAliceB + u"\\Message Store\\Messages.imm",
            kBobIm + u"Identities\\" + kBobOther + u"\\Message Store\\Messages.imm"},
           {u"C:\\users\\alice\\AppData\\Local\\IM\\Lex\\english.lex",
            kBobIm + u"Lex\\english.lex"},
           {u"C:\\users\\alice\\AppData\\Local\\IM\\IncrediMail.ini", kBobIm + u"IncrediMail.ini"},
           // PocoMail: his folder settings, her data; her poco.ini kept as poco.bak.
           {alicePoco + u"accounts.ini", u"D:\\Poco Data\\accounts.ini"},
           {alicePoco + u"Mail\\Inbox.mbx", u"D:\\Bob Mail\\Inbox.mbx"},
           {u"D:\\Poco Attachments\\recipe.txt", u"D:\\Poco Data\\Attach\\recipe.txt"},
           {alicePoco + u"Address\\Default.csv", u"D:\\Poco Data\\Default.csv"},
           {alicePoco + u"poco.ini", u"D:\\Poco Data\\poco.bak"},
           {u"", u"D:\\Poco Data\\poco.ini",
            "[Program]\r\nMailPath=D:\\Bob Mail\r\nUsersPath=Users\r\nAddressPath=\r\n"
            "ScriptPath=Scripts\r\nSigPath=Signatures\r\nTemplatePath=Templates\r\n"
            "SkinPath=Skins\r\nShowPreview=1\r\n[Mail]\r\nAttachPath=Attach\r\n"
            "CheckEvery=10\r\n"},
       }},
      {"chosen folder",
       {"--target", "D:\\Restored"},
       {
           {kAliceRoaming + u"Thunderbird\\profiles.ini", r + u"Thunderbird\\profiles.ini"},
           {aliceTb + u"prefs.js", r + tbDefault + u"prefs.js"},
           // Two mail folders outside the profile, each with its own filter rules.
           {u"D:\\MailStore\\pop.example.org\\msgFilterRules.dat",
            r + u"Thunderbird\\D\\MailStore\\pop.example.org\\msgFilterRules.dat"},
           {u"D:\\MailStore\\mail.example.net\\msgFilterRules.dat",
            r + u"Thunderbird\\D\\MailStore\\mail.example.net\\msgFilterRules.dat"},
           {u"D:\\Mail Archive\\Profile\\prefs.js",
            r + u"Thunderbird\\D\\Mail Archive\\Profile\\prefs.js"},
           {u"D:\\Eudora Mail\\In.mbx", r + u"Eudora\\In.mbx"},
           {u"D:\\Eudora Mail Attachments\\Seed list.doc", r + u"Eudora\\Seed list.doc"},
           {u"", kBobEudora + u"\\In.mbx", "bob's inbox"},
           {u"C:\\Program Files\\Palm\\Dad\\todo\\todo.dat",
            r + u"Palm Desktop\\Dad\\todo\\todo.dat"},
           {u"C:\\Program Files\\Palm\\users.dat", r + u"Palm Desktop\\users.dat"},
           {kAliceIm + kAliceA + u"\\Message Store\\Messages.imm",
            r + u"IncrediMail\\MainProfile\\Message Store\\Messages.imm"},
           {kAliceIm + kAliceB + u"\\Message Store\\Messages.imm",
            r + u"IncrediMail\\identity0\\Message Store\\Messages.imm"},
           {u"C:\\users\\alice\\AppData\\Local\\IM\\AddOns\\Animations\\wave.ima",
            r + u"IncrediMail\\AddOns\\Animations\\wave.ima"},
           {u"", kBobIm + u"Identities\\" + kBobDefault + u"\\Message Store\\Messages.imm",
            "bob's mail"},
           {alicePoco + u"poco.ini", r + u"PocoMail\\poco.ini"},
           {alicePoco + u"Mail\\Sent.mbx", r + u"PocoMail\\Mail\\Sent.mbx"},
           {u"D:\\Poco Attachments\\recipe.txt", r + u"PocoMail\\Attach\\recipe.txt"},
           {alicePoco + u"Skins\\Blue\\skin.ini", r + u"PocoMail\\Skins\\Blue\\skin.ini"},
           {u"", u"D:\\Poco Data\\poco.ini", kBobPocoIni},
       }},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRoundTrip trip(alicesComputer(), bobsComputer());
    ASSERT_TRUE(trip.ready()) << trip.error();
    const BackupResult backup = trip.backup(kPrograms);
    ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;

    const ProgramRun run = trip.restore(c.arguments);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Your data has been successfully restored!"), std::string::npos)
        << run.out;
    for (const Landing& landing : c.landings) {
      const std::string expected =
          landing.source.empty() ? landing.content : trip.sourceContent(landing.source);
      EXPECT_EQ(trip.targetContent(landing.target), expected) << wideToUtf8(landing.target);
    }
  }
}

TEST(MailBRoundTrip, AProgramMissingOnTheSourceStopsTheBackupWithItsText) {
  const struct {
    std::string program;
    std::u16string text;
  } cases[] = {
      {"Thunderbird",
       u"Unable to find Thunderbird's data files!  Make sure that Thunderbird is not running."},
      {"Eudora", u"Unable to find Eudora's data files!"},
      {"Palm Desktop", u"Unable to find Palm Desktop's data files!"},
      {"IncrediMail", u"Unable to find IncrediMail's data files!"},
      {"PocoMail", u"Unable to find PocoMail's data files!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    TransferRoundTrip trip(alicesComputer({sampleUserDocuments()}), bobsComputer());
    ASSERT_TRUE(trip.ready()) << trip.error();
    const BackupResult backup = trip.backup({c.program});
    EXPECT_FALSE(backup.succeeded);
    EXPECT_EQ(backup.errorText, c.text);
  }
}

// Restores that cannot put the data where it belongs say so, and leave what
// bob has as it was.
TEST(MailBRoundTrip, FailedRestoresReportTheirText) {
  const std::u16string tbProfiles = kBobRoaming + u"Thunderbird\\profiles.ini";
  SampleData inTheWay = bobsPrograms();
  inTheWay.name = "folders in the way";
  inTheWay.folders = {tbProfiles, u"D:\\Restored\\Eudora\\In.mbx"};
  const struct {
    const char* name;
    std::string program;
    std::vector<SampleData> bobs;
    std::vector<std::string> arguments;
    std::string text;
  } cases[] = {
      {"PocoMail not installed",
       "PocoMail",
       {},
       {"--detect"},
       "An error occured while restoring your PocoMail data.\nMake sure that PocoMail is "
       "installed on your system before restoring."},
      {"IncrediMail not installed",
       "IncrediMail",
       {},
       {"--detect"},
       "An error occured while restoring your IncrediMail data.\nThis file may be corrupt!"},
      {"classic Eudora not installed",
       "Eudora",
       {},
       {"--detect"},
       "Your Eudora data files could not be found!"},
      {"a Thunderbird file cannot be written",
       "Thunderbird",
       {inTheWay},
       {"--detect"},
       "An error occured while restoring your Thunderbird data.\nMake sure Thunderbird is not "
       "running."},
      {"an Eudora mailbox cannot be written",
       "Eudora",
       {inTheWay},
       {"--target", "D:\\Restored"},
       "Your Eudora data files could not be found!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRoundTrip trip(alicesComputer(), bobsComputer(c.bobs));
    ASSERT_TRUE(trip.ready()) << trip.error();
    ASSERT_TRUE(trip.backup({c.program}).succeeded);
    const ProgramRun run = trip.restore(c.arguments);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.out.find("Unable to restore files..."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(c.text), std::string::npos) << run.out;
  }
}

// The attachment folder comes from the archive's eudora.ini: a folder in the
// Windows folder gets nothing, while the mail itself is restored.
TEST(MailBRoundTrip, EudoraAttachmentsNeverGoIntoTheWindowsFolder) {
  SampleData eudora = sampleEudora();
  for (SampleFile& file : eudora.files) {
    if (file.path.ends_with(u"eudora.ini")) {
      file.content = "[Settings]\r\nAutoReceiveAttachmentsDirectory=C:\\windows\\Attach\r\n";
    }
  }
  eudora.files.push_back({u"C:\\windows\\Attach\\setup.exe", "MZ"});
  SampleData bobs = bobsPrograms();
  bobs.folders.push_back(u"C:\\windows\\Attach");
  TransferRoundTrip trip(alicesComputer({eudora}), bobsComputer({bobs}));
  ASSERT_TRUE(trip.ready()) << trip.error();
  const BackupResult backup = trip.backup({"Eudora"});
  ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText);

  const ProgramRun run = trip.restore({"--detect"});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(trip.targetContent(u"C:\\windows\\Attach\\setup.exe"), "<missing>");
  EXPECT_EQ(trip.targetContent(kBobEudora + u"\\In.mbx"),
            trip.sourceContent(u"D:\\Eudora Mail\\In.mbx"));
}

}  // namespace
}  // namespace zq
