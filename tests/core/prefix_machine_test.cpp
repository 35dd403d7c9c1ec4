#include "core/prefix_machine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/machine_wrapper.h"
#include "core/text.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(ZQ_FIXTURES_DIR) + "/wineprefix/";

// A registry file with nothing in it but its header.
const char kEmptyHive[] = "WINE REGISTRY Version 2\n\n#arch=win64\n";

std::string u8(std::u16string_view text) { return wideToUtf8(text); }
std::u16string w(std::string_view text) { return utf8ToWide(text); }

std::string slashesToBackslashes(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeAll(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A prefix folder in the temporary-files folder, built from a tree declared
// as data and removed afterwards (links inside are removed, not followed).
class TempPrefix {
 public:
  TempPrefix() {
    std::string pattern = (fs::temp_directory_path() / "zq-prefix-XXXXXX").string();
    dir = mkdtemp(pattern.data());
  }
  ~TempPrefix() { fs::remove_all(dir); }

  // "a/b/" is a folder, "a/b.txt=text" a file, "a/l -> target" a link.
  void build(std::initializer_list<std::string_view> entries) const {
    for (std::string_view entry : entries) {
      size_t arrow = entry.find(" -> ");
      size_t equals = entry.find('=');
      if (arrow != std::string_view::npos) {
        fs::path link = dir + "/" + std::string(entry.substr(0, arrow));
        fs::create_directories(link.parent_path());
        fs::create_symlink(std::string(entry.substr(arrow + 4)), link);
      } else if (entry.back() == '/') {
        fs::create_directories(dir + "/" + std::string(entry));
      } else {
        std::string name(entry.substr(0, equals));
        fs::create_directories(fs::path(dir + "/" + name).parent_path());
        writeAll(dir + "/" + name,
                 equals == std::string_view::npos ? "" : entry.substr(equals + 1));
      }
    }
  }

  // The registry of the fixture prefix (a fresh real one: user root,
  // computer "VM", Windows 7).
  void copyFixtureRegistry() const {
    for (const char* name : {"user.reg", "system.reg"}) {
      fs::copy_file(kFixtures + name, dir + "/" + name);
      fs::permissions(dir + "/" + name, fs::perms::owner_read | fs::perms::owner_write);
    }
  }

  void emptyRegistry() const {
    writeAll(dir + "/user.reg", kEmptyHive);
    writeAll(dir + "/system.reg", kEmptyHive);
  }

  std::unique_ptr<PrefixMachine> open(PrefixOptions options = {}) const {
    std::string error;
    auto machine = PrefixMachine::open(dir, error, std::move(options));
    EXPECT_TRUE(machine) << error;
    return machine;
  }

  std::string dir;
};

// The drive_c of a fresh prefix, cut down to what the tests look at. As in a
// real one, Desktop and Documents are links into the host user's home.
const std::initializer_list<std::string_view> kFreshTree = {
    "drive_c/windows/system32/",
    "drive_c/windows/win.ini=[fonts]\n",
    "drive_c/Program Files/Common Files/",
    "drive_c/ProgramData/",
    "drive_c/users/Public/Documents/",
    "drive_c/users/root/AppData/Roaming/Microsoft/Windows/Network Shortcuts/",
    "drive_c/users/root/AppData/Local/",
    "drive_c/users/root/Favorites/",
    "drive_c/users/root/Temp/",
    "drive_c/users/root/Desktop -> ../../../home",
    "drive_c/users/root/Documents -> ../../../home/Dokumente",
    "home/Dokumente/letter.txt=Dear",
    "dosdevices/c: -> ../drive_c",
    "dosdevices/z: -> /",
    "dosdevices/com1 -> /dev/ttyS0",
};

// ---------------------------------------------------------------- opening

TEST(PrefixOpen, SaysWhyAFolderIsNoPrefix) {
  TempPrefix p;
  p.build({"empty/", "half/user.reg=WINE REGISTRY Version 2\n", "file.txt=x"});
  struct Case {
    std::string dir;
    std::string error;
  } cases[] = {
      {p.dir + "/missing", p.dir + "/missing: no such folder"},
      {p.dir + "/file.txt", p.dir + "/file.txt: no such folder"},
      {p.dir + "/empty", p.dir + "/empty: not a Wine-style prefix (no system.reg or user.reg)"},
      {p.dir + "/half", p.dir + "/half: not a Wine-style prefix (no system.reg or user.reg)"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(PrefixMachine::open(c.dir, error));
    EXPECT_EQ(error, c.error);
  }
}

TEST(PrefixOpen, DamagedRegistryNamesFileAndLineAndIsLeftAlone) {
  TempPrefix p;
  p.build(kFreshTree);
  p.copyFixtureRegistry();
  std::string damaged = readAll(p.dir + "/system.reg");
  damaged.insert(damaged.find("\n[") + 1, "[Software\\\\Broken\n\"x\"=dword:zz\n\n");
  writeAll(p.dir + "/system.reg", damaged);

  std::string error;
  EXPECT_FALSE(PrefixMachine::open(p.dir, error));
  EXPECT_EQ(error.rfind(p.dir + "/system.reg:", 0), 0u) << error;
  std::string line = error.substr(p.dir.size() + 12);
  EXPECT_GT(std::stoi(line), 0) << error;
  EXPECT_EQ(readAll(p.dir + "/system.reg"), damaged);
}

// ---------------------------------------------------------------- the fixture

class FixturePrefix : public testing::Test {
 protected:
  void SetUp() override {
    p.build(kFreshTree);
    p.copyFixtureRegistry();
    m = p.open({.hostUser = "someone", .hostName = "elsewhere", .opener = {}});
    ASSERT_TRUE(m);
  }
  void write(RegRoot root, std::u16string_view key, const RegValue& value) {
    std::string error;
    ASSERT_TRUE(m->writeValue(root, key, value, &error)) << error;
  }

  TempPrefix p;
  std::unique_ptr<PrefixMachine> m;
};

TEST_F(FixturePrefix, AnswersLikeTheComputerItCameFrom) {
  EXPECT_EQ(m->version().major, 6u);
  EXPECT_EQ(m->version().minor, 1u);
  EXPECT_EQ(u8(m->computerName()), "VM");
  EXPECT_EQ(u8(m->userName()), "root");  // the registry's, not the host's
  EXPECT_EQ(m->ansiCodePage(), 1252u);

  struct Folder {
    SpecialFolder folder;
    std::string path;
  } folders[] = {
      {SpecialFolder::Desktop, "C:\\users\\root\\Desktop"},
      {SpecialFolder::AppData, "C:\\users\\root\\AppData\\Roaming"},
      {SpecialFolder::LocalAppData, "C:\\users\\root\\AppData\\Local"},
      {SpecialFolder::Favorites, "C:\\users\\root\\Favorites"},
      {SpecialFolder::Documents, "C:\\users\\root\\Documents"},
      {SpecialFolder::NetHood,
       "C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"},
      {SpecialFolder::Windows, "C:\\windows"},
      {SpecialFolder::ProgramFiles, "C:\\Program Files"},
      {SpecialFolder::Temp, "C:\\users\\root\\Temp"},
      {SpecialFolder::Profile, "C:\\users\\root"},
  };
  for (const Folder& f : folders) EXPECT_EQ(u8(m->specialFolder(f.folder)), f.path);

  struct Variable {
    std::string name;
    std::string value;
  } variables[] = {
      {"USERPROFILE", "C:\\users\\root"},
      {"APPDATA", "C:\\users\\root\\AppData\\Roaming"},
      {"LOCALAPPDATA", "C:\\users\\root\\AppData\\Local"},
      {"USERNAME", "root"},
      {"COMPUTERNAME", "VM"},
      {"SystemRoot", "C:\\windows"},
      {"windir", "C:\\windows"},
      {"SystemDrive", "C:"},
      {"ProgramFiles", "C:\\Program Files"},
      {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
      {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
      {"ProgramData", "C:\\ProgramData"},
      {"ALLUSERSPROFILE", "C:\\ProgramData"},
      {"PUBLIC", "C:\\users\\Public"},
      {"TEMP", "C:\\users\\root\\Temp"},  // the user's over the machine's
      {"tmp", "C:\\users\\root\\Temp"},
      {"HOMEDRIVE", "C:"},
      {"HOMEPATH", "\\users\\root"},
      {"ComSpec", "C:\\windows\\system32\\cmd.exe"},  // REG_EXPAND_SZ, expanded
      {"userprofile", "C:\\users\\root"},
      {"NO_SUCH_VARIABLE", ""},
  };
  for (const Variable& v : variables)
    EXPECT_EQ(u8(m->environmentVariable(w(v.name))), v.value) << v.name;
}

TEST_F(FixturePrefix, DrivesOfAFreshPrefix) {
  std::vector<DriveInfo> drives = m->drives();
  ASSERT_EQ(drives.size(), 2u);  // com1 is no drive
  EXPECT_EQ(drives[0].letter, u'C');
  EXPECT_EQ(drives[0].hostRoot, p.dir + "/drive_c");
  EXPECT_EQ(drives[0].type, DriveType::Fixed);
  EXPECT_EQ(u8(drives[0].fileSystem), "NTFS");
  EXPECT_EQ(drives[1].letter, u'Z');
  EXPECT_EQ(drives[1].hostRoot, "/");
  EXPECT_EQ(m->logicalDriveMask(), (1u << 2) | (1u << 25));
}

// "Shell Folders" is a cache a prefix leaves stale when its user changes:
// "User Shell Folders" wins, then the cache, then the profile's default.
TEST_F(FixturePrefix, ShellFoldersPreferTheUserShellFolders) {
  const std::u16string user =
      u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  const std::u16string cache =
      u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  write(RegRoot::CurrentUser, cache,
        RegValue::fromText(u"AppData", u"C:\\users\\old\\AppData\\Roaming"));
  write(RegRoot::CurrentUser, user,
        RegValue::fromText(u"Favorites", u"%HOMEDRIVE%\\Favs\\", kRegExpandSz));
  ASSERT_TRUE(m->deleteValue(RegRoot::CurrentUser, user, u"Personal"));
  write(RegRoot::CurrentUser, cache, RegValue::fromText(u"Personal", u"D:\\Docs"));
  ASSERT_TRUE(m->deleteValue(RegRoot::CurrentUser, user, u"Desktop"));
  ASSERT_TRUE(m->deleteValue(RegRoot::CurrentUser, cache, u"Desktop"));

  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::AppData)), "C:\\users\\root\\AppData\\Roaming");
  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::Favorites)), "C:\\Favs");
  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::Documents)), "D:\\Docs");
  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::Desktop)), "C:\\users\\root\\Desktop");
}

