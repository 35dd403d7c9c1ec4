// Location tags: where a manually selected or searched file lay on the
// source computer, so that the restore program can put it into the matching
// folder of the target computer. The tags, in the order they are tried (the
// first folder that holds the file wins):
//
//   "programfiles"  the Program Files folder
//   "desktop"       the user's Desktop
//   "appdata"       the user's (roaming) application data folder
//   "localappdata"  the user's local application data folder
//   "documents"     the user's My Documents folder
//   "userdir"       the user's profile folder (never on systems before NT 5)
//   "normal"        none of these: the file's full folder is kept instead
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zq {

// One location folder per tag except "normal", in test order. An empty
// folder never matches.
struct LocationFolders {
  static constexpr std::array<std::string_view, 6> kTags = {"programfiles", "desktop",   "appdata",
                                                            "localappdata", "documents", "userdir"};
  std::array<std::u16string, 6> folders;

  // The folders of the current machine's user.
  static LocationFolders ofCurrentMachine();
};

inline constexpr std::string_view kNormalLocationTag = "normal";

// True when `path` lies in the folder `location` (letter case ignored; the
// location may end in "\"): `relative` is then the part of the path's folder
// after the location, empty for a file directly in it, else beginning with
// "\" ("\Sub" for location\Sub\file.txt). False, with `relative` empty, when
// the location is empty or does not hold the path. The location must end at
// a folder boundary of the path: C:\Users\al does not hold C:\Users\alice\x.
bool relativeToLocation(std::u16string_view path, std::u16string_view location,
                        std::u16string& relative);

struct Location {
  std::string tag;
  std::u16string relativeFolder;
};

// The tag and relative folder of a file (searched files store it so): the
// first location folder that holds the file gives its tag and the file's
// folder relative to it; otherwise "normal" with the file's folder written
// without its trailing "\", every ":" and every "\\" (C:\Data\Sub\a.txt gives
// C\Data\Sub, \\server\share\a.txt gives server\share).
Location locationOfFile(std::u16string_view path, const LocationFolders& folders);

// The tag and relative path of a ticked item itself (a file or a folder): for
// a location tag the item's path after the location, without trailing "\"
// (\Taxes for Documents\Taxes, \report.doc for Desktop\report.doc); for
// "normal" the item's path without trailing "\", ":" and "\\".
Location locationOfItem(std::u16string_view path, const LocationFolders& folders);

// The "normal" form of a path: every ":" and every "\\" removed, no trailing "\".
std::u16string normalLocationPath(std::u16string_view path);

}  // namespace zq
