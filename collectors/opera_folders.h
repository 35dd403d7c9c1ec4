// Where Opera keeps its profile on this computer, as both the collector and
// the restorer find it: the installation folder named by the last command
// line, the "Multi User" setting of its operadef6.ini, and the places a
// profile\opera6.ini is looked for.
#pragma once

#include <string>

namespace zq {

// The folder part (with trailing "\") of HKCU "Software\Opera Software"
// "Last CommandLine"; a quoted program path loses its quotes and any
// arguments after it. Empty when the value is empty or names no folder.
std::u16string operaInstallationFolder();

// The Opera folder O that holds "profile\": the roaming data folder's
// Opera\Opera\ for a multi-user installation (the default), else the
// installation folder; when O has no profile\opera6.ini, the first of
// AppData\Opera\Opera\, AppData\Opera\ and the installation folder that has
// one. Ends in "\"; may be empty.
std::u16string operaFolder();

// [Mail] "Mail Root Directory" of O + "Profile\opera6.ini"; empty when
// missing.
std::u16string operaMailRoot(const std::u16string& operaFolder);

}  // namespace zq
