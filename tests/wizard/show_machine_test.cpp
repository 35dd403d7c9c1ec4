// zarvoquilloprime's machine options, run as a real process, and the choice
// of the machine folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/machine_choice.h"
#include "core/prefix_machine.h"
#include "testing/run_program.h"
#include "testing/sample_machine.h"
#include "testing/scratch_dir.h"
#include "wizard/show_machine.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

const std::string kWizard = std::string(ZQ_PROGRAM_DIR) + "/zarvoquilloprime";

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string makeSample(const ScratchDir& dir, const std::string& name,
                       SampleMachineRecipe recipe = {}) {
  const std::string path = dir.sub(name);
  std::string error;
  EXPECT_TRUE(buildSampleMachine(recipe, path, error)) << error;
  return path;
}

TEST(ShowMachine, PrintsWhatTheProgramsSee) {
  ScratchDir dir("zq-show");
  const std::string m = makeSample(dir, "pc");
  const ProgramRun run = runProgram({kWizard, "--machine", m, "--show-machine"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");

  const std::vector<std::string> expected = {
      "Machine folder:  " + m + "\n",
      "User:            alice\n",
      "Windows version: 6.1 (Microsoft Windows 7 Service Pack 1)\n",
      "Computer name:   ALICE-PC\n",
      "ANSI code page:  1252\n",
      "  C:  fixed     NTFS  " + m + "/drive_c\n",
      "  D:  fixed     NTFS  " + m + "/drive_d\n",
      "  E:  CD-ROM    CDFS  " + m + "/drive_e\n",
      "  Z:  fixed     NTFS  /\n",
      "  desktop                 C:\\users\\alice\\Desktop  ->  " + m +
          "/drive_c/users/alice/Desktop\n",
      "  documents               C:\\users\\alice\\Documents",
      "  application data        C:\\users\\alice\\AppData\\Roaming",
      "  local application data  C:\\users\\alice\\AppData\\Local",
      "  Windows                 C:\\windows  ->  ",
      "  program files           C:\\Program Files  ->  ",
      "  temp                    C:\\users\\alice\\Temp  ->  ",
      "  NetHood                 C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Network "
      "Shortcuts",
  };
  for (const auto& line : expected) EXPECT_TRUE(contains(run.out, line)) << line << run.out;
  EXPECT_FALSE(contains(run.out, "(missing)")) << run.out;
  EXPECT_FALSE(contains(run.out, "(unknown)")) << run.out;
}

// A real prefix links Desktop and Documents to the Unix home folder, and a
// folder may be gone: both are said, and showing creates nothing.
TEST(ShowMachine, MarksLinkedAndMissingFolders) {
  ScratchDir dir("zq-show");
  const std::string m = makeSample(dir, "pc");
  const std::string profile = m + "/drive_c/users/alice";
  fs::create_directories(dir.sub("home"));
  fs::remove_all(profile + "/Desktop");
  fs::create_directory_symlink(dir.sub("home"), profile + "/Desktop");
  fs::remove_all(profile + "/Favorites");

  std::string error;
  auto machine = PrefixMachine::open(m, error);
  ASSERT_NE(machine, nullptr) << error;
  const std::string report = describeMachine(*machine, m);
  EXPECT_TRUE(contains(report, "/Desktop (link to " + dir.sub("home") + ")\n")) << report;
  EXPECT_TRUE(contains(report, profile + "/Favorites (missing)\n")) << report;
  EXPECT_FALSE(fs::exists(profile + "/Favorites"));
}

TEST(ShowMachine, FindsTheMachineThroughTheEnvironment) {
  ScratchDir dir("zq-show");
  SampleMachineRecipe bob;
  bob.user = u"bob";
  SampleMachineRecipe carol;
  carol.user = u"carol";
  const std::string byVariable = makeSample(dir, "pc");
  makeSample(dir, ".wine", bob);
  makeSample(dir, "machines/third", carol);

  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> env;
    const char* user;
  };
  const Case cases[] = {
      {"WINEPREFIX", {}, {"WINEPREFIX=" + byVariable, "HOME=" + dir.path()}, "alice"},
      {"~/.wine", {}, {"WINEPREFIX", "HOME=" + dir.path()}, "bob"},
      {"--machine wins", {"--machine", "~/machines/third"},
       {"WINEPREFIX=" + byVariable, "HOME=" + dir.path()}, "carol"},
      {"--machine=DIR", {"--machine=" + dir.sub("machines/third")}, {"WINEPREFIX"}, "carol"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv = {kWizard, "--show-machine"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ProgramRun run = runProgram(argv, c.env);
    EXPECT_EQ(run.exitCode, 0) << c.what << ": " << run.err;
    EXPECT_TRUE(contains(run.out, std::string("User:            ") + c.user + "\n"))
        << c.what << ": " << run.out;
  }
}

TEST(ShowMachine, BadMachinesAndOptions) {
  ScratchDir dir("zq-show");
  fs::create_directories(dir.sub("empty"));
  std::ofstream(dir.sub("plain-file")) << "x";

  struct Case {
    const char* what;
    std::vector<std::string> args;
    int exitCode;
    const char* inErr;  // part of standard error; "" when it must be empty
    const char* inOut;
  };
  const Case cases[] = {
      {"missing folder", {"--machine", dir.sub("nowhere"), "--show-machine"}, 1,
       "does not exist", ""},
      {"folder without registry", {"--machine", dir.sub("empty"), "--show-machine"}, 1,
       "holds no Windows registry", ""},
      {"a file, not a folder", {"--machine", dir.sub("plain-file"), "--show-machine"}, 1,
       "is not a folder", ""},
      {"unknown option", {"--frobnicate"}, 2, "usage: zarvoquilloprime", ""},
      {"--machine without a folder", {"--show-machine", "--machine"}, 2, "usage:", ""},
      {"no --show-machine yet", {}, 0, "", "not built yet"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv = {kWizard};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ProgramRun run = runProgram(argv, {"WINEPREFIX", "HOME=" + dir.path()});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what;
    if (*c.inErr) {
      EXPECT_TRUE(contains(run.err, c.inErr)) << c.what << ": " << run.err;
    } else {
      EXPECT_EQ(run.err, "") << c.what;
    }
    EXPECT_TRUE(contains(run.out, c.inOut)) << c.what << ": " << run.out;
    if (c.exitCode == 1) {
      EXPECT_EQ(run.out, "") << c.what;
    }
  }
}

TEST(MachineChoice, PicksTheFolder) {
  struct Case {
    std::string option;
    const char* winePrefix;
    const char* home;
    bool ok;
    std::string folder;
    std::string source;
  };
  const Case cases[] = {
      {"/m/pc", "/w", "/h", true, "/m/pc", "--machine"},
      {"~/pc", "/w", "/h", true, "/h/pc", "--machine"},
      {"~", nullptr, "/h", true, "/h", "--machine"},
      {"~/pc", nullptr, nullptr, false, "", ""},
      {"", "/w", "/h", true, "/w", "WINEPREFIX"},
      {"", "~/w", "/h", true, "/h/w", "WINEPREFIX"},
      {"", "", "/h", true, "/h/.wine", "~/.wine"},
      {"", nullptr, "/h", true, "/h/.wine", "~/.wine"},
      {"", nullptr, nullptr, false, "", ""},
  };
  for (const auto& c : cases) {
    MachineChoice choice;
    std::string error;
    const bool ok = chooseMachineFolder(c.option, c.winePrefix, c.home, choice, error);
    SCOPED_TRACE(c.option + " / " + (c.winePrefix ? c.winePrefix : "(unset)"));
    ASSERT_EQ(ok, c.ok) << error;
    if (!ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(choice.folder, c.folder);
    EXPECT_EQ(choice.source, c.source);
  }

  // A relative folder counts from the current folder.
  MachineChoice choice;
  std::string error;
  ASSERT_TRUE(chooseMachineFolder("rel/pc", nullptr, nullptr, choice, error));
  EXPECT_EQ(choice.folder, fs::current_path().string() + "/rel/pc");
}

}  // namespace
}  // namespace zq
