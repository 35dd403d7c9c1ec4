#include "collectors/catalogue.h"

#include "core/strings.h"
#include "core/text.h"

namespace zq {
namespace {

struct RowData {
  std::string_view longName;
  bool isFileTypeGroup;
  std::u16string_view description;  // empty for file-type groups
  std::u16string_view infoText;     // backup wording; empty when the collector announces nothing
  std::u16string_view failureText;
};

constexpr bool kGroup = true;
constexpr bool kProgram = false;

// One row per catalogue entry, in catalogue order (names: kCatalogueNames).
constexpr std::array<RowData, kCatalogueSize> kRows = {{
    {"Microsoft Access", kGroup, {}, {}, {}},
    {"Adobe Premiere", kGroup, {}, {}, {}},
    {"AOL Instant Messenger",
     kProgram,
     u"Quillo Transfer Prime will find and backup your AIM IM archives (conversations) and "
     u"settings automatically.",
     {},
     u"Unable to find AIM's data files!"},
    {"Qualcomm Eudora", kProgram,
     u"Quillo Transfer Prime will find and backup your Eudora mail, address book and settings "
     u"automatically.",
     u"Backing up Eudora files...", u"Unable to find Eudora's data files!"},
    {"Microsoft Excel", kGroup, {}, {}, {}},
    {"Firefox", kProgram,
     u"Quillo Transfer Prime will find and backup your Firefox bookmarks and settings "
     u"automatically.",
     u"Backing up Firefox files...", u"Unable to find Firefox's data files!"},
    {"Google Chrome", kProgram,
     u"Quillo Transfer Prime will find and backup your Chrome bookmarks and settings "
     u"automatically.",
     u"Backing up Google Chrome bookmarks and settings...",
     u"Unable to find Google Chrome's data files!"},
    {"Google Desktop",
     kProgram,
     u"Quillo Transfer Prime will find and backup your Google Desktop search index and gadgets "
     u"automatically.",
     {},
     u"Unable to find Google Desktop's data files!"},
    {"ICQ",
     kProgram,
     u"Quillo Transfer Prime will find and backup your ICQ message history and settings "
     u"automatically.",
     {},
     u"Unable to find ICQ's data files!"},
    {"Microsoft Internet Explorer", kProgram,
     u"Quillo Transfer Prime will find and backup your Internet Explorer favorites "
     u"automatically.",
     u"Backing up Internet Explorer files...", u"Unable to find IE's data files!"},
    {"IncrediMail", kProgram,
     u"Quillo Transfer Prime will find and backup your IncrediMail mail, address book and "
     u"settings automatically.",
     u"Backing up IncrediMail files...", u"Unable to find IncrediMail's data files!"},
    {"Music and Sounds", kGroup, {}, {}, {}},
    {"My Documents", kProgram,
     u"Quillo Transfer Prime will find and backup your My Documents folder automatically.",
     u"Backing up your My Documents folder...", u"Unable to find your My Documents folder data!"},
    {"Opera", kProgram,
     u"Quillo Transfer Prime will find and backup your Opera bookmarks, mail, contacts and "
     u"settings automatically.",
     u"Backing up Opera files...", u"Unable to find Opera's data files!"},
    {"Microsoft Outlook Express", kProgram,
     u"Quillo Transfer Prime will find and backup your Outlook Express mail and contacts "
     u"automatically.",
     u"Backing up Outlook Express files...", u"Unable to find your Outlook Express files!"},
    {"Microsoft Outlook (Office)", kProgram,
     u"Quillo Transfer Prime will find and backup your Outlook mail, address book and settings "
     u"(PST Files) automatically.",
     u"Backing up Outlook files...", u"Unable to find your Outlook PST files!"},
    {"Palm Desktop", kProgram,
     u"Quillo Transfer Prime will find and backup your Palm Desktop data and settings "
     u"automatically.",
     u"Backing up Palm Desktop files...", u"Unable to find Palm Desktop's data files!"},
    {"Photos and Images", kGroup, {}, {}, {}},
    {"Adobe Photoshop", kGroup, {}, {}, {}},
    {"PocoMail", kProgram,
     u"Quillo Transfer Prime will find and backup your PocoMail mail, address book and settings "
     u"automatically.",
     u"Backing up PocoMail files...", u"Unable to find PocoMail's data files!"},
    {"Microsoft Powerpoint", kGroup, {}, {}, {}},
    {"Intuit Quickbooks", kGroup, {}, {}, {}},
    {"Intuit Quicken", kGroup, {}, {}, {}},
    {"Apple Safari Browser",
     kProgram,
     u"Quillo Transfer Prime will find and backup your Safari bookmarks and settings "
     u"automatically.",
     {},
     u"Unable to find Safari's data files!"},
    {"Skype", kProgram,
     u"Quillo Transfer Prime will find and backup your Skype contacts and settings "
     u"automatically.",
     u"Backing up Skype files...", u"Unable to find Skype's data files!"},
    // Thunderbird's texts are built from the name the shared mail collector
    // was called with (mozillaMailInfoText / mozillaMailFailureText).
    {"Thunderbird",
     kProgram,
     u"Quillo Transfer Prime will find and backup your Thunderbird mail, address book and "
     u"settings automatically.",
     {},
     {}},
    {"Microsoft Windows Calendar", kProgram,
     u"Quillo Transfer Prime will find and backup your Windows Calendar data and settings "
     u"automatically.",
     u"Backing up Windows Calendar files...", u"Unable to find your Windows Calendar data!"},
    {"Microsoft Windows Live Mail", kProgram,
     u"Quillo Transfer Prime will find and backup your Windows Live Mail contacts and mail "
     u"automatically.",
     u"Backing up Windows Live Mail files...", u"Unable to find your Windows Live Mail data!"},
    {"Microsoft Windows Live Messenger", kProgram,
     u"Quillo Transfer Prime will find and backup your Windows Live Messenger emoticons, "
     u"backgrounds, winks, user tiles, moods and message history automatically.",
     u"Backing up Windows Live Messenger files...",
     u"Unable to find Windows Live Messenger's data files!"},
    {"Microsoft Windows Mail", kProgram,
     u"Quillo Transfer Prime will find and backup your Windows Mail contacts and mail "
     u"automatically.",
     u"Backing up Windows Mail files...", u"Unable to find your Windows Mail data!"},
    {"Microsoft Windows Media Player",
     kProgram,
     u"Quillo Transfer Prime will find and backup your Windows Media Player libraries, skins and "
     u"visualizations automatically.",
     {},
     u"Unable to find Windows Media Player's data files!"},
    {"Microsoft Word", kGroup, {}, {}, {}},
    {"Corel WordPerfect", kGroup, {}, {}, {}},
    {"Yahoo Messenger",
     kProgram,
     u"Quillo Transfer Prime will find and backup your Yahoo Messenger message archivess "
     u"automatically.",
     {},
     u"Unable to find Yahoo Messenger's data files!"},
}};

constexpr size_t kThunderbird = 25;

constexpr std::array<CatalogueEntry, kCatalogueSize> makeCatalogue() {
  std::array<CatalogueEntry, kCatalogueSize> rows{};
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    rows[i] = {kCatalogueNames[i], kRows[i].longName, kRows[i].isFileTypeGroup};
  }
  return rows;
}

constexpr std::array<CatalogueEntry, kCatalogueSize> kCatalogue = makeCatalogue();

constexpr size_t indexOf(std::string_view name) {
  const int index = catalogueIndex(name);
  return index < 0 ? kCatalogueSize : static_cast<size_t>(index);
}

constexpr std::array<size_t, kProgramCount> kRunOrder = {
    indexOf("Outlook"),
    indexOf("Outlook Express"),
    indexOf("Windows Mail"),
    indexOf("Windows Live Mail"),
    indexOf("Windows Calendar"),
    indexOf("Palm Desktop"),
    indexOf("Thunderbird"),
    indexOf("Firefox"),
    indexOf("Google Chrome"),
    indexOf("IncrediMail"),
    indexOf("Internet Explorer"),
    indexOf("PocoMail"),
    indexOf("Opera"),
    indexOf("Eudora"),
    indexOf("Windows Live Messenger"),
    indexOf("Skype"),
    indexOf("My Documents"),
    indexOf("Google Desktop"),
    indexOf("AIM"),
    indexOf("Yahoo Messenger"),
    indexOf("Windows Media Player"),
    indexOf("Safari"),
    indexOf("ICQ"),
};

// Every program once, no group, no unknown name: checked when this compiles.
constexpr bool runOrderIsComplete() {
  std::array<bool, kCatalogueSize> seen{};
  for (size_t index : kRunOrder) {
    if (index >= kCatalogueSize || seen[index] || kRows[index].isFileTypeGroup) return false;
    seen[index] = true;
  }
  return true;
}
static_assert(runOrderIsComplete());
static_assert(kCatalogueNames[kThunderbird] == "Thunderbird");

std::u16string wideName(std::string_view name) { return utf8ToWide(name); }

}  // namespace