TEST_F(FixturePrefix, EnvironmentLayersAndExpansion) {
  const std::u16string machineEnv =
      u"System\\CurrentControlSet\\Control\\Session Manager\\Environment";
  write(RegRoot::CurrentUser, u"Environment",
        RegValue::fromText(u"Loop1", u"<%LOOP2%>", kRegExpandSz));
  write(RegRoot::CurrentUser, u"Environment",
        RegValue::fromText(u"Loop2", u"[%loop1%]", kRegExpandSz));
  write(RegRoot::CurrentUser, u"Environment",
        RegValue::fromText(u"Self", u"%SELF%;x", kRegExpandSz));
  write(RegRoot::CurrentUser, u"Environment",
        RegValue::fromText(u"Mixed", u"%NOPE%%USERNAME%%", kRegExpandSz));
  write(RegRoot::CurrentUser, u"Environment", RegValue::fromText(u"Literal", u"%USERNAME%"));
  write(RegRoot::CurrentUser, u"Environment",
        RegValue::fromText(u"PATH", u"%USERPROFILE%\\bin", kRegExpandSz));
  write(RegRoot::LocalMachine, machineEnv, RegValue::fromText(u"Shared", u"machine"));
  write(RegRoot::CurrentUser, u"Environment", RegValue::fromText(u"SHARED", u"user"));

  struct Variable {
    std::string name;
    std::string value;
  } variables[] = {
      {"Loop1", "<[%loop1%]>"},
      {"Self", "%SELF%;x"},
      {"Mixed", "%NOPE%root%"},
      {"Literal", "%USERNAME%"},  // REG_SZ is never expanded
      {"Shared", "user"},
      {"Path",
       "C:\\windows\\system32;C:\\windows;C:\\windows\\system32\\wbem;"
       "C:\\windows\\system32\\WindowsPowershell\\v1.0;C:\\users\\root\\bin"},
  };
  for (const Variable& v : variables)
    EXPECT_EQ(u8(m->environmentVariable(w(v.name))), v.value) << v.name;
  EXPECT_EQ(u8(m->expandEnvironment(u"%APPDATA%\\x %unknown% 100%")),
            "C:\\users\\root\\AppData\\Roaming\\x %unknown% 100%");
}

