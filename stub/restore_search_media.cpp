// The restorers of Google Desktop (search index and gadgets) and Windows
// Media Player (data, skins, visualizations and the rip folder's playlists).
#include <string>
#include <string_view>

#include "core/files.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "stub/restore_helpers.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {

void restoreGoogleDesktop(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring your Google Desktop files...");
  std::u16string index, gadgets;
  if (run.detectFolder()) {
    constexpr std::u16string_view kKey = u"software\\google\\google desktop";
    index = readUserRegString(kKey, u"data_dir", u"");
    gadgets = readUserRegString(kKey, u"plugin_dir", u"");
  } else {
    index = chosenFolder(run, u"Google Desktop\\appdata");
    gadgets = chosenFolder(run, u"Google Desktop\\gadgets");
  }
  // Without an index folder the program is not installed here. Without a
  // gadget folder the gadgets go back to the folders they came from.
  run.restored = !index.empty() && run.restoreEntries(index, u"gdindex", false, programName) &&
                 run.restoreEntries(gadgets, u"gdgadgets", false, programName);
  if (!run.restored) {
    run.errortext =
        u"An error occured while restoring your Google Desktop search index and gadgets.\n"
        u"Make sure Google Desktop is installed on this computer before restoring.";
  }
}

void restoreMediaPlayer(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring your Windows Media Player Files...");
  std::u16string data, skins, visualizations, libraries;
  bool installed = true;
  if (run.detectFolder()) {
    const std::u16string program = belowSpecial(programFilesFolder(), u"Windows Media Player\\");
    installed = !program.empty() && folderExists(program);
    data = belowSpecial(appDataFolder(), u"Microsoft\\Media Player\\");
    skins = program + u"skins";
    visualizations = program + u"visualizations";
    // Without a rip folder on this computer the playlists go back to the
    // folder they came from (an empty base), under the usual target checks.
    const std::u16string rip = readUserRegString(u"SOFTWARE\\Microsoft\\MediaPlayer\\Preferences",
                                                 u"SavedTrackFoldersRipDir", u"");
    if (!rip.empty()) libraries = addBackslash(rip) + u"playlists\\";
  } else {
    const std::u16string player = chosenFolder(run, u"Windows Media Player\\");
    data = player + u"Appdata";
    skins = player + u"Skins";
    visualizations = player + u"Visualizations";
    libraries = player + u"Libraries";
  }
  run.restored = installed && extractInto(run, data, u"data", true, programName) &&
                 extractInto(run, skins, u"skins", true, programName) &&
                 extractInto(run, visualizations, u"visualizations", true, programName) &&
                 run.restoreEntries(libraries, u"libraries", true, programName);
  if (!run.restored) {
    run.errortext =
        u"An error occured while restoring your Windows Media Player libraries, skins and "
        u"visualizations.\nMake sure Windows Media Player is installed on this computer before "
        u"restoring.";
  }
}

}  // namespace zq
