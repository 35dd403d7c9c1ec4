// "manual.zvb": the saved manual selection, so the ticks survive between
// program starts (the backup edition saves it at the start of every run and
// loads it when the wizard starts). It lives in the folder "Quillo Transfer
// Prime" of the user's application data folder (the same folder name in both
// editions, beside the run log).
//
// Byte layout, all integers little-endian:
//
//   offset  size  field
//   0       4     magic "ZQMS" (5A 51 4D 53)
//   4       2     version, 1
//   6       2     reserved, 0
//   8       4     item count N
//   12      ...   N items, each:
//                   1  state: 1 = ticked (other values are reserved)
//                   2  path length L in UTF-16 code units, 1 to 32767
//                      (kMaxItemPath)
//                   2L the path, UTF-16LE, no terminating NUL
//   end           nothing may follow the last item
//
// Items are written in tree order. The loader checks every field against the
// bytes that remain before it allocates anything, so a damaged file (cut,
// flipped, inflated lengths) loads as nothing, with a reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "selection/manual_selection.h"

namespace zq {

inline constexpr uint16_t kManualZvbVersion = 1;
// Files larger than this are refused unread (far above any real selection).
inline constexpr size_t kManualZvbMaxSize = 16u << 20;

// The bytes of a selection's ticked items, in tree order.
std::string encodeManualSelection(const ManualSelection& selection);

// Decodes bytes written by encodeManualSelection. On damage: false, `out`
// empty, the reason in `error`.
bool decodeManualSelection(std::string_view bytes, ManualSelection& out, std::string& error);

// Application data + "\Quillo Transfer Prime\manual.zvb"; empty when the
// application data folder is unknown.
std::u16string manualSelectionFilePath();

// Writes the file (creating its folder), through a temporary file that then
// replaces the old one, so a failed save keeps the previous selection.
bool saveManualSelection(std::u16string_view path, const ManualSelection& selection,
                         std::string& error);

// Reads the file. A missing, unreadable or damaged file leaves `out` empty
// and returns false with the reason.
bool loadManualSelection(std::u16string_view path, ManualSelection& out, std::string& error);

}  // namespace zq
