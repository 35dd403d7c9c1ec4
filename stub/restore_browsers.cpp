// The restorers whose data goes to one folder: Firefox (with the profiles it
// kept elsewhere), Google Chrome, Internet Explorer's favorites, Safari and
// the My Documents folder.
#include <string>
#include <string_view>

#include "core/known_folders.h"
#include "stub/restore_helpers.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {

namespace {

struct OneFolder {
  std::u16string_view progress;
  std::u16string_view tag;
  std::u16string_view chosenSub;  // below the chosen folder; empty: the folder itself
  std::u16string_view failure;
};

// Extracts the tag (it must be in the archive) into the detected folder or
// below the chosen one, and sets the outcome. An unknown detected folder fails instead of sending
// the files back to the source computer's folders.
void restoreOneFolder(RestoreRun& run, std::string_view programName, const OneFolder& what,
                      const std::u16string& detected) {
  run.view().setInfoText(std::u16string(what.progress));
  const std::u16string base = run.detectFolder() ? detected : chosenFolder(run, what.chosenSub);
  run.restored = extractInto(run, base, what.tag, false, programName);
  if (!run.restored) run.errortext = std::u16string(what.failure);
}

}  // namespace

void restoreFirefox(RestoreRun& run, std::string_view programName) {
  const OneFolder what = {u"Restoring Firefox Files...", u"firefox", u"Firefox\\",
                          u"An error occured while restoring your Firefox bookmarks and "
                          u"settings.\nThis archive file may be corrupt."};
  restoreOneFolder(run, programName, what, belowSpecial(appDataFolder(), u"Mozilla\\Firefox\\"));
  // Profiles kept outside the Firefox folder go back to their own folders
  // (made when missing); they do not change the outcome.
  run.restoreEntries(run.detectFolder() ? u"" : chosenFolder(run, u"Firefox\\"), u"otherfirefox",
                     false, programName);
}

void restoreChrome(RestoreRun& run, std::string_view programName) {
  restoreOneFolder(run, programName,
                   {u"Restoring Google Chrome bookmarks and settings...", u"chrome",
                    u"Google Chrome\\",
                    u"An error occured while restoring your Google Chrome bookmarks and "
                    u"settings.\nThis archive file may be corrupt."},
                   belowSpecial(localAppDataFolder(), u"Google\\Chrome\\User Data"));
}

void restoreInternetExplorer(RestoreRun& run, std::string_view programName) {
  restoreOneFolder(run, programName,
                   {u"Restoring Internet Explorer Files...", u"favorites", u"Internet Explorer\\",
                    u"An error occured while restoring your IE favorites.\nThis file may be "
                    u"corrupt!"},
                   favoritesFolder());
}

void restoreSafari(RestoreRun& run, std::string_view programName) {
  restoreOneFolder(run, programName,
                   {u"Restoring your Safari files...", u"safari", u"Safari\\",
                    u"An error occured while restoring your Safari bookmarks and settings.\nMake "
                    u"sure Safari is installed on this computer before restoring."},
                   belowSpecial(appDataFolder(), u"Apple Computer\\Safari"));
}

void restoreMyDocuments(RestoreRun& run, std::string_view programName) {
  restoreOneFolder(run, programName,
                   {u"Restoring your My Documents folder...", u"documents", u"",
                    u"An error occured while restoring your My Documents folder.\nThis archive "
                    u"file may be corrupt."},
                   documentsFolder());
}

}  // namespace zq
