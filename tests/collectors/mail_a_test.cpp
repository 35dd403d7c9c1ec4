// The collectors of Outlook, Outlook Express, Windows Mail, Windows Live Mail
// and Windows Calendar on a sample computer.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "collectors/collector_table.h"
#include "collectors/outlook.h"
#include "collectors/outlook_express.h"
#include "collectors/windows_calendar.h"
#include "collectors/windows_mail.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "testing/recording_entries.h"
#include "testing/sample_mail_a.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

// (path below `root` or the full path, relative folder, tag, program), sorted.
using Row = std::tuple<std::string, std::string, std::string, std::string>;

std::set<Row> rowsOf(const RecordingEntries& entries, std::u16string_view root = u"") {
  std::set<Row> rows;
  for (const auto& s : entries.stored) {
    std::u16string path = s.path;
    const std::u16string prefix = addBackslash(root);
    if (!root.empty() && wideLower(path).rfind(wideLower(prefix), 0) == 0) {
      path = path.substr(prefix.size());
    }
    rows.insert({wideToUtf8(path), wideToUtf8(s.relativeFolder), s.tag, s.programName});
  }
  return rows;
}

SampleMachineRecipe recipeWith(std::vector<SampleData> data) {
  SampleMachineRecipe recipe;
  recipe.data = std::move(data);
  return recipe;
}

SampleMachineRecipe mailComputer() { return recipeWith(sampleMailA()); }

// ---------------------------------------------------------------- Outlook

TEST(OutlookPathValue, ReadsEachEncodingWithinTheValue) {
  const std::vector<uint8_t> header = outlookPathValue(u"", PstPathEncoding::Narrow);
  const std::vector<uint8_t> bare(header.begin(), header.begin() + 53);
  auto with = [&](const std::string& tail) {
    std::vector<uint8_t> v = bare;
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
  };
  // A path longer than the 4096 bytes a fixed buffer would hold.
  const std::u16string longPath = u"C:\\" + std::u16string(2100, u'p') + u"\\x.pst";
  struct Case {
    const char* what;
    std::vector<uint8_t> value;
    std::u16string expected;
  };
  const Case cases[] = {
      {"header only", bare, u""},
      {"wide", outlookPathValue(u"C:\\Mail\\a.pst", PstPathEncoding::Wide), u"C:\\Mail\\a.pst"},
      {"narrow after the gap", outlookPathValue(u"C:\\b.pst", PstPathEncoding::NarrowAfterGap),
       u"C:\\b.pst"},
      {"narrow", outlookPathValue(u"D:\\c.pst", PstPathEncoding::Narrow), u"D:\\c.pst"},
      // Bytes 54 and 55 missing count as zero: the path would start at 57.
      {"one byte after the header", with("D"), u""},
      {"narrow without its NUL", with("D:\\open.pst"), u"D:\\open.pst"},
      {"narrow after the gap without its NUL", with(std::string("\0\0\0\0E:\\x.pst", 12)),
       u"E:\\x.pst"},
      {"wide without its NUL, odd tail", with(std::string("\0F\0:\0\\\0y\0.\0p\0s\0t\0z", 18)),
       u"F:\\y.pst"},
      {"longer than 4096 bytes", outlookPathValue(longPath, PstPathEncoding::Wide), longPath},
  };
  for (const Case& c : cases) {
    // An exactly sized copy, so a read past the end is caught by the sanitizer.
    const std::vector<uint8_t> exact(c.value.begin(), c.value.end());
    EXPECT_EQ(pstPathFromValue(exact), c.expected) << c.what;
  }
}

TEST(Outlook, StoresThePstFileOfEveryProfileSection) {
  SampleComputer pc(mailComputer());
  ASSERT_TRUE(pc.ok());
  const std::u16string local = localAppDataFolder() + u"\\Microsoft\\Outlook";

  RecordingEntries entries(false);
  EXPECT_TRUE(collectOutlook(entries));
  EXPECT_EQ(entries.errorText(), u"");
  EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{u"Archiving Outlook files..."});
  const std::set<Row> expected = {
      {wideToUtf8(local) + "\\Outlook.pst", "", "pst", "Outlook"},
      {wideToUtf8(local) + "\\archive.pst", "", "pst", "Outlook"},
      {"D:\\Mail\\Family.pst", "", "pst", "Outlook"},
  };
  EXPECT_EQ(rowsOf(entries), expected);
  for (const auto& call : entries.calls) EXPECT_FALSE(call.isFolder);
  EXPECT_TRUE(programCollectors()[static_cast<size_t>(catalogueIndex("Outlook"))]);
}