TEST_F(FixturePrefix, RegistryWritesAreSavedAtOnce) {
  write(RegRoot::CurrentUser, u"Software\\Mervantic\\Test",
        RegValue::fromText(u"Name", u"Gr\u00FC\u00DFe"));
  ASSERT_TRUE(
      m->writeValue(RegRoot::LocalMachine, u"Software\\Mervantic", RegValue::fromDword(u"N", 7)));
  auto again = p.open();
  RegValue value;
  ASSERT_TRUE(again->readValue(RegRoot::CurrentUser, u"software\\MERVANTIC\\test", u"name", value));
  EXPECT_EQ(u8(value.text()), "Gr\u00FC\u00DFe");
  EXPECT_TRUE(again->readValue(RegRoot::LocalMachine, u"Software\\Mervantic", u"N", value));
  EXPECT_TRUE(again->deleteKey(RegRoot::CurrentUser, u"Software\\Mervantic"));
  EXPECT_FALSE(again->keyExists(RegRoot::CurrentUser, u"Software\\Mervantic\\Test"));
  EXPECT_FALSE(p.open()->keyExists(RegRoot::CurrentUser, u"Software\\Mervantic"));
}

TEST_F(FixturePrefix, ClassesRootIsTheUsersClassesOverTheMachines) {
  write(RegRoot::LocalMachine, u"Software\\Classes\\.zq", RegValue::fromText(u"", u"machine"));
  write(RegRoot::LocalMachine, u"Software\\Classes\\.zq", RegValue::fromText(u"Only", u"machine"));
  write(RegRoot::LocalMachine, u"Software\\Classes\\.zq\\Shell", RegValue::fromText(u"", u""));
  write(RegRoot::CurrentUser, u"Software\\Classes\\.ZQ", RegValue::fromText(u"", u"user"));
  write(RegRoot::CurrentUser, u"Software\\Classes\\.zq\\OpenWith", RegValue::fromText(u"", u""));

  RegValue value;
  ASSERT_TRUE(m->readValue(RegRoot::ClassesRoot, u".zq", u"", value));
  EXPECT_EQ(u8(value.text()), "user");
  ASSERT_TRUE(m->readValue(RegRoot::ClassesRoot, u".zq", u"Only", value));
  EXPECT_EQ(u8(value.text()), "machine");
  EXPECT_EQ(m->valueNames(RegRoot::ClassesRoot, u".zq"),
            (std::vector<std::u16string>{u"", u"Only"}));
  EXPECT_EQ(m->subkeyNames(RegRoot::ClassesRoot, u".zq"),
            (std::vector<std::u16string>{u"OpenWith", u"Shell"}));
  EXPECT_TRUE(m->keyExists(RegRoot::ClassesRoot, u".zq\\shell"));
  EXPECT_TRUE(m->keyExists(RegRoot::ClassesRoot, u".INI"));  // the machine's own classes

  write(RegRoot::ClassesRoot, u".zq", RegValue::fromText(u"Only", u"mine now"));
  ASSERT_TRUE(m->readValue(RegRoot::CurrentUser, u"Software\\Classes\\.zq", u"Only", value));
  EXPECT_EQ(u8(value.text()), "mine now");
  ASSERT_TRUE(m->readValue(RegRoot::LocalMachine, u"Software\\Classes\\.zq", u"Only", value));
  EXPECT_EQ(u8(value.text()), "machine");
  EXPECT_FALSE(m->deleteKey(RegRoot::ClassesRoot, u""));
}

