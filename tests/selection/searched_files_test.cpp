// Storing the searched files: group by group with location tags, a shared
// pattern stored once, unticked nodes left out, the Quicken attachments, and
// failures.
#include "selection/searched_files.h"

#include <gtest/gtest.h>

#include "testing/recording_entries.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

using Stored = RecordingEntries::Stored;

size_t row(std::string_view name) { return static_cast<size_t>(catalogueIndex(name)); }

SampleMachineRecipe userFiles() {
  SampleMachineRecipe recipe;
  recipe.drives = {{u'C', "drive_c", u""}, {u'D', "drive_d", u"hd"}};
  SampleData d;
  d.name = "files";
  for (const char16_t* path :
       {u"%USERPROFILE%\\Documents\\Taxes\\2023.doc", u"%USERPROFILE%\\Documents\\feed.xml",
        u"%USERPROFILE%\\Desktop\\Draft.DOC", u"%USERPROFILE%\\Desktop\\skip.doc",
        u"D:\\Data\\old.doc", u"C:\\Q\\home.qdf", u"C:\\Q\\attach\\bill.pdf",
        u"C:\\Q\\attach\\2023\\scan.jpg"}) {
    d.files.push_back({path, "content", 0});
  }
  recipe.data = {d};
  return recipe;
}

// Adds a file node by its full path, with the drive and folder nodes above
// it (found ones are reused), as the search would have.
void addFile(ResultTree& tree, std::u16string_view path, CheckState state = CheckState::Checked) {
  const std::u16string root(path.substr(0, 3));
  SearchNode* at = nullptr;
  for (SearchNode* d = tree.root().firstChild; d; d = d->next) {
    if (d->name == root) at = d;
  }
  if (!at) at = &tree.addChild(tree.root(), root, root, CheckState::Mixed);
  size_t start = 3;
  for (size_t end; (end = path.find(u'\\', start)) != std::u16string_view::npos; start = end + 1) {
    const std::u16string name(path.substr(start, end - start));
    SearchNode* found = nullptr;
    for (SearchNode* c = at->firstChild; c; c = c->next) {
      if (c->name == name) found = c;
    }
    at = found
             ? found
             : &tree.addChild(*at, name, std::u16string(path.substr(0, start)), CheckState::Mixed);
  }
  tree.addChild(*at, std::u16string(path.substr(start)), std::u16string(path.substr(0, start)),
                state);
}

// The tree a search for *.doc, *.xml and *.qdf would give, with skip.doc
// unticked by the user.
void fill(ResultTree& tree, const std::u16string& profile) {
  addFile(tree, profile + u"\\Documents\\Taxes\\2023.doc");
  addFile(tree, profile + u"\\Documents\\feed.xml");
  addFile(tree, profile + u"\\Desktop\\Draft.DOC");
  addFile(tree, profile + u"\\Desktop\\skip.doc", CheckState::Unchecked);
  addFile(tree, u"C:\\Q\\home.qdf");
  addFile(tree, u"D:\\Data\\old.doc");
}

ProgramSelection selected(std::initializer_list<std::string_view> names) {
  ProgramSelection s{};
  for (std::string_view n : names) s[row(n)] = true;
  return s;
}

class SearchedFilesTest : public ::testing::Test {
 protected:
  SearchedFilesTest() : pc_(userFiles()) {
    profile_ = pc_.machine().specialFolder(SpecialFolder::Profile);
    fill(tree_, profile_);
    // Word and Excel both look for XML files.
    checks_[row("Word")][5] = true;
    checks_[row("Excel")][4] = true;
  }
  SampleComputer pc_;
  std::u16string profile_;
  ResultTree tree_;
  FileTypeChecks checks_ = initialFileTypeChecks();
};

TEST_F(SearchedFilesTest, StoresTickedFilesGroupByGroupWithTheirLocations) {
  ASSERT_TRUE(pc_.ok());
  RecordingEntries entries(false);
  ASSERT_TRUE(
      collectSearchedFiles(entries, tree_, selected({"Word", "Excel", "Quicken"}), checks_));
  const std::u16string docs = profile_ + u"\\Documents\\";
  const std::u16string desk = profile_ + u"\\Desktop\\";
  const std::vector<Stored> expected = {
      // Excel comes first in the catalogue and takes the XML files.
      {docs + u"feed.xml", u"", "documents", "Excel"},
      {u"C:\\Q\\home.qdf", u"C\\Q", "normal", "Quicken"},
      {u"C:\\Q\\attach\\2023\\scan.jpg", u"attach\\2023", "home.qdf", "Quicken"},
      {u"C:\\Q\\attach\\bill.pdf", u"attach", "home.qdf", "Quicken"},
      {docs + u"Taxes\\2023.doc", u"\\Taxes", "documents", "Word"},
      {desk + u"Draft.DOC", u"", "desktop", "Word"},
      {u"D:\\Data\\old.doc", u"D\\Data", "normal", "Word"},
  };
  EXPECT_EQ(entries.stored, expected);
  EXPECT_EQ(entries.infoTexts,
            (std::vector<std::u16string>{u"Archiving Excel files...", u"Archiving Quicken files...",
                                         u"Archiving Word files..."}));
}

TEST_F(SearchedFilesTest, FailuresAndCancelStopTheWalk) {
  ASSERT_TRUE(pc_.ok());
  const ProgramSelection words = selected({"Word"});
  {
    RecordingEntries entries;
    entries.failPath = profile_ + u"\\Desktop\\Draft.DOC";
    EXPECT_FALSE(collectSearchedFiles(entries, tree_, words, checks_));
    EXPECT_EQ(entries.errorText(), u"Access denied");
    // 2023.doc and, Excel not being selected, feed.xml.
    EXPECT_EQ(entries.stored.size(), 2u);
  }
  {
    RecordingEntries entries;
    entries.cancelAfterFiles = 1;
    EXPECT_FALSE(collectSearchedFiles(entries, tree_, words, checks_));
    EXPECT_EQ(entries.stored.size(), 1u);
  }
  {
    // A file removed since the search is left out; the rest is stored.
    ASSERT_TRUE(currentMachine().deleteFile(profile_ + u"\\Desktop\\Draft.DOC"));
    RecordingEntries entries;
    EXPECT_TRUE(collectSearchedFiles(entries, tree_, words, checks_));
    EXPECT_EQ(entries.stored.size(), 3u);
  }
}

}  // namespace
}  // namespace zq
