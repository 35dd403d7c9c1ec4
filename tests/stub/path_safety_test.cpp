// Names and folders from the archive never take a file out of its base, and
// no restore writes into the Windows folder or the host's system folders.
// Each bad record is refused like an unreadable one; nothing is written
// anywhere for it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "stub/entry_paths.h"
#include "stub/restore_list.h"
#include "stub/restore_run.h"
#include "stub_test_support.h"
#include "testing/recording_view.h"

namespace zq {
namespace {

using stubtest::ArchiveRecipe;
using stubtest::Stored;
using stubtest::TargetComputer;

struct BadRecord {
  const char* what;
  std::u16string filename;
  std::u16string relativefolder;  // used below a chosen folder
  std::u16string sourcefolder;    // used when detecting ("normal" files)
  bool detect;
};

// The name every bad record's file would get somewhere.
constexpr char16_t kMarkName[] = u"zq-stub-escape.txt";

std::vector<BadRecord> badRecords(const std::u16string& windowsAlias) {
  const std::u16string name = kMarkName;
  return {
      // File names.
      {"parent folder as name", u"..", u"", u"", false},
      {"current folder as name", u".", u"", u"", false},
      {"backslash in name", u"sub\\" + name, u"", u"", false},
      {"climbing name", u"..\\..\\" + name, u"", u"", false},
      {"slash in name", u"../" + name, u"", u"", false},
      {"drive in name", u"C:" + name, u"", u"", false},
      {"device name", u"CON", u"", u"", false},
      {"device name with extension", u"nul.txt", u"", u"", false},
      {"control character", u"a\x01" + name, u"", u"", false},
      {"empty name", u"", u"", u"", false},
      {"trailing dot", name + u".", u"", u"", false},
      // Relative folders.
      {"climbing folder", name, u"..\\..\\..", u"", false},
      {"climbing after a folder", name, u"a\\..\\..\\..\\b", u"", false},
      {"climbing with slashes", name, u"a/../../..", u"", false},
      {"current folder component", name, u".\\a", u"", false},
      {"absolute folder", name, u"C:\\Data", u"", false},
      // Source folders.
      {"relative source", name, u"", u"Data\\", true},
      {"rooted source without drive", name, u"", u"\\Data\\", true},
      {"drive-relative source", name, u"", u"C:Data\\", true},
      {"climbing source", name, u"", u"C:\\Data\\..\\..\\windows\\", true},
      {"device namespace source", name, u"", u"\\\\?\\C:\\Data\\", true},
      {"unmapped share", name, u"", u"\\\\server\\share\\dir\\", true},
      {"Windows folder", name, u"", u"C:\\WINDOWS\\system32\\", true},
      {"Windows folder through Z:", name, u"", windowsAlias, true},
      {"host system folder", name, u"", u"Z:\\etc\\", true},
      {"host library folder", name, u"", u"Z:\\lib64\\", true},
  };
}

TEST(PathSafety, BadNamesAndFoldersAreRefusedAndWriteNothing) {
  TargetComputer target;
  // The Windows folder named through Z:, the host root.
  std::u16string windowsAlias = u"Z:" + utf8ToWide(target.prefix() + "/drive_c/windows/system32/");
  std::replace(windowsAlias.begin(), windowsAlias.end(), u'/', u'\\');
  const auto before = stubtest::filesBelow(target.dir().path());

  for (const BadRecord& bad : badRecords(windowsAlias)) {
    SCOPED_TRACE(bad.what);
    // A good file of the same tag comes first and goes back as usual.
    ArchiveRecipe recipe;
    recipe.files = {{"Manual", "normal", u"a", u"C:\\a\\", u"good.txt", "good"},
                  {"Manual", "normal", bad.relativefolder, bad.sourcefolder, bad.filename, "bad"}};
    testing::Bytes body = stubtest::buildBody(recipe, testing::seededStub(64));
    MemorySource source(body);
    ArchiveReader reader(source);
    std::string why;
    ASSERT_TRUE(reader.open(&why) && reader.readRecords(&why)) << why;
    RestoreChoices choices;
    choices.detectFolder = bad.detect;
    choices.destinationPath = u"C:\\Restore";
    RecordingView view;
    const RunOutcome outcome =
        runRestore(reader, buildRestoreList(reader.trailer()), choices, view);

    EXPECT_FALSE(outcome.restored);
    ASSERT_EQ(outcome.programs.size(), 1u);
    EXPECT_EQ(outcome.programs[0].files, 1u);
    ASSERT_EQ(outcome.programs[0].problems.size(), 1u);
    EXPECT_NE(outcome.programs[0].problems[0].find("refused"), std::string::npos)
        << outcome.programs[0].problems[0];
    // The planning run refuses it the same way before anything is written.
    const auto plans = planRestore(reader, buildRestoreList(reader.trailer()), choices);
    ASSERT_EQ(plans.size(), 1u);
    EXPECT_EQ(plans[0].targets.refused.size(), 1u);
  }

  // Only the good files appeared, nowhere a bad one.
  std::vector<std::string> added;
  for (const auto& path : stubtest::filesBelow(target.dir().path())) {
    if (!std::binary_search(before.begin(), before.end(), path)) added.push_back(path);
  }
  for (const auto& path : added) {
    EXPECT_TRUE(path.ends_with("/good.txt")) << path;
  }
  EXPECT_FALSE(std::filesystem::exists("/etc/zq-stub-escape.txt"));
  EXPECT_FALSE(std::filesystem::exists("/lib64/zq-stub-escape.txt"));
  std::filesystem::remove("/etc/zq-stub-escape.txt");
  std::filesystem::remove("/lib64/zq-stub-escape.txt");
}

TEST(PathSafety, RulesForNamesFoldersAndTargets) {
  TargetComputer target;
  // Plain names, including ones that merely look like something else.
  for (const std::u16string name :
       {u"a.txt", u".config", u"console.txt", u"COM10", u"lpt", u"a b", u"Ünïcode.doc", u"..a"}) {
    EXPECT_TRUE(isPlainName(name)) << wideToUtf8(name);
  }
  // The relative folders valid archives write.
  std::vector<std::u16string> parts;
  EXPECT_TRUE(splitRelativeFolder(u"\\taxes\\2010", parts));
  EXPECT_EQ(parts, (std::vector<std::u16string>{u"taxes", u"2010"}));
  EXPECT_TRUE(splitRelativeFolder(u"C\\Data\\", parts));
  EXPECT_EQ(parts, (std::vector<std::u16string>{u"C", u"Data"}));
  EXPECT_TRUE(splitRelativeFolder(u"", parts));
  EXPECT_TRUE(parts.empty());

  std::u16string folder;
  EXPECT_TRUE(checkSourceFolder(u"c:\\data\\sub\\", folder));
  EXPECT_EQ(folder, u"C:\\data\\sub\\");
  EXPECT_TRUE(checkSourceFolder(u"D:\\", folder));
  EXPECT_EQ(folder, u"D:\\");

  // Host system folders, by their real place.
  EXPECT_TRUE(isHostSystemPath("/usr/share/x"));
  EXPECT_TRUE(isHostSystemPath("/lib/x"));
  EXPECT_TRUE(isHostSystemPath("/etc"));
  EXPECT_FALSE(isHostSystemPath("/etcetera/x"));
  EXPECT_FALSE(isHostSystemPath("/tmp/x"));
  EXPECT_FALSE(isHostSystemPath("/home/bob/usr/x"));
  EXPECT_FALSE(isProtectedTarget(u"C:\\users\\bob\\Desktop\\a.txt"));
  EXPECT_FALSE(isProtectedTarget(u"C:\\windowsapps\\a.txt"));
  EXPECT_TRUE(isProtectedTarget(u"C:\\Windows\\a.txt"));
}

}  // namespace
}  // namespace zq