TEST_F(FixturePrefix, AStartedServiceStaysStarted) {
  EXPECT_TRUE(m->isServiceRunning(u"PlugPlay"));   // automatic start
  EXPECT_FALSE(m->isServiceRunning(u"Schedule"));  // on demand
  EXPECT_FALSE(m->isServiceRunning(u"VSS"));       // not installed
  EXPECT_FALSE(m->startService(u"VSS"));
  EXPECT_FALSE(m->startService(u"LanmanServer"));  // disabled
  EXPECT_TRUE(m->startService(u"schedule"));
  EXPECT_TRUE(m->isServiceRunning(u"Schedule"));
  EXPECT_TRUE(p.open()->isServiceRunning(u"SCHEDULE"));  // and for the next program
  EXPECT_FALSE(p.open()->isServiceRunning(u"Spooler"));
}

// ---------------------------------------------------------------- system values

TEST(PrefixSystem, ValuesFallBackWhenTheRegistryLacksThem) {
  TempPrefix p;
  p.build({"drive_c/users/Public/", "drive_c/users/alice/", "drive_c/users/.hidden/"});
  p.emptyRegistry();
  auto m = p.open({.hostUser = "", .hostName = "build-host.example.org", .opener = {}});
  EXPECT_EQ(u8(m->userName()), "alice");  // the one profile folder
  EXPECT_EQ(u8(m->computerName()), "BUILD-HOST");
  EXPECT_EQ(m->ansiCodePage(), 1252u);
  EXPECT_EQ(m->version().major, 6u);
  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::AppData)), "C:\\users\\alice\\AppData\\Roaming");
  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::Windows)), "C:\\windows");
  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::ProgramFiles)), "C:\\Program Files");
  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::Temp)), "C:\\users\\alice\\Temp");
  EXPECT_EQ(u8(m->environmentVariable(u"ProgramFiles(x86)")), "C:\\Program Files");

  EXPECT_EQ(u8(p.open({.hostUser = "bob", .hostName = "x", .opener = {}})->userName()), "bob");

  const std::u16string version = u"Software\\Microsoft\\Windows NT\\CurrentVersion";
  ASSERT_TRUE(
      m->writeValue(RegRoot::LocalMachine, version, RegValue::fromText(u"CurrentVersion", u"5.1")));
  EXPECT_EQ(m->version().major, 5u);
  EXPECT_EQ(m->version().minor, 1u);
  ASSERT_TRUE(m->writeValue(RegRoot::LocalMachine, version,
                            RegValue::fromDword(u"CurrentMajorVersionNumber", 10)));
  ASSERT_TRUE(m->writeValue(RegRoot::LocalMachine, version,
                            RegValue::fromDword(u"CurrentMinorVersionNumber", 0)));
  EXPECT_EQ(m->version().major, 10u);
  EXPECT_EQ(m->version().minor, 0u);
  ASSERT_TRUE(m->writeValue(RegRoot::LocalMachine,
                            u"System\\CurrentControlSet\\Control\\Nls\\CodePage",
                            RegValue::fromText(u"ACP", u"1251")));
  EXPECT_EQ(m->ansiCodePage(), 1251u);
  ASSERT_TRUE(m->writeValue(RegRoot::CurrentUser, u"Volatile Environment",
                            RegValue::fromText(u"USERNAME", u"carol")));
  EXPECT_EQ(u8(m->userName()), "carol");
  EXPECT_EQ(u8(m->specialFolder(SpecialFolder::Profile)), "C:\\users\\carol");
}

// ---------------------------------------------------------------- paths

class PrefixPaths : public testing::Test {
 protected:
  void SetUp() override {
    p.build({"drive_c/Data/Report.TXT=upper", "drive_c/Data/report.txt=lower",
             "drive_c/Data/Only.txt=x", "drive_c/Mixed/Sub/"});
    p.emptyRegistry();
    m = p.open();
  }
  TempPrefix p;
  std::unique_ptr<PrefixMachine> m;
};

TEST_F(PrefixPaths, WindowsPathsResolveCaseInsensitively) {
  const std::string c = p.dir + "/drive_c";
  struct Case {
    std::u16string windows;
    std::string host;  // empty: refused
  } cases[] = {
      {u"C:\\Data\\report.txt", c + "/Data/report.txt"},  // exact match wins
      {u"C:\\Data\\Report.TXT", c + "/Data/Report.TXT"},
      {u"C:\\DATA\\ONLY.TXT", c + "/Data/Only.txt"},
      {u"c:/data/only.txt", c + "/Data/Only.txt"},
      {u"C:\\mixed\\SUB\\", c + "/Mixed/Sub"},
      {u"C:\\MIXED\\New Folder\\File.Txt", c + "/Mixed/New Folder/File.Txt"},  // new keeps case
      {u"C:\\Data\\only.txt\\Inner", c + "/Data/Only.txt/Inner"},  // a file in the middle
      {u"C:\\.\\Data\\.\\..\\Mixed", c + "/Mixed"},
      {u"C:\\Data\\..\\..", ""},
      {u"C:\\..\\Windows", ""},
      {u"C:", c},
      {u"C:\\", c},
      {u"\\\\?\\C:\\Data", c + "/Data"},
      {u"\\\\server\\share\\file", ""},
      {u"\\\\?\\UNC\\server\\share", ""},
      {u"Data\\report.txt", ""},
      {u"\\Data", ""},
      {u"C:Data", ""},
      {u"Q:\\x", ""},
      {std::u16string(u"C:\\Data\0x", 9), ""},
  };
  for (const Case& k : cases) EXPECT_EQ(m->hostPath(k.windows), k.host) << u8(k.windows);

  FileInfo info;
  EXPECT_FALSE(m->fileInfo(u"C:\\Data\\only.txt\\Inner", info));
  std::string error;
  EXPECT_FALSE(m->openFile(u"C:\\Data\\only.txt\\Inner", OpenMode::Write, &error));
  EXPECT_EQ(error, "C:\\Data\\only.txt\\Inner: a part of the path is not a folder");
  EXPECT_FALSE(m->openFile(u"\\\\server\\share\\x", OpenMode::Read, &error));
  EXPECT_EQ(error, "\\\\server\\share\\x: no such drive or path");
}