TEST(Outlook, OnlyBinaryValuesOfTheFirstProfileKeyCount) {
  const std::u16string office = u"Software\\Microsoft\\Windows Messaging Subsystem\\Profiles";
  SampleData extra;
  extra.name = "outlook extra";
  extra.files = {{u"C:\\Mail\\Office.pst", "!BDN office"}, {u"C:\\Mail\\Text.pst", "!BDN"}};
  SampleRegValue binary;
  binary.key = office + u"\\Office\\0a0d020000000000c000000000000046";
  binary.value.name = u"01020fff";
  binary.value.type = kRegBinary;
  binary.value.data = outlookPathValue(u"C:\\Mail\\Office.pst", PstPathEncoding::Wide);
  // Trailing bytes after the path make the value longer than 4096 bytes; it
  // is read whole all the same.
  binary.value.data.resize(5000, 0xAB);
  extra.values = {
      binary,
      // Text where binary data belongs: its bytes would name Text.pst, but
      // only a binary value is a path value.
      sampleText(RegRoot::CurrentUser, office + u"\\Office\\13dbb0c8aa05101a9bb000aa002fc45a",
                 u"01020fff", std::u16string(27, u'x') + u"C:\\Mail\\Text.pst"),
  };
  SampleComputer pc(recipeWith({sampleOutlook(), extra}));
  ASSERT_TRUE(pc.ok());

  RecordingEntries entries;
  EXPECT_TRUE(collectOutlook(entries));
  // The key Office uses wins; the older key's profile is not read at all.
  EXPECT_EQ(rowsOf(entries), (std::set<Row>{{"C:\\Mail\\Office.pst", "", "pst", "Outlook"}}));
}

TEST(Outlook, FailsWhenNoNamedFileCanBeStored) {
  {
    SampleComputer pc;  // no profiles at all
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    EXPECT_FALSE(collectOutlook(entries));
    EXPECT_EQ(entries.errorText(), u"Unable to find your Outlook PST files!");
  }
  {
    // Profiles that name files which are gone.
    SampleData profilesOnly = sampleOutlook();
    profilesOnly.files.clear();
    SampleComputer pc(recipeWith({profilesOnly}));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    EXPECT_FALSE(collectOutlook(entries));
    EXPECT_EQ(entries.errorText(), u"Unable to find your Outlook PST files!");
    EXPECT_EQ(entries.calls.size(), 3u);
  }
  {
    // A locked file: the others are stored, the writer's reason stays.
    SampleComputer pc(mailComputer());
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    entries.failPath = u"D:\\Mail\\Family.pst";
    EXPECT_TRUE(collectOutlook(entries));
    EXPECT_EQ(entries.stored.size(), 2u);
    EXPECT_EQ(entries.errorText(), u"Access denied");
  }
}

// ---------------------------------------------------------------- Outlook Express

TEST(OutlookExpress, StoresEveryIdentityByItsRegistryPositionAndTheAddressBook) {
  SampleComputer pc(mailComputer());
  ASSERT_TRUE(pc.ok());
  const std::string identities = wideToUtf8(localAppDataFolder()) + "\\Identities\\";
  const std::string first = identities + "{2A1F9C4E-5B7D-4E21-9C3A-0F6B2D8E1A41}\\Microsoft\\Outlook Express\\";
  const std::string third = identities + "{E4B8D2A6-1F3C-4D57-8A9E-6C2B0F4D3E15}\\Microsoft\\Outlook Express\\";

  RecordingEntries entries;
  EXPECT_TRUE(collectOutlookExpress(entries));
  EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{u"Backing up Outlook Express files..."});
  const std::string oe = "Outlook Express";
  const std::set<Row> expected = {
      {first + "Inbox.dbx", "", "mail0", oe},
      {first + "Sent Items.dbx", "", "mail0", oe},
      {first + "Folders.dbx", "", "mail0", oe},
      {first + "Club\\Newsletters.dbx", "Club", "mail0", oe},
      // The second identity has no store; the third keeps its position.
      {third + "Inbox.dbx", "", "mail2", oe},
      {third + "Sent Items.dbx", "", "mail2", oe},
      {third + "Folders.dbx", "", "mail2", oe},
      {wideToUtf8(appDataFolder()) + "\\Microsoft\\Address Book\\alice.wab", "", "addressbook",
       oe},
  };
  EXPECT_EQ(rowsOf(entries), expected);
}

