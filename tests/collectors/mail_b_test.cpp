// The collectors of Thunderbird, Eudora, Palm Desktop, IncrediMail and
// PocoMail on sample computers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "collectors/eudora.h"
#include "collectors/incredimail.h"
#include "collectors/mail_b_folders.h"
#include "collectors/mozilla_mail.h"
#include "collectors/palm_desktop.h"
#include "collectors/pocomail.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "testing/recording_entries.h"
#include "testing/sample_mail_b.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

SampleMachineRecipe withData(std::vector<SampleData> data,
                           SampleWindowsVersion version = SampleWindowsVersion::windows7()) {
  SampleMachineRecipe recipe;
  recipe.data = std::move(data);
  recipe.version = version;
  return recipe;
}

// What was stored, one "tag | relative folder | path" line each (the path
// lower-cased), sorted: the walk's order and the disk's letter case do not
// matter.
std::vector<std::string> storedLines(const RecordingEntries& entries) {
  std::vector<std::string> lines;
  for (const auto& s : entries.stored) {
    lines.push_back(s.programName + " | " + s.tag + " | " + wideToUtf8(s.relativeFolder) + " | " +
                    wideToUtf8(lowerText(s.path)));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> sortedLines(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

// ---------------------------------------------------------------- Thunderbird

TEST(Thunderbird, StoresTheFolderAndWhatLiesOutsideItOnce) {
  SampleComputer pc(withData({sampleThunderbird()}));
  ASSERT_TRUE(pc.ok());
  const std::string tb = "c:\\users\\alice\\appdata\\roaming\\thunderbird\\";
  const std::string def = "profiles\\k3x9q2ab.default";
  const std::string T = "Thunderbird | thunderbird | ";
  const std::string O = "Thunderbird | otherthunderbird | ";

  for (bool backupEdition : {true, false}) {
    RecordingEntries entries(backupEdition);
    EXPECT_TRUE(collectThunderbird(entries));
    EXPECT_EQ(entries.errorText(), u"");
    EXPECT_EQ(entries.infoTexts,
              std::vector<std::u16string>{backupEdition ? u"Backing up Thunderbird files..."
                                                        : u"Archiving Thunderbird files..."});
    // parent.lock stays behind; the work profile lies inside the folder and
    // the stale profile's Linux path names nothing; server1 and server4 lie
    // inside their profile.
    EXPECT_EQ(storedLines(entries),
              sortedLines({
                  O + "D\\Mail Archive\\Profile | d:\\mail "
                      "archive\\profile\\prefs.js",
                  O + "D\\Mail Archive\\Profile\\Mail\\Local Folders | "
                      "d:\\mail archive\\profile\\mail\\local folders\\archives 2019",
                  O + "D\\MailStore\\mail.example.net | "
                      "d:\\mailstore\\mail.example.net\\inbox",
                  O + "D\\MailStore\\mail.example.net | "
                      "d:\\mailstore\\mail.example.net\\msgfilterrules.dat",
                  O + "D\\MailStore\\pop.example.org | "
                      "d:\\mailstore\\pop.example.org\\inbox",
                  O + "D\\MailStore\\pop.example.org | "
                      "d:\\mailstore\\pop.example.org\\inbox.msf",
                  O + "D\\MailStore\\pop.example.org | "
                      "d:\\mailstore\\pop.example.org\\msgfilterrules.dat",
                  T + " | " + tb + "profiles.ini",
                  T + "Profiles\\k3x9q2ab.default | " + tb + def + "\\abook.sqlite",
                  T + "Profiles\\k3x9q2ab.default | " + tb + def + "\\prefs.js",
                  T + "Profiles\\k3x9q2ab.default | " + tb + def + "\\times.json",
                  T + "Profiles\\k3x9q2ab.default\\ImapMail\\imap.example.org | " + tb + def +
                      "\\imapmail\\imap.example.org\\inbox.msf",
                  T + "Profiles\\k3x9q2ab.default\\Mail\\Local Folders | " + tb + def +
                      "\\mail\\local folders\\inbox",
                  T + "Profiles\\k3x9q2ab.default\\Mail\\Local Folders | " + tb + def +
                      "\\mail\\local folders\\inbox.msf",
                  T + "Profiles\\k3x9q2ab.default\\Mail\\Local Folders | " + tb + def +
                      "\\mail\\local folders\\trash",
                  T + "Profiles\\w0rk5t1n.work | " + tb + "profiles\\w0rk5t1n.work\\prefs.js",
                  T + "Profiles\\w0rk5t1n.work\\Mail\\Local Folders | " + tb +
                      "profiles\\w0rk5t1n.work\\mail\\local folders\\drafts",
              }));
  }
}

TEST(Thunderbird, NewerEudoraIsCollectedTheSameWayUnderItsOwnName) {
  SampleComputer pc(withData({sampleThunderbird(), sampleEudoraOnThunderbird()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_TRUE(collectEudora(entries));
  EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{u"Backing up Eudora files..."});
  ASSERT_EQ(entries.stored.size(), 17u);
  for (const auto& s : entries.stored) {
    EXPECT_EQ(s.programName, "Eudora");
    EXPECT_TRUE(s.tag == "thunderbird" || s.tag == "otherthunderbird") << s.tag;
  }
}

TEST(Thunderbird, NotInstalledFailsInTheNameItWasCalledWith) {
  SampleComputer pc(withData({sampleEudoraOnThunderbird()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries tb;
  EXPECT_FALSE(collectThunderbird(tb));
  EXPECT_EQ(tb.errorText(),
            u"Unable to find Thunderbird's data files!  Make "
            u"sure that Thunderbird is not running.");
  RecordingEntries eudora;
  EXPECT_FALSE(collectEudora(eudora));
  EXPECT_EQ(eudora.errorText(),
            u"Unable to find Eudora's data files!  Make "
            u"sure that Eudora is not running.");
}

TEST(Thunderbird, ALockedFileKeepsTheWritersReasonAndAnExtraDoesNotCount) {
  SampleComputer pc(withData({sampleThunderbird()}));
  ASSERT_TRUE(pc.ok());
  const std::u16string prefs =
      addBackslash(appDataFolder()) + u"Thunderbird\\Profiles\\k3x9q2ab.default\\prefs.js";
  RecordingEntries locked;
  locked.failPath = prefs;
  locked.failText = u"The file is in use";
  EXPECT_FALSE(collectThunderbird(locked));
  EXPECT_EQ(locked.errorText(), u"The file is in use");

  // A failing folder outside the Thunderbird folder does not fail the run.
  RecordingEntries extra;
  extra.failPath = u"D:\\MailStore\\pop.example.org\\Inbox";
  EXPECT_TRUE(collectThunderbird(extra));
  EXPECT_EQ(extra.errorText(), u"Access denied");
}

TEST(Thunderbird, MailServerFoldersOfAPrefsFile) {
  struct Case {
    const char* name;
    std::string prefs;
    std::vector<std::u16string> folders;
  };
  const std::string s1 = "user_pref(\"mail.server.server1.directory\", ";
  const std::string s2 = "user_pref(\"mail.server.server2.directory\", ";
  const Case cases[] = {
      {"doubled backslashes become single",
       s1 + "\"C:\\\\Mail\\\\Local Folders\");\r\n",
       {u"C:\\Mail\\Local Folders"}},
      {"numbers are found only in rising order",
       s2 + "\"D:\\\\Two\");\n" + s1 + "\"D:\\\\One\");\n" + s2 + "\"D:\\\\Two again\");\n",
       {u"D:\\One", u"D:\\Two again"}},
      {"inside the profile is skipped, case ignored",
       s1 + "\"c:\\\\PROFILE\\\\Mail\\\\x\");\n" + s2 + "\"E:\\\\y\");\n",
       {u"E:\\y"}},
      {"the -rel form and other keys do not count",
       "user_pref(\"mail.server.server1.directory-rel\", \"[ProfD]Mail\");\n"
       "user_pref(\"mail.server.server1.hostname\", \"x\");\n",
       {}},
      {"spaces inside quotes are trimmed", s1 + "\"  D:\\\\Spaced  \");\n", {u"D:\\Spaced"}},
      {"a missing closing quote keeps the rest of the line", s1 + "\"D:\\\\Open\n", {u"D:\\Open"}},
  };
  SampleComputer pc(withData({}));
  ASSERT_TRUE(pc.ok());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tfile file;
    ASSERT_TRUE(openForWrite(file, u"C:\\Profile\\prefs.js"));
    ASSERT_TRUE(writeBlock(file, c.prefs.data(), c.prefs.size()));
    closeFile(file);
    EXPECT_EQ(readMailServerFolders(u"C:\\Profile\\prefs.js"), c.folders);
  }
  EXPECT_TRUE(readMailServerFolders(u"C:\\Nowhere\\prefs.js").empty());
}

// ---------------------------------------------------------------- Eudora

TEST(Eudora, StoresTheDataFolderAndAnAttachmentFolderOutsideIt) {
  SampleComputer pc(withData({sampleEudora()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries(false);
  EXPECT_TRUE(collectEudora(entries));
  EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{u"Archiving Eudora files..."});
  // D:\Eudora Mail\attach is part of "main"; D:\Eudora Mail Attachments only
  // begins with the data folder's name and is stored on its own.
  EXPECT_EQ(storedLines(entries),
            sortedLines({
                "Eudora | attachments |  | d:\\eudora mail attachments\\seed "
                "list.doc",
                "Eudora | main |  | d:\\eudora mail\\eudora.ini",
                "Eudora | main |  | d:\\eudora mail\\in.mbx",
                "Eudora | main |  | d:\\eudora mail\\in.toc",
                "Eudora | main |  | d:\\eudora mail\\nndbase.txt",
                "Eudora | main |  | d:\\eudora mail\\out.mbx",
                "Eudora | main |  | d:\\eudora mail\\trash.mbx",
                "Eudora | main | attach | d:\\eudora mail\\attach\\old-invoice.pdf",
            }));
}

TEST(Eudora, FindsTheDataFolderWhereEudoraRecordsIt) {
  const std::u16string appPaths =
      u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Eudora.exe";
  const std::string ini = "[Settings]\r\nRealName=Alice\r\n";
  struct Case {
    const char* name;
    SampleData data;
    std::u16string folder;  // the folder stored under "main"
  };
  const Case cases[] = {
      {"the App Paths folder",
       {"e",
        {},
        {{u"D:\\EA\\eudora.ini", ini}},
        {sampleText(RegRoot::LocalMachine, appPaths, u"path", u"D:\\EA")},
        {}},
       u"D:\\EA\\"},
      {"deudora.ini in the App Paths folder",
       {"e",
        {},
        {{u"C:\\PF\\deudora.ini", "[Settings]\r\nDataFolder=D:\\EB\r\n"},
         {u"D:\\EB\\eudora.ini", ini}},
        {sampleText(RegRoot::LocalMachine, appPaths, u"path", u"C:\\PF")},
        {}},
       u"D:\\EB\\"},
      {"the user's command line",
       {"e",
        {},
        {{u"D:\\EC\\eudora.ini", ini}},
        {sampleText(RegRoot::CurrentUser, u"Software\\Qualcomm\\Eudora\\CommandLine", u"current",
                    u"\"C:\\PF\\Eudora.exe\" D:\\EC")},
        {}},
       u"D:\\EC\\"},
      {"the classes' command line",
       {"e",
        {},
        {{u"D:\\E D\\eudora.ini", ini}},
        {sampleText(RegRoot::ClassesRoot, u"Software\\Qualcomm\\Eudora\\CommandLine\\current", u"",
                    u"\"C:\\PF\\Eudora.exe\" \"D:\\E D\"")},
        {}},
       u"D:\\E D\\"},
      {"application data",
       {"e", {}, {{u"%APPDATA%\\Qualcomm\\Eudora\\eudora.ini", ini}}, {}, {}},
       u"C:\\users\\alice\\AppData\\Roaming\\qualcomm\\eudora\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SampleComputer pc(withData({c.data}));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    EXPECT_TRUE(collectEudora(entries));
    ASSERT_FALSE(entries.calls.empty());
    EXPECT_EQ(entries.calls[0].path, c.folder);
    EXPECT_EQ(entries.calls[0].tag, "main");
  }

  SampleComputer none(withData({}));
  ASSERT_TRUE(none.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectEudora(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find Eudora's data files!");
  EXPECT_TRUE(entries.stored.empty());
}

// ---------------------------------------------------------------- Palm Desktop

TEST(PalmDesktop, StoresEachUserFolderUnderItsNameAndTheUsersFile) {
  SampleComputer pc(withData({samplePalmDesktop()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_TRUE(collectPalmDesktop(entries));
  EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{u"Backing up Palm Desktop files..."});
  std::vector<std::string> expected = {
      "Palm Desktop | users |  | c:\\program files\\palm\\users.dat"};
  for (std::string user : {"AliceS", "Dad"}) {
    std::string lower = user;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    for (std::string part : {"address", "datebook", "memopad", "todo"}) {
      expected.push_back("Palm Desktop | main | " + user + "\\" + part +
                         " | c:\\program files\\palm\\" + lower + "\\" + part + "\\" + part +
                         ".dat");
    }
  }
  EXPECT_EQ(storedLines(entries), sortedLines(expected));
}

TEST(PalmDesktop, TheVirtualStoreCopyIsUsedOnlyOnWindows6) {
  SampleData store;
  store.name = "store";
  store.files = {{u"%LOCALAPPDATA%\\VirtualStore\\Program Files\\Palm\\users.dat", "U"},
                 {u"%LOCALAPPDATA%\\VirtualStore\\Program "
                  u"Files\\Palm\\Carol\\address\\address.dat",
                  "A"}};
  for (bool windows6 : {true, false}) {
    SCOPED_TRACE(windows6 ? "Windows 7" : "Windows XP");
    SampleComputer pc(
        withData({samplePalmDesktop(), store},
                 windows6 ? SampleWindowsVersion::windows7() : SampleWindowsVersion::windowsXp()));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    EXPECT_TRUE(collectPalmDesktop(entries));
    EXPECT_EQ(entries.stored.size(), windows6 ? 2u : 9u);
    EXPECT_EQ(entries.stored.back().tag, "users");
    EXPECT_EQ(entries.stored.back().path.find(u"VirtualStore") != std::u16string::npos, windows6);
  }
}

TEST(PalmDesktop, NoUserFolderFails) {
  SampleData empty = samplePalmDesktop();
  empty.files = {{u"C:\\Program Files\\Palm\\users.dat", "U"}};
  SampleComputer pc(withData({empty}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectPalmDesktop(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find Palm Desktop's data files!");
  EXPECT_TRUE(entries.stored.empty());  // not even users.dat
}

// ---------------------------------------------------------------- IncrediMail

TEST(IncrediMail, IdentitiesPerUserAndMachineWide) {
  struct Case {
    const char* name;
    SampleData data;
    std::u16string folder;
  };
  const Case cases[] = {
      {"per user", sampleIncrediMail(), u"C:\\users\\alice\\AppData\\Local\\IM\\"},
      {"machine-wide", sampleIncrediMailMachineWide(), u"C:\\Program Files\\IncrediMail\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SampleComputer pc(withData({c.data}));
    ASSERT_TRUE(pc.ok());
    RecordingEntries entries;
    entries.walkFolders = false;
    EXPECT_TRUE(collectIncrediMail(entries));
    EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{u"Backing up IncrediMail files..."});
    std::vector<std::string> calls;
    for (const auto& call : entries.calls) {
      calls.push_back(call.tag + " " + wideToUtf8(call.relativeFolder) + " " +
                      (call.recurse ? "r " : "- ") + wideToUtf8(call.path));
    }
    const std::string f = wideToUtf8(c.folder);
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "default  r " + f + "Identities\\{A1E4C2B0-1111-4A7A-9C01-0000000000A1}",
                         "profile0  r " + f + "Identities\\{B2E4C2B0-2222-4A7A-9C01-0000000000B2}",
                         "profile1  r " + f + "Identities\\{C3E4C2B0-3333-4A7A-9C01-0000000000C3}",
                         "root Lex r " + f + "Lex",
                         "root AddOns r " + f + "AddOns",
                         "root Runtime r " + f + "Runtime",
                         "root  - " + f,
                     }));
  }
}

TEST(IncrediMail, NotInstalledFails) {
  SampleComputer pc(withData({}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectIncrediMail(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find IncrediMail's data files!");
}

// ---------------------------------------------------------------- PocoMail

TEST(PocoMail, StoresTheDataFolderAndEachNamedFolder) {
  SampleComputer pc(withData({samplePocoMail()}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_TRUE(collectPocoMail(entries));
  EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{u"Backing up PocoMail files..."});
  const std::string d = "c:\\users\\alice\\appdata\\roaming\\pocomail\\";
  EXPECT_EQ(storedLines(entries), sortedLines({
                                      "PocoMail | addresspath |  | " + d + "address\\default.csv",
                                      "PocoMail | attachpath |  | d:\\poco attachments\\recipe.txt",
                                      "PocoMail | mailpath |  | " + d + "mail\\inbox.mbx",
                                      "PocoMail | mailpath |  | " + d + "mail\\sent.mbx",
                                      "PocoMail | main |  | " + d + "accounts.ini",
                                      "PocoMail | main |  | " + d + "poco.ini",
                                      "PocoMail | scriptpath |  | " + d + "scripts\\tidy.pms",
                                      "PocoMail | sigpath |  | " + d + "signatures\\home.sig",
                                      "PocoMail | skinpath | Blue | " + d + "skins\\blue\\skin.ini",
                                      "PocoMail | templatepath |  | " + d + "templates\\thanks.tpl",
                                      "PocoMail | userspath |  | " + d + "users\\alice.usr",
                                  }));
}

TEST(PocoMail, AMissingMailFolderFails) {
  SampleData poco = samplePocoMail();
  std::erase_if(poco.files, [](const SampleFile& f) {
    return f.path.starts_with(u"%APPDATA%\\PocoMail\\Mail\\");
  });
  SampleComputer pc(withData({poco}));
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  EXPECT_FALSE(collectPocoMail(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find PocoMail's data files!");
}

TEST(PocoMail, FolderValuesResolveAgainstTheDataFolder) {
  const struct {
    std::u16string value, expected;
  } cases[] = {
      {u"", u"C:\\Data\\"},
      {u"M", u"C:\\Data\\"},
      {u"Mail", u"C:\\Data\\Mail"},
      {u"D:\\PocoMail\\Mail", u"D:\\PocoMail\\Mail"},
      {u"\\\\server\\mail", u"\\\\server\\mail"},
      {u"\\Mail", u"\\Mail"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resolvePocoFolder(u"C:\\Data\\", c.value), c.expected) << wideToUtf8(c.value);
  }
  EXPECT_EQ(resolvePocoFolder(u"C:\\Data", u"Mail"), u"C:\\Data\\Mail");
}

}  // namespace
}  // namespace zq
