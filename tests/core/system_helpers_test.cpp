// System, registry, special-folder, shell and dialog helpers.
#include "core/system_helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/files.h"
#include "core/machine_wrapper.h"
#include "core/prefix_machine.h"
#include "core/registry_helpers.h"
#include "core/shell_link.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "tests/core/prefix_fixture.h"

namespace zq {
namespace {

constexpr char16_t kTestKey[] = u"Software\\Zq\\Test";
constexpr char16_t kNetHood[] =
    u"C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts";

// The fixture machine with a few answers changed.
class AlteredMachine : public MachineWrapper {
 public:
  using MachineWrapper::MachineWrapper;
  WindowsVersion versionAnswer{};
  bool changeVersion = false;
  bool blankSpecialFolders = false;  // the machine's own lookup knows nothing
  bool blankEnvironment = false;
  std::vector<std::u16string> opened;

  WindowsVersion version() override {
    return changeVersion ? versionAnswer : MachineWrapper::version();
  }
  std::u16string specialFolder(SpecialFolder folder) override {
    return blankSpecialFolders ? std::u16string() : MachineWrapper::specialFolder(folder);
  }
  std::u16string environmentVariable(std::u16string_view name) override {
    return blankEnvironment ? std::u16string() : MachineWrapper::environmentVariable(name);
  }
  bool openDocument(std::u16string_view target) override {
    opened.emplace_back(target);
    return true;
  }
};

class SystemHelpers : public PrefixFixture {};

// ---------------------------------------------------------------- registry

TEST_F(SystemHelpers, RegistryReadsFallBackToTheDefault) {
  struct Case {
    std::u16string (*read)(std::u16string_view, std::u16string_view, std::u16string_view);
    std::u16string key, name, expected;
  };
  const std::u16string dflt = u"(default)";
  const std::vector<Case> cases = {
      {readUserRegString, kTestKey, u"Text", u"Grüße"},
      {readUserRegString, u"SOFTWARE\\zq\\TEST", u"text", u"Grüße"},
      {readUserRegString, u"Software\\Zq\\Test\\", u"Text", u"Grüße"},  // trailing "\"
      {readUserRegString, kTestKey, u"", u"default text"},
      {readUserRegString, kTestKey, u"Expand", u"%APPDATA%\\Thing"},  // not expanded
      {readUserRegString, kTestKey, u"Number", dflt},  // a DWORD is not a string
      {readUserRegString, kTestKey, u"Missing", dflt},
      {readUserRegString, u"Software\\Missing", u"Text", dflt},
      {readMachineRegString, kTestKey, u"Text", dflt},  // HKCU only
      {readMachineRegString, u"Software\\Microsoft\\Windows\\CurrentVersion",
       u"ProgramFilesDir", u"C:\\Program Files"},
      {readClassesRegString, u".txt", u"", u"txtfile"},
      {readClassesRegString, u".doc", u"", dflt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.read(c.key, c.name, dflt), c.expected)
        << wideToUtf8(c.key) << " : " << wideToUtf8(c.name);
  }
}

TEST_F(SystemHelpers, WriteUserRegStringCreatesTheKeyAndKeepsIt) {
  EXPECT_TRUE(writeUserRegString(u"Software\\Mervantic\\New App\\Sub", u"Setting", u"1 € ü"));
  EXPECT_EQ(readUserRegString(u"Software\\Mervantic\\New App\\Sub", u"Setting", u""), u"1 € ü");
  EXPECT_TRUE(writeUserRegString(kTestKey, u"Number", u"now text"));  // replaces the DWORD
  EXPECT_EQ(readUserRegString(kTestKey, u"Number", u""), u"now text");
  EXPECT_FALSE(writeUserRegString(u"", u"x", u"y"));

  // The value is in user.reg: another machine over the same prefix sees it.
  std::string error;
  auto again = PrefixMachine::open(dir_, error);
  ASSERT_TRUE(again) << error;
  ScopedMachine scope(*again);
  EXPECT_EQ(readUserRegString(u"software\\mervantic\\new app\\sub", u"setting", u""), u"1 € ü");
}

// ---------------------------------------------------------------- system

TEST_F(SystemHelpers, VersionChecks) {
  struct Case {
    uint32_t major, minor;
    bool nt, xp, newerThanXp, vista;
  };
  const std::vector<Case> cases = {
      {4, 0, false, false, false, false}, {5, 0, true, false, false, false},
      {5, 1, true, true, false, false},   {5, 2, true, false, true, false},
      {6, 0, true, false, true, true},    {6, 1, true, false, true, true},
      {10, 0, true, false, true, false},
  };
  AlteredMachine altered(*machine_);
  ScopedMachine scope(altered);
  altered.changeVersion = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
    altered.versionAnswer = {c.major, c.minor};
    EXPECT_EQ(isNTFamily(), c.nt);
    EXPECT_EQ(isWindowsXP(), c.xp);
    EXPECT_EQ(isNewerThanXP(), c.newerThanXp);
    EXPECT_EQ(isWindowsVista(), c.vista);
  }
}

TEST_F(SystemHelpers, UacFollowsEnableLua) {
  const std::u16string key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
  EXPECT_TRUE(isUacEnabled());
  ASSERT_TRUE(machine_->writeValue(RegRoot::LocalMachine, key, RegValue::fromDword(u"EnableLUA", 0)));
  EXPECT_FALSE(isUacEnabled());
  ASSERT_TRUE(machine_->writeValue(RegRoot::LocalMachine, key, RegValue::fromText(u"EnableLUA", u"1")));
  EXPECT_FALSE(isUacEnabled());  // not a number
  ASSERT_TRUE(machine_->writeValue(RegRoot::LocalMachine, key, RegValue::fromDword(u"EnableLUA", 2)));
  EXPECT_TRUE(isUacEnabled());
  ASSERT_TRUE(machine_->deleteValue(RegRoot::LocalMachine, key, u"EnableLUA"));
  EXPECT_FALSE(isUacEnabled());
}

TEST_F(SystemHelpers, ComputerNameAndEnvironment) {
  EXPECT_EQ(computerName(), u"FIXTURE-PC");
  EXPECT_EQ(environmentVariable(u"USERPROFILE"), u"C:\\users\\alice");
  EXPECT_EQ(environmentVariable(u"NO_SUCH_VARIABLE"), u"");
  EXPECT_EQ(environmentVariable(u""), u"");

  struct Case {
    std::u16string in, out;
  };
  const std::vector<Case> cases = {
      {u"%USERPROFILE%\\Documents", u"C:\\users\\alice\\Documents"},
      {u"%userprofile%", u"C:\\users\\alice"},
      {u"a%USERNAME%b%USERNAME%c", u"aalicebalicec"},
      {u"%NOPE%\\x", u"%NOPE%\\x"},                 // unknown: left as written
      {u"%NOPE%%USERNAME%", u"%NOPE%alice"},        // the closing "%" may open the next
      {u"100%", u"100%"},
      {u"%%", u"%%"},
      {u"50% of %USERNAME%", u"50% of alice"},  // " of " is no variable, its "%" opens the next
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(expandEnvironment(c.in), c.out) << wideToUtf8(c.in);
}

TEST_F(SystemHelpers, AnsiTextUsesTheMachinesCodePage) {
  EXPECT_EQ(ansiToWide("Gr\xFC\xDF" "e \x80"), u"Grüße €");
  EXPECT_EQ(wideToAnsi(u"Grüße € 日"), "Gr\xFC\xDF" "e \x80 ?");
}

TEST_F(SystemHelpers, Services) {
  EXPECT_FALSE(isServiceRunning(u"Schedule"));  // manual start
  EXPECT_TRUE(startService(u"Schedule"));
  EXPECT_TRUE(isServiceRunning(u"schedule"));
  EXPECT_FALSE(startService(u"Disabled"));
  EXPECT_FALSE(isServiceRunning(u"Disabled"));
  EXPECT_FALSE(startService(u"NoSuchService"));
  EXPECT_FALSE(isServiceRunning(u"NoSuchService"));
  EXPECT_FALSE(isServiceRunning(u""));
}

TEST_F(SystemHelpers, ShellOpensThroughTheMachine) {
  AlteredMachine altered(*machine_);
  ScopedMachine scope(altered);
  EXPECT_TRUE(openDocument(nullptr, u"http://example.invalid/suggest.php?name=x"));
  EXPECT_TRUE(runDocument(u"C:\\users\\alice\\Documents\\notes.txt"));
  EXPECT_TRUE(showHelp(nullptr, u"C:\\Program Files\\app\\help.chm", 3, 0));
  EXPECT_FALSE(runDocument(u""));
  EXPECT_EQ(altered.opened, (std::vector<std::u16string>{
                                u"http://example.invalid/suggest.php?name=x",
                                u"C:\\users\\alice\\Documents\\notes.txt",
                                u"C:\\Program Files\\app\\help.chm"}));
}

// ---------------------------------------------------------------- special folders

TEST_F(SystemHelpers, SpecialFoldersHaveNoTrailingBackslash) {
  struct Case {
    std::u16string (*folder)();
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      {desktopFolder, u"C:\\users\\alice\\Desktop"},
      {appDataFolder, u"C:\\users\\alice\\AppData\\Roaming"},
      {localAppDataFolder, u"C:\\users\\alice\\AppData\\Local"},
      {favoritesFolder, u"C:\\users\\alice\\Favorites"},
      {documentsFolder, u"C:\\users\\alice\\Documents"},
      {windowsFolder, u"C:\\windows"},
      {profileFolder, u"C:\\users\\alice"},
      {programFilesFolder, u"C:\\Program Files"},
      {tempFolder, u"C:\\users\\alice\\Temp"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.folder(), c.expected);
}

TEST_F(SystemHelpers, SpecialFoldersAreCreatedWhenMissing) {
  ASSERT_EQ(::rmdir(host("drive_c/users/alice/Favorites").c_str()), 0);
  EXPECT_FALSE(folderExists(u"C:\\users\\alice\\Favorites"));
  EXPECT_EQ(favoritesFolder(), u"C:\\users\\alice\\Favorites");
  EXPECT_TRUE(folderExists(u"C:\\users\\alice\\Favorites"));
}

TEST_F(SystemHelpers, SpecialFoldersFallBackToTheRegistry) {
  AlteredMachine altered(*machine_);
  ScopedMachine scope(altered);
  altered.blankSpecialFolders = true;
  EXPECT_EQ(desktopFolder(), u"C:\\users\\alice\\Desktop");
  EXPECT_EQ(documentsFolder(), u"C:\\users\\alice\\Documents");  // stored with a trailing "\"
  EXPECT_EQ(profileFolder(), u"");
  EXPECT_EQ(programFilesFolder(), u"C:\\Program Files");
  EXPECT_EQ(windowsFolder(), u"C:\\windows");
  EXPECT_EQ(tempFolder(), u"C:\\users\\alice\\Temp");

  altered.blankEnvironment = true;
  ASSERT_TRUE(machine_->deleteKey(RegRoot::LocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion"));
  ASSERT_TRUE(machine_->deleteKey(RegRoot::CurrentUser, u"Software\\Microsoft"));
  EXPECT_EQ(desktopFolder(), u"");
  EXPECT_EQ(windowsFolder(), u"");
  EXPECT_EQ(tempFolder(), u"");
  EXPECT_EQ(programFilesFolder(), u"c:\\program files");
}

TEST_F(SystemHelpers, NetHoodPaths) {
  struct Case {
    std::u16string path;
    bool inside;
  };
  const std::vector<Case> cases = {
      {std::u16string(kNetHood) + u"\\Office Share", true},
      {wideUpper(kNetHood) + u"\\office share\\deeper", true},
      {kNetHood, true},
      {std::u16string(kNetHood) + u"2\\Other", false},  // a sibling folder
      {u"C:\\users\\alice\\Documents", false},
      {u"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isNetHoodPath(c.path), c.inside) << wideToUtf8(c.path);
}

TEST_F(SystemHelpers, ShortcutTargetOfANetworkPlace) {
  const std::string place =
      "drive_c/users/alice/AppData/Roaming/Microsoft/Windows/Network Shortcuts/Office Share/";
  const std::vector<uint8_t> link = makeNetworkShellLink(u"\\\\server\\share", u"folder");
  writeHostFile(place + "target.lnk", std::string(link.begin(), link.end()));
  const std::u16string folder = std::u16string(kNetHood) + u"\\Office Share";
  EXPECT_EQ(shortcutTarget(folder), u"\\\\server\\share\\folder");
  EXPECT_EQ(shortcutTarget(folder + u"\\"), u"\\\\server\\share\\folder");

  writeHostFile(place + "target.lnk", std::string(link.begin(), link.begin() + 40));  // cut off
  EXPECT_EQ(shortcutTarget(folder), u"");
  EXPECT_EQ(shortcutTarget(u"C:\\users\\alice\\Documents"), u"");  // no link there
}

// ---------------------------------------------------------------- dialogs

struct Shown {
  MessageKind kind;
  std::u16string caption, text;
};

class RecordingDialogs : public Dialogs {
 public:
  std::vector<Shown> shown;
  bool answer = false;
  bool message(void*, MessageKind kind, std::u16string_view caption,
               std::u16string_view text) override {
    shown.push_back({kind, std::u16string(caption), std::u16string(text)});
    return kind == MessageKind::Confirm ? answer : true;
  }
  bool input(void*, std::u16string_view caption, std::u16string_view prompt,
             std::u16string& text) override {
    shown.push_back({MessageKind::Info, std::u16string(caption), std::u16string(prompt)});
    if (!answer) return false;
    text += u" edited";
    return true;
  }
};

TEST(Dialogs, BoxesCarryTheirCaptionsAndAnswers) {
  RecordingDialogs recording;
  ScopedDialogs scope(recording);
  recording.answer = true;
  EXPECT_TRUE(confirmBox(nullptr, u"Cancel the backup?"));
  recording.answer = false;
  EXPECT_FALSE(confirmBox(nullptr, u"Cancel the backup?"));
  errorBox(nullptr, u"Cant read from stub.dat file.");
  warningBox(nullptr, u"careful");
  infoBox(u"done");
  ASSERT_EQ(recording.shown.size(), 5u);
  EXPECT_EQ(recording.shown[0].kind, MessageKind::Confirm);
  EXPECT_EQ(recording.shown[0].caption, u"Confirm");
  EXPECT_EQ(recording.shown[2].kind, MessageKind::Error);
  EXPECT_EQ(recording.shown[2].caption, u"Error");
  EXPECT_EQ(recording.shown[2].text, u"Cant read from stub.dat file.");
  EXPECT_EQ(recording.shown[3].kind, MessageKind::Warning);
  EXPECT_EQ(recording.shown[3].caption, u"Warning");
  EXPECT_EQ(recording.shown[4].kind, MessageKind::Info);

  std::u16string text = u"name";
  EXPECT_FALSE(inputBox(nullptr, u"Title", u"Prompt", text));
  EXPECT_EQ(text, u"name");
  recording.answer = true;
  EXPECT_TRUE(inputBox(nullptr, u"Title", u"Prompt", text));
  EXPECT_EQ(text, u"name edited");
}

// A console over temporary files standing in for the terminal.
struct Console {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  explicit Console(const std::string& typed) {
    std::fputs(typed.c_str(), in);
    std::rewind(in);
  }
  ~Console() {
    std::fclose(in);
    std::fclose(out);
  }
  std::string written() {
    std::rewind(out);
    std::string s;
    for (int c; (c = std::fgetc(out)) != EOF;) s += static_cast<char>(c);
    return s;
  }
};

TEST(Dialogs, ConsoleAsksOnlyAnInteractiveTerminal) {
  {
    Console console("y\n");
    ConsoleDialogs dialogs(console.in, console.out, /*interactive=*/false);
    EXPECT_FALSE(dialogs.message(nullptr, MessageKind::Confirm, u"Confirm", u"Go on?"));
    std::u16string text = u"keep";
    EXPECT_FALSE(dialogs.input(nullptr, u"Title", u"Name", text));
    EXPECT_EQ(text, u"keep");
    EXPECT_EQ(std::fgetc(console.in), 'y');  // nothing was read
    EXPECT_NE(console.written().find("Confirm: Go on?"), std::string::npos);
  }
  struct Case {
    const char* typed;
    bool yes;
  };
  for (const Case& c : std::vector<Case>{{"y\n", true}, {"Yes\r\n", true}, {"n\n", false},
                                         {"\n", false}, {"", false}, {"maybe\n", false}}) {
    Console console(c.typed);
    ConsoleDialogs dialogs(console.in, console.out, true);
    EXPECT_EQ(dialogs.message(nullptr, MessageKind::Confirm, u"Confirm", u"Go on?"), c.yes)
        << c.typed;
  }
  {
    Console console("Zoë\n\n");
    ConsoleDialogs dialogs(console.in, console.out, true);
    std::u16string text = u"old";
    EXPECT_TRUE(dialogs.input(nullptr, u"Title", u"Name", text));
    EXPECT_EQ(text, u"Zoë");
    EXPECT_TRUE(dialogs.input(nullptr, u"Title", u"Name", text));  // empty line keeps it
    EXPECT_EQ(text, u"Zoë");
    EXPECT_FALSE(dialogs.input(nullptr, u"Title", u"Name", text));  // end of input cancels
    dialogs.message(nullptr, MessageKind::Error, u"Error", u"Disk full");
    EXPECT_NE(console.written().find("Error: Disk full\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace zq
