// Windows shell links (".lnk" files): reading the target path and writing
// small links of our own.
//
// Only what the programs need is read: the header, the link flags, the
// target ID list (skipped by its size) and the LinkInfo block with the local
// base path or the network share name plus the common path suffix. Every
// offset and size in the file is checked against the buffer; a damaged or
// cut-off link gives an empty target, never a read outside the bytes given.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zq {

// Longest target path the programs accept (the system's path buffer).
inline constexpr size_t kMaxShellLinkPath = 260;

// Turns ANSI bytes of the link into wide text (the machine's code page).
using AnsiDecoder = std::function<std::u16string(std::string_view)>;

// Windows-1252 decoding: the code page of a machine that names no other.
std::u16string decodeWindows1252(std::string_view text);

// The target path of a shell link held in `bytes`: the local base path (the
// Unicode one when the link has it) followed by the common path suffix, or,
// for a link without a local path, the network share name, "\" and the
// suffix. Empty when the buffer is not a well-formed link, has no LinkInfo,
// or the path is longer than kMaxShellLinkPath (a cut path would name some
// other place). A null decoder means Windows-1252.
std::u16string shellLinkTarget(std::span<const uint8_t> bytes,
                               const AnsiDecoder& decode = nullptr);

// A minimal valid link to a local path ("C:\Users\x\file.txt"): header,
// LinkInfo with a fixed-drive volume, the ANSI path (characters that
// Windows-1252 cannot hold become "?") and the Unicode path.
std::vector<uint8_t> makeLocalShellLink(std::u16string_view path);

// A minimal valid link to a place on a network share: netName is the share
// ("\\server\share"), suffix the path below it ("folder\file"), may be empty.
std::vector<uint8_t> makeNetworkShellLink(std::u16string_view netName,
                                          std::u16string_view suffix);

}  // namespace zq
