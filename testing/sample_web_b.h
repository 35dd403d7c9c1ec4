// Sample data of the messengers, Google Desktop and Windows Media Player:
// what the collectors of these programs find on a sample computer, and what
// a target computer of a round trip already has.
#pragma once

#include <vector>

#include "testing/sample_machine.h"

namespace zq {

// The Skype folder: shared settings and one account with its database.
SampleData sampleSkype();
// The ICQ folder: message databases (".mdb", one in an account folder) and
// an INI file the collector leaves out.
SampleData sampleIcq();

// How AIM's settings.xml says conversations are logged.
enum class AimLogging {
  Off,         // loggingLogIM is "no": no logs are stored
  Documents,   // loggingLogIM is "yes": Documents\AIMLogger
  ChosenFolder // also a loggingLogPath: "D:\AIM Logs"
};
// AIM's settings folder with settings.xml in the given form, and the logs of
// both places (only the one the settings name is stored).
SampleData sampleAim(AimLogging logging);

// Yahoo Messenger's profiles below Program Files, or (virtualStore) in the
// user's virtual store, where they are with user account control on.
SampleData sampleYahooMessenger(bool virtualStore = false);

// Windows Live Messenger's data folder (with the sharing folders the
// collector leaves out) and one account, key "1234567890", whose message
// log folder is logFolder (variables allowed) with .xml, .xsl, a text file
// and a subfolder in it.
SampleData sampleWindowsLiveMessenger(
    const std::u16string& logFolder = u"%USERPROFILE%\\Documents\\My Received Files\\History");
// Only the account's registry key with its log folder: what a target
// computer where the account was already used has.
SampleData sampleWindowsLiveMessengerAccount(const std::u16string& logFolder);

// Google Desktop's registry values naming its index folder (indexFolder)
// and gadget folder (pluginFolder), with files in both; withPlugins false
// leaves the gadget folder missing.
SampleData sampleGoogleDesktop(
    const std::u16string& indexFolder = u"%LOCALAPPDATA%\\Google\\Google Desktop\\8531",
    const std::u16string& pluginFolder = u"%APPDATA%\\Google\\Google Desktop\\Plugins",
    bool withPlugins = true);

// Windows Media Player: its data folder, its installation with skins and
// visualizations, and the rip folder's playlists. ripFolder empty writes an
// empty "SavedTrackFoldersRipDir" value (the playlists stay in the Music
// folder where nothing points to them).
SampleData sampleWindowsMediaPlayer(const std::u16string& ripFolder = u"%USERPROFILE%\\Music");
// Only the installation folder and the rip folder value: a target computer
// where the player is installed but never used.
SampleData sampleWindowsMediaPlayerInstalled(const std::u16string& ripFolder);

// All of the above, for the demo (AIM logs to a folder of its own).
std::vector<SampleData> sampleWebBPrograms();

}  // namespace zq
