// The file type catalogue, the pattern lists built from the user's ticks, and
// the quick pattern matcher the search and the store walk use.
#include "selection/file_types.h"

#include <gtest/gtest.h>

#include "core/masks.h"
#include "selection/disk_search.h"

namespace zq {
namespace {

size_t row(std::string_view name) { return static_cast<size_t>(catalogueIndex(name)); }

ProgramSelection select(std::initializer_list<std::string_view> names) {
  ProgramSelection s{};
  for (std::string_view name : names) s[row(name)] = true;
  return s;
}

// The flags of a group with only the named types ticked.
std::vector<bool> onlyTypes(std::string_view group,
                            std::initializer_list<std::u16string_view> names) {
  std::vector<bool> flags;
  for (const FileType& type : fileTypesOf(row(group))) {
    bool on = false;
    for (std::u16string_view name : names) on = on || type.name == name;
    flags.push_back(on);
  }
  return flags;
}

TEST(FileTypes, EveryGroupAndOnlyTheGroupsHaveTypes) {
  size_t types = 0, groups = 0;
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    const bool group = programCatalogue()[i].isFileTypeGroup;
    EXPECT_EQ(fileTypesOf(i).empty(), !group) << programCatalogue()[i].name;
    types += fileTypesOf(i).size();
    groups += group ? 1 : 0;
  }
  EXPECT_EQ(types, 51u);
  EXPECT_EQ(groups, 11u);
  EXPECT_TRUE(fileTypesOf(kCatalogueSize).empty());

  const auto word = fileTypesOf(row("Word"));
  ASSERT_EQ(word.size(), 7u);
  EXPECT_EQ(word[0].name, u"Word Documents");
  EXPECT_EQ(word[0].patterns, u"*.doc;*.docx");
  EXPECT_EQ(initialFileTypeChecks()[row("Word")],
            (std::vector<bool>{true, true, true, true, false, false, false}));
  EXPECT_EQ(initialFileTypeChecks()[row("Music")], (std::vector<bool>{true, true, false, false}));
  EXPECT_TRUE(initialFileTypeChecks()[row("Outlook")].empty());
}

TEST(FileTypes, SearchListHoldsEachPatternOnce) {
  FileTypeChecks checks = initialFileTypeChecks();
  checks[row("Word")] = onlyTypes("Word", {u"Word Documents", u"XML Files"});
  checks[row("Excel")] = onlyTypes("Excel", {u"XML Files"});
  EXPECT_EQ(searchPatternList(select({"Word", "Excel"}), checks), u"*.xml;*.doc;*.docx");

  // "*.sgi" stands twice in the Photos list.
  checks[row("Photos")] = onlyTypes("Photos", {u"All Other Image Formats"});
  const std::u16string photos = searchPatternList(select({"Photos"}), checks);
  EXPECT_EQ(photos.find(u"*.sgi;"), photos.rfind(u"*.sgi;"));
  EXPECT_NE(photos.find(u"*.sgi;*.bw;"), std::u16string::npos);

  // Nothing selected or nothing ticked: nothing to look for; a short flag
  // list counts the missing types as unticked.
  EXPECT_EQ(searchPatternList(select({}), initialFileTypeChecks()), u"");
  checks[row("Music")] = {false, true};
  EXPECT_EQ(searchPatternList(select({"Music"}), checks), u"*.wma");
}

TEST(FileTypes, StoringListsGiveASharedPatternToTheEarlierGroup) {
  FileTypeChecks checks = initialFileTypeChecks();
  checks[row("Word")] = onlyTypes("Word", {u"Word Documents", u"XML Files"});
  checks[row("Excel")] = onlyTypes("Excel", {u"XML Files"});
  checks[row("PowerPoint")] = onlyTypes("PowerPoint", {u"XML Files"});
  const auto lists = storingPatternLists(select({"Word", "Excel", "PowerPoint"}), checks);
  // PowerPoint is left with nothing and is not listed.
  ASSERT_EQ(lists.size(), 2u);
  EXPECT_EQ(lists[0].catalogueIndex, row("Excel"));
  EXPECT_EQ(lists[0].patterns, u"*.xml");
  EXPECT_EQ(lists[1].catalogueIndex, row("Word"));
  EXPECT_EQ(lists[1].patterns, u"*.doc;*.docx");
}

TEST(PatternMatcher, AgreesWithTheMaskListComparison) {
  const std::u16string list = u"*.doc;*.xls;report*;*.tar.gz;*x*.txt";
  const PatternMatcher matcher(list);
  const std::u16string_view names[] = {
      u"a.doc", u"A.DOC",     u"report.docx", u"a.doc.bak", u"x.tar.gz",   u".doc",
      u"doc",   u"Report 1",  u"a.xlsx",      u"b.xls",     u"box.txt",    u"a.txt",
      u"",      u"a.b.c.xls", u"\u00c4.DOC",  u"notes",     u"x.tar.gz.1", u"reportx.txt"};
  for (std::u16string_view name : names) {
    EXPECT_EQ(matcher.matches(name), matchesMaskList(list, name))
        << std::string(name.begin(), name.end());
  }
  EXPECT_FALSE(PatternMatcher(u"*.doc").matches(u"report.docx"));
  EXPECT_TRUE(PatternMatcher(u"*.docx").matches(u"report.docx"));
  EXPECT_TRUE(PatternMatcher(u"").empty());
}

}  // namespace
}  // namespace zq
