// The manual selection model and how the run stores it.
#include "selection/manual_selection.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/files.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "testing/recording_entries.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

using Stored = RecordingEntries::Stored;

TEST(ManualSelection, TicksFullPathsOnceInTreeOrder) {
  ManualSelection s;
  EXPECT_TRUE(s.check(u"D:\\Data x\\z.txt"));
  EXPECT_TRUE(s.check(u"D:\\Data\\y.txt"));
  EXPECT_TRUE(s.check(u"D:\\Data\\"));
  EXPECT_TRUE(s.check(u"d:\\DATA"));  // already ticked
  EXPECT_TRUE(s.check(u"C:\\Users\\a\\Desktop"));
  EXPECT_TRUE(s.check(u"\\\\nas\\share\\file.txt"));
  // The tree's top level has no check boxes; other texts are no paths.
  for (std::u16string_view refused : {u"", u"C:", u"C:\\", u"Data\\y.txt", u"\\\\"}) {
    EXPECT_FALSE(s.check(refused)) << wideToUtf8(refused);
  }
  EXPECT_FALSE(s.check(u"C:\\" + std::u16string(kMaxItemPath, u'x')));

  // A folder comes right before what lies below it, whatever sorts between
  // the characters ("Data x" after everything in "Data").
  EXPECT_EQ(s.items(),
            (std::vector<std::u16string>{u"\\\\nas\\share\\file.txt", u"C:\\Users\\a\\Desktop",
                                         u"D:\\Data", u"D:\\Data\\y.txt", u"D:\\Data x\\z.txt"}));
  // A whole list ticks the same, sorted once.
  ManualSelection whole;
  whole.assign({u"D:\\Data x\\z.txt", u"D:\\Data\\y.txt", u"D:\\Data\\", u"d:\\DATA",
                u"C:\\Users\\a\\Desktop", u"\\\\nas\\share\\file.txt", u"C:", u"Data\\y.txt"});
  EXPECT_EQ(whole, s);

  EXPECT_TRUE(s.isChecked(u"d:\\data\\Y.TXT"));
  EXPECT_TRUE(s.uncheck(u"d:\\data\\Y.TXT"));
  EXPECT_FALSE(s.uncheck(u"d:\\data\\Y.TXT"));
  EXPECT_FALSE(s.isChecked(u"D:\\Data\\y.txt"));
}

SampleMachineRecipe recipeWithData() {
  SampleMachineRecipe recipe;
  SampleData data;
  data.name = "manual";
  data.files = {{u"D:\\Data\\y.txt", "y"},
                {u"D:\\Data\\Sub\\w.txt", "w"},
                {u"D:\\Data x\\z.txt", "z"},
                {u"D:\\Gone.txt", "soon gone"}};
  recipe.data.push_back(data);
  return recipe;
}

// What may be ticked (and so what a saved manual.zvb may hold): a saved item
// loads back as exactly the same item.
TEST(ManualSelection, TickablePaths) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"C:\\Data", true},
      {u"\\\\server\\share", true},
      {u"C:\\", false},             // a drive root has no check box
      {u"C:\\Data\\", false},       // trailing backslash: removed before this test
      {u"\\\\server\\x\\", false},
      {u"\\\\\\x", false},
      {u"Data\\x", false},          // relative
      {std::u16string(u"C:\\a\0b", 6), false},  // no Windows name holds a control character
      {u"C:\\a\x0b", false},
  };
  for (const auto& [path, tickable] : cases)
    EXPECT_EQ(isTickablePath(path), tickable) << wideToUtf8(path);
}

TEST(ManualSelection, CheckStorageDropsItemsThatNoLongerExist) {
  SampleComputer pc(recipeWithData());
  ASSERT_TRUE(pc.ok());
  ManualSelection s;
  s.check(u"D:\\Gone.txt");
  s.check(u"D:\\Data x");
  ASSERT_TRUE(deleteFile(u"D:\\Gone.txt"));
  EXPECT_EQ(s.checkedItems(), std::vector<std::u16string>{u"D:\\Data x"});
  EXPECT_FALSE(s.empty());
}

TEST(CollectManualSelection, StoresEachItemOnceWithItsLocation) {
  SampleComputer pc(recipeWithData());
  ASSERT_TRUE(pc.ok());
  const std::u16string docs = wideLower(documentsFolder());
  const std::u16string desktop = wideLower(desktopFolder());

  ManualSelection s;
  s.check(desktopFolder() + u"\\Shopping list.txt");
  s.check(documentsFolder() + u"\\Projects");
  s.check(documentsFolder() + u"\\Projects\\Garden\\Plan.txt");  // inside a ticked folder
  s.check(u"D:\\Data");
  s.check(u"D:\\Data\\y.txt");  // inside a ticked folder
  s.check(u"D:\\Data x\\z.txt");

  for (bool backupEdition : {true, false}) {
    RecordingEntries entries(backupEdition);
    EXPECT_TRUE(collectManualSelection(entries, s));
    EXPECT_EQ(entries.infoTexts,
              std::vector<std::u16string>{backupEdition ? u"Backing up manually selected files..."
                                                        : u"Archiving manually selected files..."});

    // Ticked items go by their lower-cased paths; what a folder walk finds
    // keeps the names on disk.
    std::vector<Stored> expected = {
        {u"d:\\data\\Sub\\w.txt", u"d\\data\\Sub", "normal", "Manual"},
        {u"d:\\data\\y.txt", u"d\\data", "normal", "Manual"},
        {u"d:\\data x\\z.txt", u"d\\data x\\", "normal", "Manual"},
        {desktop + u"\\shopping list.txt", u"", "desktop", "Manual"},
        {docs + u"\\projects\\Garden\\Plan.txt", u"\\projects\\Garden", "documents", "Manual"},
    };
    std::vector<Stored> stored = entries.stored;
    const auto byPath = [](const Stored& a, const Stored& b) { return a.path < b.path; };
    std::sort(stored.begin(), stored.end(), byPath);
    std::sort(expected.begin(), expected.end(), byPath);
    EXPECT_EQ(stored, expected);

    // A ticked folder is one walk of everything below it.
    ASSERT_EQ(entries.calls.size(), 4u);
    for (const auto& call : entries.calls) {
      if (!call.isFolder) continue;
      EXPECT_EQ(call.masks, u"*");
      EXPECT_EQ(call.exclusions, u"");
      EXPECT_TRUE(call.recurse);
    }
  }
}

TEST(CollectManualSelection, StopsAtTheFirstFailureOrCancel) {
  SampleComputer pc(recipeWithData());
  ASSERT_TRUE(pc.ok());
  const std::vector<std::u16string> items = {u"D:\\Data\\y.txt", u"D:\\Data x\\z.txt"};

  RecordingEntries failing;
  failing.failPath = u"d:\\data\\y.txt";
  EXPECT_FALSE(collectManualSelection(failing, items));
  EXPECT_EQ(failing.calls.size(), 1u);
  EXPECT_EQ(failing.errorText(), u"Access denied");

  RecordingEntries cancelling;
  cancelling.cancelAfterFiles = 1;
  EXPECT_FALSE(collectManualSelection(cancelling, items));
  EXPECT_EQ(cancelling.stored.size(), 1u);
  EXPECT_EQ(cancelling.calls.size(), 1u);

  RecordingEntries nothing;
  EXPECT_TRUE(collectManualSelection(nothing, ManualSelection{}));
  EXPECT_TRUE(nothing.calls.empty());
}

}  // namespace
}  // namespace zq
