// The sample-machine builder on its own: layout, hives, records, refusals.
#include "testing/sample_machine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/registry_hive.h"
#include "core/shell_link.h"
#include "core/text.h"
#include "testing/run_program.h"
#include "testing/scratch_dir.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

RegistryHive loadHive(const std::string& path) {
  RegistryHive hive;
  std::string error;
  EXPECT_TRUE(hive.load(path, error)) << error;
  return hive;
}

std::u16string textOf(const RegistryHive& hive, std::u16string_view key, std::u16string_view name) {
  const RegValue* v = hive.findValue(key, name);
  return v ? v->text() : u"<missing>";
}

TEST(SampleMachine, LaysOutAPrefixWithDrivesAndHives) {
  ScratchDir dir("zq-sample");
  SampleMachineRecipe recipe;
  std::string error;
  ASSERT_TRUE(buildSampleMachine(recipe, dir.path(), error)) << error;

  EXPECT_EQ(fs::read_symlink(dir.sub("dosdevices/c:")), "../drive_c");
  EXPECT_EQ(fs::read_symlink(dir.sub("dosdevices/d:")), "../drive_d");
  EXPECT_EQ(fs::read_symlink(dir.sub("dosdevices/e:")), "../drive_e");
  EXPECT_EQ(fs::read_symlink(dir.sub("dosdevices/z:")), "/");
  EXPECT_TRUE(fs::is_directory(dir.sub("drive_c/users/alice/AppData/Roaming")));

  RegistryHive user = loadHive(dir.sub("user.reg"));
  const RegValue* personal = user.findValue(
      u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", u"Personal");
  ASSERT_NE(personal, nullptr);
  EXPECT_EQ(personal->type, kRegExpandSz);
  EXPECT_EQ(personal->text(), u"%USERPROFILE%\\Documents");
  EXPECT_EQ(textOf(user, u"Volatile Environment", u"USERNAME"), u"alice");

  RegistryHive machine = loadHive(dir.sub("system.reg"));
  EXPECT_EQ(textOf(machine, u"Software\\Wine\\Drives", u"e:"), u"cdrom");
  EXPECT_EQ(machine.findValue(u"Software\\Wine\\Drives", u"c:"), nullptr);
  EXPECT_EQ(textOf(machine, u"System\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                   u"ComputerName"),
            u"ALICE-PC");

  // userdef.reg holds the two folder keys only, like the one wineboot writes.
  RegistryHive defaults = loadHive(dir.sub("userdef.reg"));
  EXPECT_EQ(defaults.subkeyNames(u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer").size(),
            2u);
  struct stat st {};
  ASSERT_EQ(stat(dir.sub("user.reg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(SampleMachine, RecordsLandWhereTheMachineWouldLookForThem) {
  ScratchDir dir("zq-sample");
  SampleMachineRecipe recipe;
  recipe.user = u"bob";
  recipe.data.clear();
  SampleData program;
  program.name = "test program";
  // Another case than the prefix's own folders: must land in the same ones.
  program.folders = {u"C:\\Users\\BOB\\appdata\\Roaming\\Empty Folder"};
  const std::string binary("\x00\xff\x10\r\n\x1a", 6);
  program.files = {{u"%APPDATA%\\Maker\\Program\\settings.dat", binary, 1000000000},
                   {u"c:\\USERS\\bob\\Documents\\x.txt", "x", 0}};
  program.shortcuts = {{u"%USERPROFILE%\\Desktop\\Program.lnk", u"%ProgramFiles%\\Maker\\p.exe"},
                       {u"%USERPROFILE%\\Desktop\\Share.lnk", u"\\\\srv\\data\\%USERNAME%\\in"}};
  program.values = {
      sampleText(RegRoot::CurrentUser, u"Software\\Maker\\Program", u"Store",
                 u"%APPDATA%\\Maker", kRegSz, true),
      sampleText(RegRoot::CurrentUser, u"Software\\Maker\\Program", u"Raw", u"%APPDATA%\\Maker",
                 kRegExpandSz),
      sampleDword(RegRoot::LocalMachine, u"Software\\Maker", u"Installed", 1),
      sampleText(RegRoot::ClassesRoot, u".mkr", u"", u"Maker.Document")};
  recipe.data.push_back(program);
  std::string error;
  ASSERT_TRUE(buildSampleMachine(recipe, dir.path(), error)) << error;

  const std::string profile = dir.sub("drive_c/users/bob");
  EXPECT_FALSE(fs::exists(dir.sub("drive_c/Users")));
  EXPECT_TRUE(fs::is_directory(profile + "/AppData/Roaming/Empty Folder"));
  const std::string settings = profile + "/AppData/Roaming/Maker/Program/settings.dat";
  EXPECT_EQ(readAll(settings), binary);
  struct stat st {};
  ASSERT_EQ(stat(settings.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1000000000);
  EXPECT_EQ(readAll(profile + "/Documents/x.txt"), "x");

  const std::string local = readAll(profile + "/Desktop/Program.lnk");
  const std::string share = readAll(profile + "/Desktop/Share.lnk");
  EXPECT_EQ(shellLinkTarget({reinterpret_cast<const uint8_t*>(local.data()), local.size()}),
            u"C:\\Program Files\\Maker\\p.exe");
  EXPECT_EQ(shellLinkTarget({reinterpret_cast<const uint8_t*>(share.data()), share.size()}),
            u"\\\\srv\\data\\bob\\in");

  RegistryHive user = loadHive(dir.sub("user.reg"));
  EXPECT_EQ(textOf(user, u"Software\\Maker\\Program", u"Store"),
            u"C:\\users\\bob\\AppData\\Roaming\\Maker");
  EXPECT_EQ(textOf(user, u"Software\\Maker\\Program", u"Raw"), u"%APPDATA%\\Maker");
  RegistryHive machine = loadHive(dir.sub("system.reg"));
  EXPECT_NE(machine.findValue(u"Software\\Maker", u"Installed"), nullptr);
  EXPECT_EQ(textOf(machine, u"Software\\Classes\\.mkr", u""), u"Maker.Document");
}

TEST(SampleMachine, SameRecipeGivesTheSameHives) {
  ScratchDir a("zq-sample"), b("zq-sample");
  std::string error;
  ASSERT_TRUE(buildSampleMachine(SampleMachineRecipe{}, a.path(), error)) << error;
  ASSERT_TRUE(buildSampleMachine(SampleMachineRecipe{}, b.path(), error)) << error;
  for (const char* hive : {"user.reg", "system.reg", "userdef.reg"}) {
    EXPECT_EQ(readAll(a.sub(hive)), readAll(b.sub(hive))) << hive;
  }
}

TEST(SampleMachine, RefusesWhatItMustNotDo) {
  struct Case {
    const char* what;
    std::u16string user;
    std::u16string filePath;
    const char* expected;  // part of the error text
  };
  const Case cases[] = {
      {"file on the host root drive", u"alice", u"Z:\\etc\\evil", "no sample drive"},
      {"climbing out of a drive", u"alice", u"C:\\..\\..\\escape", "relative component"},
      {"unknown drive", u"alice", u"Q:\\x", "no sample drive"},
      {"not a drive path", u"alice", u"\\\\srv\\share\\x", "not a path on a drive"},
      {"user name with a separator", u"a\\b", u"C:\\x", "user name"},
  };
  for (const auto& c : cases) {
    ScratchDir dir("zq-sample");
    SampleMachineRecipe recipe;
    recipe.user = c.user;
    recipe.data = {SampleData{"bad", {}, {{c.filePath, "x", 0}}, {}, {}}};
    std::string error;
    EXPECT_FALSE(buildSampleMachine(recipe, dir.path(), error)) << c.what;
    EXPECT_NE(error.find(c.expected), std::string::npos) << c.what << ": " << error;
  }

  // A folder that already holds something (a real prefix, say) is left alone.
  ScratchDir dir("zq-sample");
  std::ofstream(dir.sub("user.reg")) << "precious";
  std::string error;
  EXPECT_FALSE(buildSampleMachine(SampleMachineRecipe{}, dir.path(), error));
  EXPECT_NE(error.find("not empty"), std::string::npos) << error;
  EXPECT_EQ(readAll(dir.sub("user.reg")), "precious");
}

TEST(SampleMachine, ExpandsOnlyItsOwnVariables) {
  SampleMachineRecipe recipe;
  recipe.user = u"carol";
  const struct {
    std::u16string in, out;
  } cases[] = {
      {u"%appdata%\\x", u"C:\\users\\carol\\AppData\\Roaming\\x"},
      {u"%USERPROFILE%%TEMP%", u"C:\\users\\carolC:\\users\\carol\\Temp"},
      {u"100% sure", u"100% sure"},
      {u"%NOPE%\\%USERNAME%", u"%NOPE%\\carol"},
      {u"50%%USERNAME%", u"50%carol"},
      {u"%", u"%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(expandSampleVariables(recipe, c.in), c.out) << wideToUtf8(c.in);
  }
}

// The demo's tool, run as the user runs it.
TEST(SampleMachine, ToolMakesAComputerOnce) {
  ScratchDir dir("zq-sample");
  const std::string tool = std::string(ZQ_PROGRAM_DIR) + "/make-sample-machine";
  const std::string target = dir.sub("pc");

  ProgramRun run = runProgram({tool, target, "--user", "dora", "--windows", "xp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  RegistryHive user = loadHive(target + "/user.reg");
  EXPECT_EQ(textOf(user, u"Volatile Environment", u"USERNAME"), u"dora");
  RegistryHive machine = loadHive(target + "/system.reg");
  EXPECT_EQ(textOf(machine, u"Software\\Microsoft\\Windows NT\\CurrentVersion", u"CurrentVersion"),
            u"5.1");

  run = runProgram({tool, target});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("not empty"), std::string::npos) << run.err;
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{tool}, {tool, dir.sub("x"), "--windows", "95"},
        {tool, dir.sub("x"), "--user"}, {tool, "a", "b"}}) {
    EXPECT_EQ(runProgram(bad).exitCode, 2) << bad.size();
  }
  EXPECT_FALSE(fs::exists(dir.sub("x")));
}

}  // namespace
}  // namespace zq
