#include "stub/restore_table.h"

#include "core/text.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {

namespace {

constexpr std::array<RestoreProgram, kCatalogueSize> kRows = {{
    {"Access", restoreByLocation},
    {"Adobe Premiere", restoreByLocation},
    {"AIM", restoreAIM},
    {"Eudora", restoreEudora},
    {"Excel", restoreByLocation},
    {"Firefox", restoreFirefox},
    {"Google Chrome", restoreChrome},
    {"Google Desktop", restoreGoogleDesktop},
    {"ICQ", restoreICQ},
    {"Internet Explorer", restoreInternetExplorer},
    {"IncrediMail", restoreIncrediMail},
    {"Music", restoreByLocation},
    {"My Documents", restoreMyDocuments},
    {"Opera", restoreOpera},
    {"Outlook Express", restoreOutlookExpress},
    {"Outlook", restoreOutlook},
    {"Palm Desktop", restorePalmDesktop},
    {"Photos", restoreByLocation},
    {"Photoshop", restoreByLocation},
    {"PocoMail", restorePocoMail},
    {"PowerPoint", restoreByLocation},
    {"QuickBooks", restoreByLocation},
    {"Quicken", restoreByLocation},  // with the Quicken rule of restoreEntries
    {"Safari", restoreSafari},
    {"Skype", restoreSkype},
    {"Thunderbird", restoreThunderbird},
    {"Windows Calendar", restoreWindowsCalendar},
    {"Windows Live Mail", restoreWindowsLiveMail},
    {"Windows Live Messenger", restoreWindowsLiveMessenger},
    {"Windows Mail", restoreWindowsMail},
    {"Windows Media Player", restoreMediaPlayer},
    {"Word", restoreByLocation},
    {"WordPerfect", restoreByLocation},
    {"Yahoo Messenger", restoreYahooMessenger},
}};

constexpr bool rowsMatchCatalogue() {
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    if (kRows[i].name != kCatalogueNames[i]) return false;
  }
  return true;
}
// Row i must be catalogue entry i: the presence bytes index both.
static_assert(rowsMatchCatalogue());

}  // namespace

const std::array<RestoreProgram, kCatalogueSize> kRestorePrograms = kRows;

Restorer restorerFor(std::string_view programName) {
  for (const auto& row : kRestorePrograms) {
    if (row.name == programName) return row.restore;
  }
  return restoreByLocation;
}

void restoreByLocation(RestoreRun& run, std::string_view programName) {
  run.restoreLocations(programName);
}

void restoreNotYetAvailable(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring " + utf8ToWide(programName) + u" files...");
  run.restored = false;
  run.errortext = u"This restore program cannot put " + utf8ToWide(programName) +
                  u" data back yet; its files were left in the archive.";
}

bool canRestore(std::string_view programName) {
  return restorerFor(programName) != restoreNotYetAvailable;
}

}  // namespace zq