TEST_F(PrefixPaths, HostPathsAreNamedThroughTheirDrive) {
  struct Case {
    std::string host;
    std::string windows;
  } cases[] = {
      {"/media/usb/backup", "Z:\\media\\usb\\backup"},
      {"/", "Z:\\"},
      {"/media/./usb//x/../backup/", "Z:\\media\\usb\\backup"},
      {p.dir + "/drive_c", "C:\\"},
      {p.dir + "/drive_c/Data/report.txt", "C:\\Data\\report.txt"},
      {p.dir + "/drive_c_other", "Z:" + slashesToBackslashes(p.dir) + "\\drive_c_other"},
      {"relative/path", ""},
      {"", ""},
  };
  for (const Case& k : cases) EXPECT_EQ(u8(m->windowsPath(k.host)), k.windows) << k.host;
  EXPECT_EQ(m->hostPath(m->windowsPath(p.dir + "/drive_c/Mixed/Sub")),
            p.dir + "/drive_c/Mixed/Sub");
}

TEST(PrefixDrives, LinksAndWineDriveTypes) {
  TempPrefix p;
  p.build({"drive_c/", "cd/", "floppy/", "share/", "elsewhere/", "dosdevices/c: -> ../drive_c",
           "dosdevices/a: -> ../floppy", "dosdevices/n: -> ../share",
           "dosdevices/r: -> /nonexistent/ram", "dosdevices/d:: -> /dev/sr0",
           "dosdevices/com1 -> /dev/ttyS0", "dosdevices/z: -> ../elsewhere"});
  fs::create_symlink(p.dir + "/cd", p.dir + "/dosdevices/d:");  // an absolute link
  writeAll(p.dir + "/user.reg", kEmptyHive);
  writeAll(p.dir + "/system.reg", std::string(kEmptyHive) +
                                      "\n[Software\\\\Wine\\\\Drives] 1796984563\n"
                                      "\"a:\"=\"floppy\"\n\"D:\"=\"cdrom\"\n\"n:\"=\"network\"\n"
                                      "\"r:\"=\"ramdisk\"\n\"z:\"=\"hd\"\n");
  auto m = p.open();
  struct Expected {
    char16_t letter;
    std::string root;
    DriveType type;
    std::string fileSystem;
  } expected[] = {
      {u'A', p.dir + "/floppy", DriveType::Removable, "FAT"},
      {u'C', p.dir + "/drive_c", DriveType::Fixed, "NTFS"},
      {u'D', p.dir + "/cd", DriveType::CdRom, "CDFS"},
      {u'N', p.dir + "/share", DriveType::Remote, "NTFS"},
      {u'R', "/nonexistent/ram", DriveType::RamDisk, "NTFS"},
      {u'Z', p.dir + "/elsewhere", DriveType::Fixed, "NTFS"},
  };
  std::vector<DriveInfo> drives = m->drives();
  ASSERT_EQ(drives.size(), std::size(expected));
  uint32_t mask = 0;
  for (size_t i = 0; i < drives.size(); ++i) {
    SCOPED_TRACE(char(expected[i].letter));
    EXPECT_EQ(drives[i].letter, expected[i].letter);
    EXPECT_EQ(drives[i].hostRoot, expected[i].root);
    EXPECT_EQ(drives[i].type, expected[i].type);
    EXPECT_EQ(u8(drives[i].fileSystem), expected[i].fileSystem);
    mask |= 1u << (expected[i].letter - u'A');
  }
  EXPECT_EQ(m->logicalDriveMask(), mask);
  EXPECT_EQ(m->hostPath(u"d:\\Setup.exe"), p.dir + "/cd/Setup.exe");
  EXPECT_EQ(u8(m->windowsPath(p.dir + "/share/x")), "N:\\x");
  EXPECT_EQ(u8(m->windowsPath("/media/usb")), "");  // Z: is not the host root here

  // A link added later shows after a refresh; a Drives value written through
  // the machine takes effect at once.
  fs::create_symlink("../cd", p.dir + "/dosdevices/e:");
  m->refreshDrives();
  ASSERT_TRUE(m->writeValue(RegRoot::LocalMachine, u"Software\\Wine\\Drives",
                            RegValue::fromText(u"e:", u"cdrom")));
  EXPECT_EQ(m->logicalDriveMask(), mask | (1u << 4));
  EXPECT_EQ(m->drives()[3].type, DriveType::CdRom);
}

