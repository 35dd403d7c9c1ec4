// Sample data of the browsers Firefox, Google Chrome, Internet Explorer,
// Opera and Safari: what their collectors find on a sample computer, and
// what a target computer of a round trip already has.
#pragma once

#include <string>
#include <vector>

#include "testing/sample_machine.h"

namespace zq {

// Firefox: profiles.ini naming a relative profile inside the Firefox folder
// and an absolute one on another drive (outsideProfile), each with
// databases and their -wal, -shm and -journal companions, a profile lock and
// a cache folder that stay behind.
inline constexpr std::u16string_view kSampleFirefoxOutsideProfile =
    u"D:\\Firefox Profiles\\alice.work";
SampleData sampleFirefox();

// Google Chrome's User Data: "Local State", "Default\" and "Profile 1\" with
// their databases and -journal files, and a "Cache" folder that stays behind
// (while "Code Cache" travels: only folders named exactly "cache" are left).
SampleData sampleChrome();

// Internet Explorer: favorites in the Favorites folder and its subfolders.
SampleData sampleInternetExplorerFavorites();

// How Opera is installed.
enum class OperaInstall {
  MultiUser,   // "Last CommandLine" unquoted, operadef6.ini "Multi User=1", profile in AppData
  SingleUser,  // quoted command line with an argument, "Multi User=0", profile beside opera.exe
  ProfileOnly, // no installation known: only AppData\Opera\Opera\profile
};
// The Opera program folder of the sample ("%ProgramFiles%\Opera\").
inline constexpr std::u16string_view kSampleOperaProgramFolder = u"%ProgramFiles%\\Opera\\";
// Opera with its profile (bookmarks, contacts, notes, cookies, caches that
// stay behind, and opera6.ini). opera6.ini names mailRoot (a finished path
// with a trailing "\") as [Mail] "Mail Root Directory", whose folder holds
// the mail; an empty mailRoot writes no [Mail] section and no mail.
SampleData sampleOpera(OperaInstall install, const std::u16string& mailRoot);

// Safari's application data folder: bookmarks, history, top sites, an icon
// database with its -journal.
SampleData sampleSafari();

// All of the above, for the demo (Opera multi-user with its mail on D:).
std::vector<SampleData> sampleWebAPrograms();

}  // namespace zq
