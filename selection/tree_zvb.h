// "tree.zvb": the search result tree as the user left it, saved (backup
// edition) at the start of an interactive run and loaded by the unattended
// run, which searches the ticked folders again. It lives beside manual.zvb,
// in the folder "Quillo Transfer Prime" of the user's application data folder.
//
// Byte layout, all integers little-endian:
//
//   offset  size  field
//   0       4     magic "ZQST" (5A 51 53 54)
//   4       2     version, 1
//   6       2     reserved, 0
//   8       4     number of drive nodes (children of the invisible root)
//   12      4     number of nodes N in the whole tree
//   16      ...   N nodes in tree order (a node, then its children), each:
//                   1  check state: 0 unchecked, 1 checked, 2 mixed
//                   4  number of children
//                   4  icon index (signed)
//                   2  name length, 1 to 32767 UTF-16 code units
//                   2L name, UTF-16LE, no terminating NUL
//                   2  folder length, 1 to 32767
//                   2L folder, UTF-16LE
//   end           nothing may follow the last node
//
// The loader checks every count and length against the bytes that remain
// before it allocates anything; a damaged file loads as an empty tree, with
// a reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "selection/result_tree.h"

namespace zq {

inline constexpr uint16_t kTreeZvbVersion = 1;
// Longest name or folder of a node: the system's longest path, so a deep
// folder is saved whole rather than cut to a place that does not exist.
inline constexpr size_t kMaxNodeText = 32767;
// Deepest nesting a load accepts (far beyond any real path).
inline constexpr size_t kMaxTreeDepth = 1024;
// Files larger than this are refused unread.
inline constexpr size_t kTreeZvbMaxSize = 512u << 20;

std::string encodeResultTree(const ResultTree& tree);
// On damage: false, `tree` empty, the reason in `error`.
bool decodeResultTree(std::string_view bytes, ResultTree& tree, std::string& error);

// Application data + "\Quillo Transfer Prime\tree.zvb"; empty when the
// application data folder is unknown.
std::u16string resultTreeFilePath();

// Writes the file (creating its folder) through a temporary file that then
// replaces the old one, so a failed save keeps the previous tree.
bool saveResultTree(std::u16string_view path, const ResultTree& tree, std::string& error);
// A missing, unreadable or damaged file leaves the tree empty: false with the reason.
bool loadResultTree(std::u16string_view path, ResultTree& tree, std::string& error);

}  // namespace zq