TEST(PrefixDrives, WithoutDosdevicesDriveCIsCAndZIsTheHostRoot) {
  TempPrefix p;
  p.build({"drive_c/windows/"});
  p.emptyRegistry();
  auto m = p.open();
  EXPECT_EQ(m->logicalDriveMask(), (1u << 2) | (1u << 25));
  EXPECT_EQ(m->hostPath(u"C:\\WINDOWS"), p.dir + "/drive_c/windows");
  EXPECT_EQ(m->hostPath(u"z:\\tmp"), "/tmp");
}

// ---------------------------------------------------------------- files

class PrefixFiles : public testing::Test {
 protected:
  void SetUp() override {
    p.build({"drive_c/work/", "drive_c/work/a.txt=alpha", "drive_c/work/.profile=x",
             "drive_c/work/sub/", "drive_c/work/dangling -> missing",
             "drive_c/work/link.txt -> a.txt"});
    p.emptyRegistry();
    m = p.open();
  }
  std::string host(const std::string& rest) const { return p.dir + "/drive_c/work/" + rest; }

  TempPrefix p;
  std::unique_ptr<PrefixMachine> m;
};

TEST_F(PrefixFiles, WriteAppendReadAndSeek) {
  std::string error;
  auto f = m->openFile(u"C:\\Work\\New.bin", OpenMode::Write, &error);
  ASSERT_TRUE(f) << error;
  EXPECT_TRUE(f->write("0123456789", 10));
  EXPECT_TRUE(f->close());
  EXPECT_EQ(readAll(host("New.bin")), "0123456789");

  f = m->openFile(u"c:\\work\\new.BIN", OpenMode::Append, &error);
  ASSERT_TRUE(f) << error;
  EXPECT_EQ(f->position(), 10u);
  EXPECT_TRUE(f->seek(2));
  EXPECT_TRUE(f->write("ab", 2));  // positioning works for appends too
  EXPECT_TRUE(f->close());

  f = m->openFile(u"C:\\work\\New.bin", OpenMode::Read, &error);
  ASSERT_TRUE(f) << error;
  EXPECT_EQ(f->size(), 10);
  char buffer[16] = {};
  EXPECT_TRUE(f->seek(1));
  EXPECT_EQ(f->read(buffer, sizeof(buffer)), 9u);
  EXPECT_EQ(std::string(buffer, 9), "1ab456789");
  EXPECT_EQ(f->read(buffer, sizeof(buffer)), 0u);
  EXPECT_FALSE(f->write("x", 1));
  EXPECT_FALSE(f->close());  // the failed write is reported again

  // Write truncates.
  f = m->openFile(u"C:\\work\\New.bin", OpenMode::Write);
  ASSERT_TRUE(f);
  f.reset();
  EXPECT_EQ(readAll(host("New.bin")), "");
}

