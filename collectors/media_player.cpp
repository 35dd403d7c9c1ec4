#include "collectors/media_player.h"

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"

namespace zq {

namespace {

constexpr std::string_view kProgramName = "Windows Media Player";

// The rip folder's playlists; empty when the rip folder is not set, so that
// no "playlists" folder relative to wherever the program runs is taken.
std::u16string playlistFolder() {
  const std::u16string rip = readUserRegString(u"SOFTWARE\\Microsoft\\MediaPlayer\\Preferences",
                                               u"SavedTrackFoldersRipDir", u"");
  return rip.empty() ? std::u16string() : addBackslash(rip) + u"playlists\\";
}

std::u16string below(const std::u16string& special, std::u16string_view rest) {
  return special.empty() ? std::u16string() : addBackslash(special) + std::u16string(rest);
}

}  // namespace

bool collectWindowsMediaPlayer(Entries& entries) {
  const std::u16string playlists = playlistFolder();
  const std::u16string data = below(appDataFolder(), u"Microsoft\\Media Player\\");
  const std::u16string install = below(programFilesFolder(), u"Windows Media Player\\");

  bool stored = false;
  if (!install.empty() && folderExists(install) && !playlists.empty() &&
      folderExists(playlists)) {
    const std::string name(kProgramName);
    // Every part is tried; one stored part is enough.
    const auto add = [&](const std::u16string& folder, std::u16string_view masks,
                         const std::string& tag) {
      if (folder.empty() || !folderExists(folder)) return false;
      return entries.addFolder(folder, std::u16string(masks), u"", u"", tag, name, true);
    };
    stored |= add(data, u"*", "data");
    stored |= add(install + u"skins", u"*", "skins");
    stored |= add(install + u"visualizations", u"*", "visualizations");
    stored |= add(playlists, u"*.wpl", "libraries");
  }
  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(static_cast<size_t>(catalogueIndex(kProgramName))));
  }
  return stored;
}

}  // namespace zq
