// The companion data file: an archive body of 4 GiB or more is kept in a file
// beside the archive executable, named like it with "Data.dat" in place of
// its last four characters (Home.exe -> HomeData.dat). The executable is then
// a plain copy of the restore program and the companion holds the whole body,
// restore program included, so stored offsets stay valid.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zq {

inline constexpr int64_t kCompanionThreshold = int64_t{1} << 32;

// True when a finished body of this length must move to the companion.
constexpr bool needsCompanion(int64_t bodyLength) { return bodyLength >= kCompanionThreshold; }

// The companion of an archive path: the last four UTF-16 units are dropped
// whatever they are (a shorter path leaves nothing), then "Data.dat".
std::u16string companionPath(std::u16string_view archivePath);

// The same for a host path in UTF-8; four characters (code points) dropped.
std::string companionHostPath(std::string_view archiveHostPath);

// The body of the archive whose executable is at this host path: the
// executable itself when it ends in an archive trailer; else its companion
// when that is an existing file (not a folder); else the executable. (A split
// archive's executable is a plain copy of the restore program, which never
// ends in a trailer; a stale companion left beside a newer archive that holds
// its own data is never taken for it.)
std::string locateBody(const std::string& executableHostPath);

}  // namespace zq