TEST_F(PrefixFiles, OpeningFailsWithAReason) {
  ASSERT_EQ(mkfifo(host("pipe").c_str(), 0600), 0);
  chmod(host("a.txt").c_str(), 0444);
  struct Case {
    std::u16string path;
    OpenMode mode;
    std::string error;
  } cases[] = {
      {u"C:\\work\\missing\\x.txt", OpenMode::Write,
       "C:\\work\\missing\\x.txt: no such file or folder"},
      {u"C:\\work\\none.txt", OpenMode::Append, "C:\\work\\none.txt: no such file or folder"},
      {u"C:\\work\\none.txt", OpenMode::Read, "C:\\work\\none.txt: no such file or folder"},
      {u"C:\\work\\sub", OpenMode::Read, "C:\\work\\sub: is a folder"},
      {u"C:\\work\\pipe", OpenMode::Read, "C:\\work\\pipe: not a file (a device or pipe)"},
      {u"C:\\work\\pipe", OpenMode::Write, "C:\\work\\pipe: not a file (a device or pipe)"},
      {u"C:\\work\\a.txt", OpenMode::Write, "C:\\work\\a.txt: access denied"},  // read-only
      {u"C:\\work\\a.txt", OpenMode::Append, "C:\\work\\a.txt: access denied"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(m->openFile(c.path, c.mode, &error));
    EXPECT_EQ(error, c.error);
  }
  EXPECT_FALSE(fs::exists(host("missing")));  // no parent folders made
  EXPECT_TRUE(m->openFile(u"C:\\work\\a.txt", OpenMode::Read));
}

TEST_F(PrefixFiles, InfoAttributesAndTimes) {
  FileInfo info;
  ASSERT_TRUE(m->fileInfo(u"C:\\work\\A.TXT", info));
  EXPECT_FALSE(info.isFolder);
  EXPECT_EQ(info.size, 5u);
  EXPECT_EQ(info.attributes, uint32_t{kAttrArchive});
  FileInfo viaLink;
  ASSERT_TRUE(m->fileInfo(u"C:\\work\\link.txt", viaLink));
  EXPECT_EQ(viaLink.id, info.id);  // links are followed
  EXPECT_EQ(viaLink.size, 5u);

  ASSERT_TRUE(m->fileInfo(u"C:\\work\\sub", info));
  EXPECT_TRUE(info.isFolder);
  EXPECT_EQ(info.attributes, uint32_t{kAttrDirectory});
  ASSERT_TRUE(m->fileInfo(u"C:\\work\\.profile", info));
  EXPECT_EQ(info.attributes, uint32_t{kAttrArchive | kAttrHidden});
  EXPECT_FALSE(m->fileInfo(u"C:\\work\\dangling", info));

  // Read-only goes into the mode, the rest into the extended attribute.
  ASSERT_TRUE(m->setAttributes(u"C:\\work\\a.txt", kAttrReadOnly | kAttrHidden | kAttrSystem));
  struct stat st;
  ASSERT_EQ(stat(host("a.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  ASSERT_TRUE(m->fileInfo(u"C:\\work\\a.txt", info));
  char stored[32] = {};
  if (getxattr(host("a.txt").c_str(), "user.DOSATTRIB", stored, sizeof(stored)) > 0) {
    EXPECT_STREQ(stored, "0x6");
    EXPECT_EQ(info.attributes, uint32_t{kAttrReadOnly | kAttrHidden | kAttrSystem});
  } else {
    EXPECT_EQ(info.attributes, uint32_t{kAttrReadOnly | kAttrArchive});  // no attributes here
  }
  EXPECT_FALSE(m->deleteFile(u"C:\\work\\a.txt"));  // read-only
  ASSERT_TRUE(m->setAttributes(u"C:\\work\\a.txt", kAttrNormal));
  ASSERT_TRUE(m->fileInfo(u"C:\\work\\a.txt", info));
  EXPECT_EQ(info.attributes & kAttrReadOnly, 0u);
  EXPECT_FALSE(m->setAttributes(u"C:\\work\\none", kAttrNormal));

  // 2001-02-03 04:05:06.5 UTC and 1999-12-31 00:00:00 UTC as FILETIME.
  const uint64_t write = 126256467065000000;
  const uint64_t access = 125910720000000000;
  ASSERT_TRUE(m->setTimes(u"C:\\work\\a.txt", 0, write, access));
  ASSERT_TRUE(m->fileInfo(u"C:\\work\\a.txt", info));
  EXPECT_EQ(info.writeTime, write);
  EXPECT_EQ(info.accessTime, access);
  ASSERT_EQ(stat(host("a.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 981173106);
  ASSERT_TRUE(m->setTimes(u"C:\\work\\a.txt", 0, 0, 0));  // zero leaves them
  ASSERT_TRUE(m->fileInfo(u"C:\\work\\a.txt", info));
  EXPECT_EQ(info.writeTime, write);
}

TEST_F(PrefixFiles, ListFolder) {
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(m->listFolder(u"C:\\WORK", entries));
  std::vector<std::string> names;
  for (const FolderEntry& e : entries) names.push_back(u8(e.name));
  // Sorted without regard to case; the dangling link is left out.
  EXPECT_EQ(names, (std::vector<std::string>{".profile", "a.txt", "link.txt", "sub"}));
  EXPECT_TRUE(entries[3].info.isFolder);
  EXPECT_EQ(entries[2].info.size, 5u);

  EXPECT_FALSE(m->listFolder(u"C:\\work\\a.txt", entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(m->listFolder(u"C:\\nowhere", entries));
}

TEST_F(PrefixFiles, CreateRemoveDeleteMove) {
  EXPECT_TRUE(m->createFolder(u"C:\\work\\New"));
  EXPECT_TRUE(m->createFolder(u"C:\\WORK\\new"));  // exists already: fine
  EXPECT_TRUE(fs::is_directory(host("New")));
  EXPECT_FALSE(m->createFolder(u"C:\\work\\x\\y"));  // parent missing
  EXPECT_FALSE(m->createFolder(u"C:\\work\\a.txt"));

  writeAll(host("New/inside.txt"), "i");
  EXPECT_FALSE(m->removeFolder(u"C:\\work\\new"));  // not empty
  EXPECT_FALSE(m->deleteFile(u"C:\\work\\new"));    // a folder
  EXPECT_TRUE(m->deleteFile(u"C:\\work\\NEW\\INSIDE.TXT"));
  EXPECT_TRUE(m->removeFolder(u"C:\\work\\new"));
  EXPECT_FALSE(fs::exists(host("New")));

  writeAll(host("b.txt"), "bravo");
  EXPECT_TRUE(m->moveFile(u"C:\\work\\B.txt", u"C:\\work\\A.TXT"));  // replaces a.txt
  EXPECT_EQ(readAll(host("a.txt")), "bravo");
  EXPECT_FALSE(fs::exists(host("b.txt")));

  EXPECT_TRUE(m->moveFile(u"C:\\work\\a.txt", u"C:\\work\\A.txt"));  // case only
  EXPECT_EQ(readAll(host("A.txt")), "bravo");
  EXPECT_FALSE(fs::exists(host("a.txt")));

  EXPECT_TRUE(m->moveFile(u"C:\\work\\sub", u"C:\\work\\Moved"));
  EXPECT_TRUE(fs::is_directory(host("Moved")));
  EXPECT_TRUE(m->createFolder(u"C:\\work\\Empty"));
  EXPECT_FALSE(m->moveFile(u"C:\\work\\Moved", u"C:\\work\\Empty"));  // never over a folder
  EXPECT_FALSE(m->moveFile(u"C:\\work\\A.txt", u"C:\\work\\Empty"));
  EXPECT_FALSE(m->moveFile(u"C:\\work\\none", u"C:\\work\\x"));
  EXPECT_FALSE(m->moveFile(u"C:\\work\\A.txt", u"C:\\"));
}

// A file created new is never written through anything already there: not
// a file, and not a link of that name, even one that points nowhere yet.
TEST_F(PrefixFiles, CreateNewNeverWritesThroughWhatIsThere) {
  std::string error;
  EXPECT_FALSE(m->openFile(u"C:\\work\\a.txt", OpenMode::CreateNew, &error));
  EXPECT_FALSE(m->openFile(u"C:\\work\\dangling", OpenMode::CreateNew, &error));
  EXPECT_FALSE(fs::exists(host("missing")));  // the link's target was not made
  EXPECT_EQ(readAll(host("a.txt")), "alpha");
  auto f = m->openFile(u"C:\\work\\fresh.tmp", OpenMode::CreateNew, &error);
  ASSERT_TRUE(f) << error;
  EXPECT_TRUE(f->write("new", 3));
  EXPECT_TRUE(f->close());
  EXPECT_EQ(readAll(host("fresh.tmp")), "new");
}

// A program file (a self-restoring archive) must start from the host's side
// too: ".exe" files get execute bits where they can be read; others do not.
TEST_F(PrefixFiles, ProgramFilesAreRunnableOnTheHost) {
  auto executable = [&](const std::string& rest) {
    return (fs::status(host(rest)).permissions() & fs::perms::owner_exec) != fs::perms::none;
  };
  auto f = m->openFile(u"C:\\work\\Home.EXE", OpenMode::Write);
  ASSERT_TRUE(f);
  EXPECT_TRUE(f->close());
  EXPECT_TRUE(executable("Home.EXE"));

  writeAll(host("Transfer.exe.partial"), "archive");
  EXPECT_FALSE(executable("Transfer.exe.partial"));
  EXPECT_TRUE(m->moveFile(u"C:\\work\\Transfer.exe.partial", u"C:\\work\\Transfer.exe"));
  EXPECT_TRUE(executable("Transfer.exe"));

  EXPECT_TRUE(m->moveFile(u"C:\\work\\a.txt", u"C:\\work\\b.txt"));
  EXPECT_FALSE(executable("b.txt"));
}

// A host with another file system mounted at /dev/shm gives a real
// cross-device move; without one the test has nothing to show.
TEST_F(PrefixFiles, MoveAcrossDevicesCopiesAndDeletes) {
  struct stat here, shm;
  if (stat("/dev/shm", &shm) != 0 || stat(p.dir.c_str(), &here) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  std::string target = "/dev/shm/zq-move-" + std::to_string(getpid());
  fs::create_directories(target);
  const std::u16string to = m->windowsPath(target + "/moved.txt");
  ASSERT_FALSE(to.empty());
  EXPECT_TRUE(m->moveFile(u"C:\\work\\a.txt", to));
  EXPECT_EQ(readAll(target + "/moved.txt"), "alpha");
  EXPECT_FALSE(fs::exists(host("a.txt")));
  EXPECT_FALSE(m->moveFile(u"C:\\work\\sub", m->windowsPath(target + "/sub")));  // folders stay
  EXPECT_TRUE(fs::is_directory(host("sub")));
  fs::remove_all(target);
}

// ---------------------------------------------------------------- shell

TEST(PrefixShell, OpenDocumentHandsThePathToTheOpener) {
  TempPrefix p;
  p.build({"drive_c/Doc File.txt=x"});
  p.emptyRegistry();
  const std::string out = p.dir + "/opened";
  writeAll(p.dir + "/opener",
           "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" " + out + "\n");
  chmod((p.dir + "/opener").c_str(), 0755);
  auto m = p.open({.hostUser = {}, .hostName = {}, .opener = p.dir + "/opener"});

  auto waitFor = [&](const std::string& expected) {
    for (int i = 0; i < 500 && !fs::exists(out); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readAll(out), expected);
    fs::remove(out);
  };
  ASSERT_TRUE(m->openDocument(u"c:\\doc file.TXT"));
  waitFor(p.dir + "/drive_c/Doc File.txt");
  ASSERT_TRUE(m->openDocument(u"https://example.org/x?name=a b"));
  waitFor("https://example.org/x?name=a b");

  EXPECT_FALSE(m->openDocument(u"\\\\server\\share"));
  EXPECT_FALSE(m->openDocument(u""));
  auto without = p.open({.hostUser = {}, .hostName = {}, .opener = p.dir + "/no-opener"});
  EXPECT_FALSE(without->openDocument(u"C:\\Doc File.txt"));
}

// ---------------------------------------------------------------- wrapper

TEST(MachineWrapper, BreaksOneCallAndForwardsTheRest) {
  TempPrefix p;
  p.build({"drive_c/a.txt=alpha"});
  p.emptyRegistry();
  auto m = p.open();
  struct FullDisk : MachineWrapper {
    using MachineWrapper::MachineWrapper;
    std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                   std::string* error) override {
      if (mode == OpenMode::Read) return MachineWrapper::openFile(path, mode, error);
      if (error) *error = "the disk is full";
      return nullptr;
    }
  } broken(*m);
  std::string error;
  EXPECT_FALSE(broken.openFile(u"C:\\b.txt", OpenMode::Write, &error));
  EXPECT_EQ(error, "the disk is full");
  EXPECT_TRUE(broken.openFile(u"C:\\A.TXT", OpenMode::Read, nullptr));
  EXPECT_EQ(broken.hostPath(u"C:\\A.TXT"), p.dir + "/drive_c/a.txt");
}

}  // namespace
}  // namespace zq
