// Outlook, Outlook Express, Windows Mail, Windows Live Mail and Windows
// Calendar through both programs: alice's stores are backed up on her
// computer and the archive is run on bob's, where the mail programs keep
// their stores elsewhere: Windows Mail and his first Outlook Express
// identity on D:, and his identities have other names than hers.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/text.h"
#include "testing/round_trip.h"
#include "testing/sample_mail_a.h"

namespace zq {
namespace {

const std::vector<std::string> kPrograms = {"Outlook", "Outlook Express", "Windows Mail",
                                            "Windows Live Mail", "Windows Calendar"};

const std::u16string kAliceLocal = u"C:\\users\\alice\\AppData\\Local\\";
const std::u16string kAliceMain =
    kAliceLocal + u"Identities\\{2A1F9C4E-5B7D-4E21-9C3A-0F6B2D8E1A41}\\Microsoft\\Outlook Express\\";
const std::u16string kAliceKids =
    kAliceLocal + u"Identities\\{E4B8D2A6-1F3C-4D57-8A9E-6C2B0F4D3E15}\\Microsoft\\Outlook Express\\";
const std::u16string kBobLocal = u"C:\\users\\bob\\AppData\\Local\\";
const std::u16string kBobFirst = u"D:\\Mail\\OE\\Bob";
const std::u16string kBobSecond = u"D:\\Mail\\OE\\Bob at work";
const std::u16string kBobThird =
    kBobLocal + u"Identities\\{99C0FFEE-0000-4000-8000-00000000B0B3}\\Microsoft\\Outlook Express";

SampleMachineRecipe alicesComputer() {
  SampleMachineRecipe recipe;
  recipe.data = sampleMailA();
  return recipe;
}

// Bob's mail programs: three identities (the first with mail of his own),
// Windows Mail on D:, Windows Live Mail where it usually is.
SampleData bobsMail() {
  SampleData d;
  d.name = "bob's mail";
  const std::u16string oe = u"\\Software\\Microsoft\\Outlook Express\\5.0";
  const std::u16string ids[] = {u"{99C0FFEE-0000-4000-8000-00000000B0B1}",
                                u"{99C0FFEE-0000-4000-8000-00000000B0B2}",
                                u"{99C0FFEE-0000-4000-8000-00000000B0B3}"};
  d.values = {
      sampleText(RegRoot::CurrentUser, u"Identities\\" + ids[0] + oe, u"Store Root", kBobFirst),
      sampleText(RegRoot::CurrentUser, u"Identities\\" + ids[1] + oe, u"Store Root",
                 kBobSecond),
      sampleText(RegRoot::CurrentUser, u"Identities\\" + ids[2] + oe, u"Store Root",
                 u"%USERPROFILE%\\AppData\\Local\\Identities\\" + ids[2] +
                     u"\\Microsoft\\Outlook Express",
                 kRegExpandSz),
      sampleText(RegRoot::CurrentUser, u"Software\\Microsoft\\Windows Mail", u"Store Root",
                 u"D:\\Mail\\Windows Mail"),
      sampleText(RegRoot::CurrentUser, u"Software\\Microsoft\\Windows Live Mail", u"Store Root",
                 u"%LOCALAPPDATA%\\Microsoft\\Windows Live Mail", kRegExpandSz),
  };
  d.files = {
      {kBobFirst + u"\\Inbox.dbx", "bob's own inbox"},
      {kBobSecond + u"\\Inbox.dbx", "bob's work inbox"},
  };
  return d;
}

SampleMachineRecipe bobsComputer(bool withMail = true) {
  SampleMachineRecipe recipe;
  recipe.user = u"bob";
  recipe.computer = u"BOB-PC";
  recipe.data = {sampleUserDocuments()};
  if (withMail) recipe.data.push_back(bobsMail());
  return recipe;
}

struct Landing {
  std::u16string source;  // on alice's computer
  std::u16string target;  // on bob's
};

// Where alice's files land on bob's computer when the destination is detected.
const std::vector<Landing> kDetected = {
    // Outlook's files go back to the folders they came from.
    {kAliceLocal + u"Microsoft\\Outlook\\Outlook.pst",
     kAliceLocal + u"Microsoft\\Outlook\\Outlook.pst"},
    {kAliceLocal + u"Microsoft\\Outlook\\archive.pst",
     kAliceLocal + u"Microsoft\\Outlook\\archive.pst"},
    {u"D:\\Mail\\Family.pst", u"D:\\Mail\\Family.pst"},
    // Her identity n goes to his identity n.
    {kAliceMain + u"Inbox.dbx", kBobFirst + u"\\Inbox.dbx"},
    {kAliceMain + u"Club\\Newsletters.dbx", kBobFirst + u"\\Club\\Newsletters.dbx"},
    {kAliceKids + u"Sent Items.dbx", kBobThird + u"\\Sent Items.dbx"},
    {u"C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Address Book\\alice.wab",
     u"C:\\users\\bob\\Documents\\alice.wab"},
    {kAliceLocal + u"Microsoft\\Windows Mail\\Local Folders\\Inbox\\"
                   u"{5B3F8A21-0C4D-4E6F-9A12-7D8E3B4C5F60}.eml",
     u"D:\\Mail\\Windows Mail\\Local Folders\\Inbox\\{5B3F8A21-0C4D-4E6F-9A12-7D8E3B4C5F60}.eml"},
    {u"C:\\users\\alice\\Contacts\\Carol Smith.contact",
     u"C:\\users\\bob\\Contacts\\Carol Smith.contact"},
    {kAliceLocal + u"Microsoft\\Windows Live Mail\\Hotmail (alice)\\Inbox\\"
                   u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}.eml",
     kBobLocal + u"Microsoft\\Windows Live Mail\\Hotmail (alice)\\Inbox\\"
                 u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}.eml"},
    {kAliceLocal + u"Microsoft\\Windows Calendar\\Calendars\\alice's Calendar.ics",
     kBobLocal + u"Microsoft\\Windows Calendar\\Calendars\\alice's Calendar.ics"},
};

// The same below a chosen folder.
const std::u16string kChosen = u"D:\\Restored\\";
const std::vector<Landing> kBelowChosen = {
    {kAliceLocal + u"Microsoft\\Outlook\\archive.pst", kChosen + u"Outlook\\archive.pst"},
    {u"D:\\Mail\\Family.pst", kChosen + u"Outlook\\Family.pst"},
    {kAliceMain + u"Club\\Newsletters.dbx",
     kChosen + u"Outlook Express\\identity0\\Club\\Newsletters.dbx"},
    // Her second identity had no store: the third keeps its number.
    {kAliceKids + u"Inbox.dbx", kChosen + u"Outlook Express\\identity2\\Inbox.dbx"},
    {u"C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Address Book\\alice.wab",
     kChosen + u"Outlook Express\\alice.wab"},
    {kAliceLocal + u"Microsoft\\Windows Mail\\Mail.MSMessageStore",
     kChosen + u"Windows Mail\\Mail\\Mail.MSMessageStore"},
    {u"C:\\users\\alice\\Contacts\\Dave Miller.contact",
     kChosen + u"Windows Live Mail\\Contacts\\Dave Miller.contact"},
    {kAliceLocal + u"Microsoft\\Windows Live Mail\\Drafts\\"
                   u"{11223344-5566-7788-99AA-BBCCDDEEFF00}.eml",
     kChosen + u"Windows Live Mail\\Mail\\Drafts\\{11223344-5566-7788-99AA-BBCCDDEEFF00}.eml"},
    {kAliceLocal + u"Microsoft\\Windows Calendar\\Settings.xml",
     kChosen + u"Windows Calendar\\Settings.xml"},
};

TEST(MailARoundTrip, EveryProgramLandsWhereBobsComputerKeepsIt) {
  struct Mode {
    std::vector<std::string> arguments;
    const std::vector<Landing>* landings;
  };
  const Mode modes[] = {{{"--detect"}, &kDetected},
                        {{"--target", "D:\\Restored"}, &kBelowChosen}};
  for (const Mode& mode : modes) {
    const std::string shown = mode.arguments[0];
    TransferRoundTrip trip(alicesComputer(), bobsComputer());
    ASSERT_TRUE(trip.ready()) << trip.error();
    const BackupResult backup = trip.backup(kPrograms);
    ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;

    const ProgramRun restore = trip.restore(mode.arguments);
    EXPECT_EQ(restore.exitCode, 0) << shown << "\n" << restore.out << restore.err;
    for (const Landing& landing : *mode.landings) {
      EXPECT_EQ(trip.targetContent(landing.target), trip.sourceContent(landing.source))
          << shown << ": " << wideToUtf8(landing.target);
    }
    // The spelling dictionaries stay behind.
    EXPECT_EQ(trip.targetContent(u"D:\\Mail\\Windows Mail\\UserDictionary.dic"), "<missing>");
    EXPECT_EQ(trip.targetContent(kChosen + u"Windows Mail\\Mail\\UserDictionary.dic"),
              "<missing>");
    // How to import the PST files is always said; the address book's place
    // only when it went to the documents folder.
    EXPECT_NE(restore.out.find("select \"Personal Folder File (.pst)\""), std::string::npos)
        << restore.out;
    const bool detect = mode.landings == &kDetected;
    EXPECT_EQ(restore.out.find("Your Outlook Express Address Book (WAB) file is located here: \n"
                               "C:\\users\\bob\\Documents\\alice.wab\n") != std::string::npos,
              detect)
        << restore.out;
  }
}

// Bob's own Outlook Express mail is moved aside, never overwritten, however
// often the archive is restored; a store the archive brings nothing for is
// left alone.
TEST(MailARoundTrip, BobsOwnStoresAreMovedAsideToAFreeName) {
  TransferRoundTrip trip(alicesComputer(), bobsComputer());
  ASSERT_TRUE(trip.ready()) << trip.error();
  ASSERT_TRUE(trip.backup({"Outlook Express"}).succeeded);

  const std::string alicesInbox = trip.sourceContent(kAliceMain + u"Inbox.dbx");
  ASSERT_EQ(trip.restore({"--detect"}).exitCode, 0);
  EXPECT_EQ(trip.targetContent(kBobFirst + u".old\\Inbox.dbx"), "bob's own inbox");
  EXPECT_EQ(trip.targetContent(kBobFirst + u"\\Inbox.dbx"), alicesInbox);
  // Her identity 1 had no store, so his second identity keeps its mail in place.
  EXPECT_EQ(trip.targetContent(kBobSecond + u"\\Inbox.dbx"), "bob's work inbox");
  EXPECT_EQ(trip.targetFilesBelow(kBobSecond + u".old"), std::vector<std::u16string>{});

  // Bob reads and writes mail in the restored store, then restores again.
  {
    std::ofstream(trip.target().hostPath(kBobFirst + u"\\Drafts.dbx"), std::ios::binary)
        << "bob's draft after the first restore";
  }
  ASSERT_EQ(trip.restore({"--detect"}).exitCode, 0);
  EXPECT_EQ(trip.targetContent(kBobFirst + u".old\\Inbox.dbx"), "bob's own inbox");
  EXPECT_EQ(trip.targetContent(kBobFirst + u".old1\\Drafts.dbx"),
            "bob's draft after the first restore");
  EXPECT_EQ(trip.targetContent(kBobFirst + u"\\Inbox.dbx"), alicesInbox);
  EXPECT_EQ(trip.targetContent(kBobFirst + u"\\Drafts.dbx"), "<missing>");
}

TEST(MailARoundTrip, AProgramMissingOnEitherSideFailsWithItsText) {
  struct Case {
    std::string program;
    std::string backupFailure;   // alice has nothing of it
    std::string restoreFailure;  // bob has no place for it
  };
  const Case cases[] = {
      {"Outlook", "Unable to find your Outlook PST files!", ""},
      {"Outlook Express", "Unable to find your Outlook Express files!",
       "An error occured while restoring your Outlook Express data.\n"
       "This archive file may be corrupt!"},
      {"Windows Mail", "Unable to find your Windows Mail data!",
       "An error occured while restoring your Windows Mail data.\n"
       "This archive file may be corrupt!"},
      {"Windows Live Mail", "Unable to find your Windows Live Mail data!",
       "An error occured while restoring your Windows Live Mail data.\n"
       "This archive file may be corrupt!"},
      {"Windows Calendar", "Unable to find your Windows Calendar data!", ""},
  };
  for (const Case& c : cases) {
    {
      // Not installed on the source: the run stops with the program's text.
      TransferRoundTrip trip(SampleMachineRecipe{}, bobsComputer());
      ASSERT_TRUE(trip.ready()) << trip.error();
      const BackupResult backup = trip.backup({c.program});
      EXPECT_FALSE(backup.succeeded) << c.program;
      EXPECT_EQ(wideToUtf8(backup.errorText), c.backupFailure);
    }
    if (c.restoreFailure.empty()) continue;  // these need no program on the target
    // Not installed on the target: no store root, no identities.
    TransferRoundTrip trip(alicesComputer(), bobsComputer(/*withMail=*/false));
    ASSERT_TRUE(trip.ready()) << trip.error();
    ASSERT_TRUE(trip.backup({c.program}).succeeded) << c.program;
    const ProgramRun restore = trip.restore({"--detect"});
    EXPECT_EQ(restore.exitCode, 1) << c.program << "\n" << restore.out;
    EXPECT_NE(restore.out.find(c.restoreFailure), std::string::npos) << restore.out;
  }
}

// A file bob's computer cannot take (something of the same name is in the
// way, as when a running program holds its store) fails that program only.
TEST(MailARoundTrip, AStoreFileThatCannotBeWrittenFailsItsProgram) {
  SampleMachineRecipe bob = bobsComputer();
  SampleData inTheWay;
  inTheWay.name = "in the way";
  inTheWay.folders = {u"D:\\Mail\\Windows Mail\\Mail.MSMessageStore"};
  bob.data.push_back(inTheWay);
  TransferRoundTrip trip(alicesComputer(), bob);
  ASSERT_TRUE(trip.ready()) << trip.error();
  ASSERT_TRUE(trip.backup({"Windows Mail", "Windows Calendar"}).succeeded);

  const ProgramRun restore = trip.restore({"--detect"});
  EXPECT_EQ(restore.exitCode, 1) << restore.out;
  EXPECT_NE(restore.out.find("An error occured while restoring your Windows Mail data.\n"),
            std::string::npos)
      << restore.out;
  EXPECT_NE(trip.targetContent(kBobLocal + u"Microsoft\\Windows Calendar\\Settings.xml"),
            "<missing>");
}

}  // namespace
}  // namespace zq
