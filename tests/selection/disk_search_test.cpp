// The disk search on a sample computer: which drives and entries it walks,
// links that lead back, the shown folder, Cancel, and the unattended search
// again over a saved tree.
#include "selection/disk_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/files.h"
#include "core/machine_wrapper.h"
#include "testing/recording_view.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

std::string doc(const std::string& text) { return "doc " + text; }

// A computer with a drive of every kind, each holding a .doc file, and a Z:
// of its own (never the host's root in a test).
SampleMachineRecipe everyKindOfDrive() {
  SampleMachineRecipe recipe;
  recipe.drives = {{u'A', "drive_a", u"hd"},      {u'B', "drive_b", u"hd"},
                 {u'C', "drive_c", u""},        {u'D', "drive_d", u"hd"},
                 {u'E', "drive_e", u"cdrom"},   {u'F', "drive_f", u"floppy"},
                 {u'N', "drive_n", u"network"}, {u'Z', "zroot", u""}};
  SampleData d;
  d.name = "search";
  for (const char16_t* path :
       {u"A:\\a.doc", u"B:\\b.doc", u"E:\\e.doc", u"F:\\f.doc", u"N:\\n.doc", u"C:\\windows\\w.doc",
        u"C:\\Windows.old\\o.doc", u"C:\\Sys\\s.doc", u"C:\\Sys\\Inner\\t.doc",
        u"C:\\.hidden\\h.DOC", u"C:\\report.docx", u"C:\\Empty\\nothing.txt", u"C:\\Loop\\l.txt",
        u"D:\\Deep\\er\\d.doc", u"Z:\\z.doc"}) {
    d.files.push_back({path, doc("x"), 0});
  }
  recipe.data = {d};
  return recipe;
}

// Shows every folder named "Sys" with the system attribute.
class SystemFolders : public MachineWrapper {
 public:
  using MachineWrapper::MachineWrapper;
  bool listFolder(std::u16string_view path, std::vector<FolderEntry>& out) override {
    const bool ok = MachineWrapper::listFolder(path, out);
    for (FolderEntry& e : out) {
      if (e.name == u"Sys") e.info.attributes |= kAttrSystem;
    }
    return ok;
  }
};

// The paths of the tree's files (nodes without children), in tree order.
std::vector<std::u16string> foundFiles(const ResultTree& tree) {
  std::vector<std::u16string> out;
  for (const SearchNode* n = tree.root().firstChild; n; n = tree.following(*n)) {
    if (!n->hasChildren()) out.push_back(tree.pathOf(*n));
  }
  return out;
}

class DiskSearchTest : public ::testing::Test {
 protected:
  DiskSearchTest() : pc_(everyKindOfDrive()) {
    // Links that lead back: a loop inside C:, and Z: reaching C: again.
    fs::create_directory_symlink("..", pc_.prefix() + "/drive_c/Loop/up");
    fs::create_directory_symlink("../drive_c", pc_.prefix() + "/zroot/c");
  }
  SampleComputer pc_;
};

TEST_F(DiskSearchTest, WalksFixedDrivesCToZOnceEachAndSkipsWhatItShould) {
  ASSERT_TRUE(pc_.ok());
  SystemFolders machine(pc_.machine());
  ScopedMachine scope(machine);
  ResultTree tree;
  RecordingView view;
  DiskSearch search(tree, u"*.doc", view);
  ASSERT_TRUE(search.searchFixedDrives());

  // A:, B:, the CD, the floppy and the network drive are never searched;
  // nor are the Windows folder and the system folder; C: reached again
  // through Z:\c or C:\Loop\up is not walked a second time.
  EXPECT_EQ(foundFiles(tree),
            (std::vector<std::u16string>{u"C:\\.hidden\\h.DOC", u"C:\\Windows.old\\o.doc",
                                         u"D:\\Deep\\er\\d.doc", u"Z:\\z.doc"}));
  // Drives with matches are mixed, found folders and files checked; folders
  // without matches are gone.
  const SearchNode& c = *tree.root().firstChild;
  EXPECT_EQ(c.name, u"C:\\");
  EXPECT_EQ(c.folder, u"C:\\");
  EXPECT_EQ(c.state, CheckState::Mixed);
  EXPECT_EQ(c.firstChild->name, u".hidden");
  EXPECT_EQ(c.firstChild->folder, u"C:\\");
  EXPECT_EQ(c.firstChild->state, CheckState::Checked);
  EXPECT_EQ(tree.nodeCount(), 5u + 4u + 2u);
  EXPECT_FALSE(tree.busy());

  // The folders being searched were shown.
  const auto shown = view.texts(RecordingView::Kind::ProgressText);
  EXPECT_NE(std::find(shown.begin(), shown.end(), u"C:\\Windows.old\\"), shown.end());
  EXPECT_EQ(std::find(shown.begin(), shown.end(), u"C:\\Sys\\"), shown.end());
}