TEST(OutlookExpress, TheAddressBookAloneIsNoSuccess) {
  SampleData bookOnly = sampleOutlookExpress();
  bookOnly.values.erase(std::remove_if(bookOnly.values.begin(), bookOnly.values.end(),
                                       [](const SampleRegValue& v) {
                                         return v.value.name == u"Store Root";
                                       }),
                        bookOnly.values.end());
  SampleComputer pc(recipeWith({bookOnly}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectOutlookExpress(entries));
  EXPECT_EQ(entries.stored.size(), 1u);  // the address book
  EXPECT_EQ(entries.errorText(), u"Unable to find your Outlook Express files!");
}

// ---------------------------------------------------------------- Windows Mail, Live Mail

struct StoreRootCase {
  const char* program;
  bool (*collect)(Entries&);
  SampleData (*data)();
  std::u16string store;  // below the local application data folder
  std::set<std::string> mail;  // files below the store
  std::u16string failure;
};

const StoreRootCase kStoreRootCases[] = {
    {"Windows Mail", collectWindowsMail, sampleWindowsMail, u"Microsoft\\Windows Mail",
     {"Mail.MSMessageStore", "Local Folders\\Inbox\\{5B3F8A21-0C4D-4E6F-9A12-7D8E3B4C5F60}.eml",
      "Local Folders\\Sent Items\\{A1C2E3F4-5B6D-4E7F-8091-A2B3C4D5E6F7}.eml",
      "Local Folders\\Inbox\\winmail.fol"},
     u"Unable to find your Windows Mail data!"},
    {"Windows Live Mail", collectWindowsLiveMail, sampleWindowsLiveMail,
     u"Microsoft\\Windows Live Mail",
     {"Mail.MSMessageStore",
      "Hotmail (alice)\\account{8C2F1D4A-3B5E-4F60-9172-8394A5B6C7D8}.oeaccount",
      "Hotmail (alice)\\Inbox\\{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}.eml",
      "Drafts\\{11223344-5566-7788-99AA-BBCCDDEEFF00}.eml"},
     u"Unable to find your Windows Live Mail data!"},
};

TEST(StoreRootMail, StoresTheStoreWithoutDictionariesThenTheContacts) {
  for (const StoreRootCase& c : kStoreRootCases) {
    SampleComputer pc(recipeWith({c.data()}));
    ASSERT_TRUE(pc.ok());
    const std::u16string store = localAppDataFolder() + u"\\" + c.store;
    RecordingEntries entries;
    EXPECT_TRUE(c.collect(entries)) << c.program;
    EXPECT_EQ(entries.infoTexts,
              std::vector<std::u16string>{u"Backing up " + utf8ToWide(c.program) + u" files..."});
    ASSERT_FALSE(entries.calls.empty());
    EXPECT_EQ(entries.calls[0].exclusions, u"userdictionary*") << c.program;

    std::set<Row> expected;
    for (const std::string& file : c.mail) {
      const size_t slash = file.rfind('\\');
      expected.insert({wideToUtf8(store) + "\\" + file,
                       slash == std::string::npos ? "" : file.substr(0, slash), "mail",
                       c.program});
    }
    const std::string contacts = wideToUtf8(profileFolder()) + "\\Contacts\\";
    expected.insert({contacts + "Carol Smith.contact", "", "contacts", c.program});
    expected.insert({contacts + "Dave Miller.contact", "", "contacts", c.program});
    EXPECT_EQ(rowsOf(entries), expected) << c.program;
  }
}

TEST(StoreRootMail, WithoutTheStoreNothingIsStored) {
  for (const StoreRootCase& c : kStoreRootCases) {
    // The value names a folder that is gone; the contacts are still there.
    SampleData data = c.data();
    data.files.erase(std::remove_if(data.files.begin(), data.files.end(),
                                    [](const SampleFile& f) {
                                      return f.path.find(u"Contacts") == std::u16string::npos;
                                    }),
                     data.files.end());
    SampleComputer pc(recipeWith({data}));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    EXPECT_FALSE(c.collect(entries)) << c.program;
    EXPECT_TRUE(entries.calls.empty()) << c.program;
    EXPECT_EQ(entries.errorText(), c.failure);
  }
  // A locked message fails the store, and the writer's reason wins.
  SampleComputer pc(recipeWith({sampleWindowsMail()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  entries.failPath = localAppDataFolder() + u"\\Microsoft\\Windows Mail\\Mail.MSMessageStore";
  EXPECT_FALSE(collectWindowsMail(entries));
  EXPECT_EQ(entries.errorText(), u"Access denied");
  EXPECT_EQ(entries.calls.size(), 1u);  // no contacts after a failed store
}

// ---------------------------------------------------------------- Windows Calendar

TEST(WindowsCalendar, StoresTheCalendarFolderOrFails) {
  {
    SampleComputer pc(mailComputer());
    ASSERT_TRUE(pc.ok());
    const std::string folder = wideToUtf8(localAppDataFolder()) + "\\Microsoft\\Windows Calendar\\";
    RecordingEntries entries;
    EXPECT_TRUE(collectWindowsCalendar(entries));
    EXPECT_EQ(entries.infoTexts,
              std::vector<std::u16string>{u"Backing up Windows Calendar files..."});
    const std::string wc = "Windows Calendar";
    EXPECT_EQ(rowsOf(entries), (std::set<Row>{
                                   {folder + "Calendars\\alice's Calendar.ics", "Calendars",
                                    "calendar", wc},
                                   {folder + "Calendars\\Club.ics", "Calendars", "calendar", wc},
                                   {folder + "Settings.xml", "", "calendar", wc},
                               }));
  }
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectWindowsCalendar(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find your Windows Calendar data!");
}

}  // namespace
}  // namespace zq
