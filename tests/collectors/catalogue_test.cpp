// The catalogue's rows, run order, selection queries and texts.
#include "collectors/catalogue.h"

#include <gtest/gtest.h>

#include "core/text.h"

namespace zq {
namespace {

struct Row {
  std::string_view name;
  std::string_view longName;
  bool group;
  int runStep;  // 1-based position in the run; 0 for file-type groups
};

// The table every archive's trailer and the restore program are indexed by.
constexpr Row kExpected[kCatalogueSize] = {
    {"Access", "Microsoft Access", true, 0},
    {"Adobe Premiere", "Adobe Premiere", true, 0},
    {"AIM", "AOL Instant Messenger", false, 19},
    {"Eudora", "Qualcomm Eudora", false, 14},
    {"Excel", "Microsoft Excel", true, 0},
    {"Firefox", "Firefox", false, 8},
    {"Google Chrome", "Google Chrome", false, 9},
    {"Google Desktop", "Google Desktop", false, 18},
    {"ICQ", "ICQ", false, 23},
    {"Internet Explorer", "Microsoft Internet Explorer", false, 11},
    {"IncrediMail", "IncrediMail", false, 10},
    {"Music", "Music and Sounds", true, 0},
    {"My Documents", "My Documents", false, 17},
    {"Opera", "Opera", false, 13},
    {"Outlook Express", "Microsoft Outlook Express", false, 2},
    {"Outlook", "Microsoft Outlook (Office)", false, 1},
    {"Palm Desktop", "Palm Desktop", false, 6},
    {"Photos", "Photos and Images", true, 0},
    {"Photoshop", "Adobe Photoshop", true, 0},
    {"PocoMail", "PocoMail", false, 12},
    {"PowerPoint", "Microsoft Powerpoint", true, 0},
    {"QuickBooks", "Intuit Quickbooks", true, 0},
    {"Quicken", "Intuit Quicken", true, 0},
    {"Safari", "Apple Safari Browser", false, 22},
    {"Skype", "Skype", false, 16},
    {"Thunderbird", "Thunderbird", false, 7},
    {"Windows Calendar", "Microsoft Windows Calendar", false, 5},
    {"Windows Live Mail", "Microsoft Windows Live Mail", false, 4},
    {"Windows Live Messenger", "Microsoft Windows Live Messenger", false, 15},
    {"Windows Mail", "Microsoft Windows Mail", false, 3},
    {"Windows Media Player", "Microsoft Windows Media Player", false, 21},
    {"Word", "Microsoft Word", true, 0},
    {"WordPerfect", "Corel WordPerfect", true, 0},
    {"Yahoo Messenger", "Yahoo Messenger", false, 20},
};

TEST(Catalogue, RowsNamesKindsAndRunOrder) {
  const auto& order = collectorRunOrder();
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    SCOPED_TRACE(kExpected[i].name);
    const CatalogueEntry& entry = programCatalogue()[i];
    EXPECT_EQ(entry.name, kExpected[i].name);
    EXPECT_EQ(entry.longName, kExpected[i].longName);
    EXPECT_EQ(entry.isFileTypeGroup, kExpected[i].group);
    if (kExpected[i].runStep > 0) {
      EXPECT_EQ(order[static_cast<size_t>(kExpected[i].runStep - 1)], i);
    }
    // Every program has a description and a failure text; groups have neither.
    EXPECT_EQ(programDescription(i).empty(), kExpected[i].group);
    EXPECT_EQ(collectorFailureText(i).empty(), kExpected[i].group);
  }
}

ProgramSelection selectionOf(std::initializer_list<std::string_view> names) {
  ProgramSelection selection{};
  for (std::string_view name : names) selection[static_cast<size_t>(catalogueIndex(name))] = true;
  return selection;
}

TEST(Catalogue, SelectionQueries) {
  const ProgramSelection none{};
  EXPECT_EQ(selectionCount(none), 0);
  EXPECT_EQ(catalogueIndexOfRow(none, 1), -1);
  EXPECT_FALSE(selectsFileTypeGroup(none));

  // Picked in any order, the program page lists them in catalogue order.
  const ProgramSelection picked = selectionOf({"Yahoo Messenger", "Word", "AIM", "Outlook"});
  EXPECT_EQ(selectionCount(picked), 4);
  EXPECT_EQ(catalogueIndexOfRow(picked, 0), -1);  // the manual selection row
  EXPECT_EQ(catalogueIndexOfRow(picked, 1), catalogueIndex("AIM"));
  EXPECT_EQ(catalogueIndexOfRow(picked, 2), catalogueIndex("Outlook"));
  EXPECT_EQ(catalogueIndexOfRow(picked, 3), catalogueIndex("Word"));
  EXPECT_EQ(catalogueIndexOfRow(picked, 4), catalogueIndex("Yahoo Messenger"));
  EXPECT_EQ(catalogueIndexOfRow(picked, 5), -1);
  EXPECT_TRUE(selectsFileTypeGroup(picked));
  EXPECT_FALSE(selectsFileTypeGroup(selectionOf({"AIM", "Outlook"})));

  // The run asks by exact name.
  EXPECT_TRUE(isEntrySelected(picked, "Outlook"));
  EXPECT_FALSE(isEntrySelected(picked, "outlook"));
  EXPECT_FALSE(isEntrySelected(picked, "Outlook Express"));
  EXPECT_FALSE(isEntrySelected(picked, "Manual"));
}

TEST(Catalogue, CollectorTextsInBothEditions) {
  struct Case {
    std::string_view name;
    std::u16string_view backupInfo;
    std::u16string_view transferInfo;
    std::u16string_view failure;
  };
  const Case cases[] = {
      {"Outlook", u"Backing up Outlook files...", u"Archiving Outlook files...",
       u"Unable to find your Outlook PST files!"},
      {"Google Chrome", u"Backing up Google Chrome bookmarks and settings...",
       u"Archiving Google Chrome bookmarks and settings...",
       u"Unable to find Google Chrome's data files!"},
      {"My Documents", u"Backing up your My Documents folder...",
       u"Archiving your My Documents folder...", u"Unable to find your My Documents folder data!"},
      {"Thunderbird", u"Backing up Thunderbird files...", u"Archiving Thunderbird files...",
       u"Unable to find Thunderbird's data files!  Make sure that Thunderbird is not running."},
      {"Internet Explorer", u"Backing up Internet Explorer files...",
       u"Archiving Internet Explorer files...", u"Unable to find IE's data files!"},
      // These announce nothing.
      {"Safari", u"", u"", u"Unable to find Safari's data files!"},
      {"ICQ", u"", u"", u"Unable to find ICQ's data files!"},
      {"Word", u"", u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t index = static_cast<size_t>(catalogueIndex(c.name));
    EXPECT_EQ(collectorInfoText(index, Edition::Backup), c.backupInfo);
    EXPECT_EQ(collectorInfoText(index, Edition::Transfer), c.transferInfo);
    EXPECT_EQ(collectorFailureText(index), c.failure);
  }

  // The shared mail collector speaks with the name it was called with.
  EXPECT_EQ(mozillaMailInfoText(u"Eudora", Edition::Transfer), u"Archiving Eudora files...");
  EXPECT_EQ(mozillaMailFailureText(u"Eudora"),
            u"Unable to find Eudora's data files!  Make sure that Eudora is not running.");
  EXPECT_EQ(manualSelectionInfoText(Edition::Backup), u"Backing up manually selected files...");
  EXPECT_EQ(manualSelectionInfoText(Edition::Transfer), u"Archiving manually selected files...");
  EXPECT_EQ(searchedFilesInfoText(u"Photos", Edition::Transfer), u"Archiving Photos files...");
  EXPECT_EQ(collectorInfoText(kCatalogueSize, Edition::Backup), u"");
}

TEST(Catalogue, DescriptionsDoNotChangeWithTheEdition) {
  EXPECT_EQ(programDescription(static_cast<size_t>(catalogueIndex("Outlook"))),
            u"Quillo Transfer Prime will find and backup your Outlook mail, address book and "
            u"settings (PST Files) automatically.");
  // The system's own spelling is kept.
  EXPECT_EQ(programDescription(static_cast<size_t>(catalogueIndex("Yahoo Messenger"))),
            u"Quillo Transfer Prime will find and backup your Yahoo Messenger message archivess "
            u"automatically.");
  EXPECT_EQ(programDescription(kCatalogueSize), u"");
}

TEST(Catalogue, EditionTitles) {
  EXPECT_EQ(applicationTitle(Edition::Backup), u"Zarvo Backup Prime");
  EXPECT_EQ(applicationTitle(Edition::Transfer), u"Quillo Transfer Prime");
  EXPECT_EQ(editionOf(true), Edition::Backup);
  EXPECT_EQ(editionOf(false), Edition::Transfer);
}

}  // namespace
}  // namespace zq