const std::array<CatalogueEntry, kCatalogueSize>& programCatalogue() { return kCatalogue; }

const std::array<size_t, kProgramCount>& collectorRunOrder() { return kRunOrder; }

int selectionCount(const ProgramSelection& selection) {
  int count = 0;
  for (bool flag : selection) count += flag ? 1 : 0;
  return count;
}

bool isEntrySelected(const ProgramSelection& selection, std::string_view name) {
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    if (kCatalogueNames[i] == name && selection[i]) return true;
  }
  return false;
}

bool selectsFileTypeGroup(const ProgramSelection& selection) {
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    if (selection[i] && kRows[i].isFileTypeGroup) return true;
  }
  return false;
}

int catalogueIndexOfRow(const ProgramSelection& selection, int row) {
  if (row < 1) return -1;
  int seen = 0;
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    if (selection[i] && ++seen == row) return static_cast<int>(i);
  }
  return -1;
}

std::u16string_view programDescription(size_t index) {
  return index < kCatalogueSize ? kRows[index].description : std::u16string_view();
}

std::u16string editionWording(std::u16string_view backupText, Edition edition) {
  if (edition == Edition::Backup) return std::u16string(backupText);
  return replaceAll(backupText, u"Backing up", u"Archiving");
}

std::u16string collectorInfoText(size_t index, Edition edition) {
  if (index >= kCatalogueSize) return {};
  if (index == kThunderbird) return mozillaMailInfoText(wideName(kCatalogueNames[index]), edition);
  return editionWording(kRows[index].infoText, edition);
}

std::u16string collectorFailureText(size_t index) {
  if (index >= kCatalogueSize) return {};
  if (index == kThunderbird) return mozillaMailFailureText(wideName(kCatalogueNames[index]));
  return std::u16string(kRows[index].failureText);
}

std::u16string mozillaMailInfoText(std::u16string_view programName, Edition edition) {
  return editionWording(u"Backing up " + std::u16string(programName) + u" files...", edition);
}

std::u16string mozillaMailFailureText(std::u16string_view programName) {
  const std::u16string name(programName);
  return u"Unable to find " + name + u"'s data files!  Make sure that " + name +
         u" is not running.";
}

std::u16string manualSelectionInfoText(Edition edition) {
  return editionWording(u"Backing up manually selected files...", edition);
}

std::u16string searchedFilesInfoText(std::u16string_view groupName, Edition edition) {
  return editionWording(u"Backing up " + std::u16string(groupName) + u" files...", edition);
}

}  // namespace zq
