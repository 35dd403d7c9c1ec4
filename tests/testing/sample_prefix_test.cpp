// Sample computers and the real registry files of a fresh prefix, opened by
// the prefix machine: what the programs will see there.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/prefix_machine.h"
#include "core/text.h"
#include "testing/sample_machine.h"
#include "testing/scratch_dir.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<PrefixMachine> openPrefix(const std::string& dir) {
  std::string error;
  auto machine = PrefixMachine::open(dir, error);
  EXPECT_NE(machine, nullptr) << error;
  return machine;
}

std::string utf8(const std::u16string& s) { return wideToUtf8(s); }

TEST(SamplePrefix, AnswersAsDeclared) {
  struct Case {
    std::u16string user, computer;
    SampleWindowsVersion version;
    uint32_t codePage;
    WindowsVersion expected;
  };
  const Case cases[] = {
      {u"alice", u"ALICE-PC", SampleWindowsVersion::windows7(), 1252, {6, 1}},
      {u"bob", u"BOB-LAPTOP", SampleWindowsVersion::windowsXp(), 1251, {5, 1}},
      {u"J\u00fcrgen M\u00fcller", u"KUECHE", SampleWindowsVersion::windows10(), 1250, {10, 0}},
      {u"vera", u"VISTA", SampleWindowsVersion::windowsVista(), 1252, {6, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(utf8(c.user));
    ScratchDir dir("zq-sample");
    SampleMachineRecipe recipe;
    recipe.user = c.user;
    recipe.computer = c.computer;
    recipe.version = c.version;
    recipe.ansiCodePage = c.codePage;
    std::string error;
    ASSERT_TRUE(buildSampleMachine(recipe, dir.path(), error)) << error;
    auto machine = openPrefix(dir.path());
    ASSERT_NE(machine, nullptr);

    EXPECT_EQ(machine->userName(), c.user);
    EXPECT_EQ(machine->computerName(), c.computer);
    EXPECT_EQ(machine->version().major, c.expected.major);
    EXPECT_EQ(machine->version().minor, c.expected.minor);
    EXPECT_EQ(machine->ansiCodePage(), c.codePage);

    const std::u16string profile = u"C:\\users\\" + c.user;
    EXPECT_EQ(machine->specialFolder(SpecialFolder::Profile), profile);
    EXPECT_EQ(machine->environmentVariable(u"USERPROFILE"), profile);
    EXPECT_EQ(machine->environmentVariable(u"appdata"), profile + u"\\AppData\\Roaming");
    EXPECT_EQ(machine->environmentVariable(u"TEMP"), profile + u"\\Temp");
    EXPECT_EQ(machine->environmentVariable(u"ProgramFiles"), u"C:\\Program Files");
  }
}

TEST(SamplePrefix, DrivesAndSpecialFoldersExist) {
  ScratchDir dir("zq-sample");
  std::string error;
  ASSERT_TRUE(buildSampleMachine(SampleMachineRecipe{}, dir.path(), error)) << error;
  auto machine = openPrefix(dir.path());
  ASSERT_NE(machine, nullptr);

  struct Drive {
    char16_t letter;
    DriveType type;
    std::string root;
  };
  const Drive expected[] = {{u'C', DriveType::Fixed, dir.sub("drive_c")},
                            {u'D', DriveType::Fixed, dir.sub("drive_d")},
                            {u'E', DriveType::CdRom, dir.sub("drive_e")},
                            {u'Z', DriveType::Fixed, "/"}};
  const auto drives = machine->drives();
  ASSERT_EQ(drives.size(), std::size(expected));
  for (size_t i = 0; i < drives.size(); ++i) {
    EXPECT_EQ(drives[i].letter, expected[i].letter);
    EXPECT_EQ(drives[i].type, expected[i].type) << char(expected[i].letter);
    EXPECT_EQ(fs::weakly_canonical(drives[i].hostRoot), fs::weakly_canonical(expected[i].root));
  }
  EXPECT_EQ(machine->logicalDriveMask(), (1u << 2) | (1u << 3) | (1u << 4) | (1u << 25));

  const struct {
    SpecialFolder folder;
    std::u16string path;
  } folders[] = {
      {SpecialFolder::Desktop, u"C:\\users\\alice\\Desktop"},
      {SpecialFolder::AppData, u"C:\\users\\alice\\AppData\\Roaming"},
      {SpecialFolder::LocalAppData, u"C:\\users\\alice\\AppData\\Local"},
      {SpecialFolder::Favorites, u"C:\\users\\alice\\Favorites"},
      {SpecialFolder::Documents, u"C:\\users\\alice\\Documents"},
      {SpecialFolder::Windows, u"C:\\windows"},
      {SpecialFolder::Profile, u"C:\\users\\alice"},
      {SpecialFolder::ProgramFiles, u"C:\\Program Files"},
      {SpecialFolder::Temp, u"C:\\users\\alice\\Temp"},
      {SpecialFolder::NetHood, u"C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"},
  };
  for (const auto& f : folders) {
    const std::u16string path = machine->specialFolder(f.folder);
    EXPECT_TRUE(equalsNoCase(path, f.path)) << utf8(path);
    FileInfo info;
    EXPECT_TRUE(machine->fileInfo(path, info) && info.isFolder) << utf8(path);
  }

  // The sample's own files are where the machine looks for them.
  FileInfo info;
  EXPECT_TRUE(machine->fileInfo(u"c:\\USERS\\alice\\documents\\Notes.txt", info));
  EXPECT_EQ(info.size, 29u);
  EXPECT_TRUE(machine->fileInfo(u"D:\\Archive\\2019\\Old report.doc", info));
  EXPECT_TRUE(machine->fileInfo(u"E:\\readme.txt", info));
}

// The registry files of a prefix that wineboot made for the Unix user root
// on a host named "vm".
TEST(SamplePrefix, RealPrefixRegistryFiles) {
  ScratchDir dir("zq-realreg");
  const std::string fixtures = std::string(ZQ_FIXTURES_DIR) + "/wineprefix/";
  for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
    fs::copy_file(fixtures + name, dir.sub(name));
  }
  fs::create_directories(dir.sub("drive_c/users/root/Documents"));
  fs::create_directories(dir.sub("dosdevices"));
  fs::create_directory_symlink("../drive_c", dir.sub("dosdevices/c:"));
  auto machine = openPrefix(dir.path());
  ASSERT_NE(machine, nullptr);

  EXPECT_EQ(machine->userName(), u"root");
  EXPECT_EQ(machine->computerName(), u"VM");
  EXPECT_EQ(machine->version().major, 6u);
  EXPECT_EQ(machine->version().minor, 1u);
  EXPECT_EQ(machine->ansiCodePage(), 1252u);
  EXPECT_TRUE(equalsNoCase(machine->specialFolder(SpecialFolder::Documents),
                           u"C:\\users\\root\\Documents"));
  EXPECT_TRUE(equalsNoCase(machine->specialFolder(SpecialFolder::AppData),
                           u"C:\\users\\root\\AppData\\Roaming"));
  EXPECT_TRUE(equalsNoCase(machine->specialFolder(SpecialFolder::NetHood),
                           u"C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"));
  EXPECT_EQ(machine->hostPath(u"C:\\Users\\ROOT\\documents"),
            dir.sub("drive_c/users/root/Documents"));
}

}  // namespace
}  // namespace zq