TEST_F(DiskSearchTest, CancelStopsBetweenEntries) {
  ASSERT_TRUE(pc_.ok());
  ResultTree tree;
  RecordingView view;
  view.cancel = true;
  DiskSearch search(tree, u"*.doc", view);
  EXPECT_FALSE(search.searchFixedDrives());
  EXPECT_TRUE(tree.empty());
  EXPECT_LE(view.texts(RecordingView::Kind::ProgressText).size(), 1u);
}

TEST(SearchPath, ShortenedToFitItsLine) {
  RecordingView view;  // 7 pixels a character
  const std::u16string path = u"C:\\Users\\alice\\Documents\\Projects\\Garden";
  const struct {
    int chars;
    std::u16string_view shown;
  } cases[] = {
      {40, path},
      {20, u"...\\Projects\\Garden"},
      {12, u"...\\Garden"},
      // The cut begins at a "\" even when that makes it one wider.
      {9, u"...\\Garden"},
      {5, u"...den"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shortenedSearchPath(path, view, c.chars * 7), c.shown) << c.chars;
  }
}

// A saved tree with a ticked folder that still holds matches (and a new
// one), a ticked folder whose only file is gone in a chain of single
// folders that fills a whole drive, and a mixed folder.
TEST(AutomatedSearch, SearchesTickedFoldersAgainAndDropsWhatNoLongerMatches) {
  SampleMachineRecipe recipe;
  recipe.drives = {{u'C', "drive_c", u""}, {u'D', "drive_d", u"hd"}};
  SampleData d;
  d.name = "saved";
  for (const char16_t* path : {u"C:\\Keep\\k.doc", u"C:\\Keep\\new.doc", u"C:\\Keep\\new.txt",
                               u"C:\\Other\\o.doc", u"C:\\Other\\u.doc", u"C:\\Other\\v.doc"}) {
    d.files.push_back({path, doc("x"), 0});
  }
  d.folders = {u"D:\\P\\Q"};
  recipe.data = {d};
  SampleComputer pc(recipe);
  ASSERT_TRUE(pc.ok());

  ResultTree tree;
  SearchNode& c = tree.addChild(tree.root(), u"C:\\", u"C:\\", CheckState::Mixed);
  SearchNode& keep = tree.addChild(c, u"Keep", u"C:\\");
  tree.addChild(keep, u"k.doc", u"C:\\Keep\\");
  SearchNode& other = tree.addChild(c, u"Other", u"C:\\", CheckState::Mixed);
  tree.addChild(other, u"o.doc", u"C:\\Other\\");
  tree.addChild(other, u"u.doc", u"C:\\Other\\", CheckState::Unchecked);
  SearchNode& dDrive = tree.addChild(tree.root(), u"D:\\", u"D:\\", CheckState::Mixed);
  SearchNode& p = tree.addChild(dDrive, u"P", u"D:\\", CheckState::Mixed);
  SearchNode& q = tree.addChild(p, u"Q", u"D:\\P\\");
  tree.addChild(q, u"gone.doc", u"D:\\P\\Q\\");

  RecordingView view;
  DiskSearch search(tree, u"*.doc", view);
  ASSERT_TRUE(search.searchSavedTree());
  // Other is mixed: its files stay as they were, v.doc is not added.
  EXPECT_EQ(foundFiles(tree),
            (std::vector<std::u16string>{u"C:\\Keep\\k.doc", u"C:\\Keep\\new.doc",
                                         u"C:\\Other\\o.doc", u"C:\\Other\\u.doc"}));
  EXPECT_EQ(tree.root().firstChild, tree.root().lastChild);
  EXPECT_EQ(tree.nodeCount(), 7u);
  EXPECT_EQ(other.lastChild->state, CheckState::Unchecked);
}

}  // namespace
}  // namespace zq
