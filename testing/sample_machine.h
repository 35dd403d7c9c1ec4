// Sample Windows computers for tests, benchmarks and the demo.
//
// A sample computer is declared as data (SampleMachineRecipe) and built as a
// Wine-style prefix folder by buildSampleMachine(): the drive folders, the
// dosdevices links, the user's profile with its special folders, and
// user.reg, userdef.reg and system.reg with the values a real prefix has.
// Program data is added as SampleData records: a named group of folders,
// files, registry values and shortcuts. Paths in records are Windows paths
// and may use the sample's environment variables (%USERPROFILE%, %APPDATA%,
// %LOCALAPPDATA%, %ProgramFiles%, ...), so one record fits every user name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"

namespace zq {

// What HKLM "Software\Microsoft\Windows NT\CurrentVersion" says.
struct SampleWindowsVersion {
  uint32_t major = 6;
  uint32_t minor = 1;
  std::u16string build = u"7601";
  std::u16string servicePack = u"Service Pack 1";
  std::u16string productName = u"Microsoft Windows 7";
  // Also the CurrentMajorVersionNumber / CurrentMinorVersionNumber dwords
  // (a prefix has them only after its version was changed).
  bool writeMajorMinor = false;

  static SampleWindowsVersion windowsXp();  // 5.1
  static SampleWindowsVersion windowsVista();
  static SampleWindowsVersion windows7();
  static SampleWindowsVersion windows10();
  // By short name: "xp", "vista", "7", "10"; false for another name.
  static bool byName(std::string_view name, SampleWindowsVersion& out);
};

struct SampleDrive {
  char16_t letter = u'C';
  // Host folder of the drive root: relative to the prefix ("drive_d") or
  // absolute ("/" for Z:). Sample data is never written below "/".
  std::string folder;
  // Type in HKLM "Software\Wine\Drives": "hd", "cdrom", "network",
  // "floppy", "ramdisk"; empty writes no entry (as for C: and Z:).
  std::u16string wineType;
};

// C: drive_c, D: drive_d (a second fixed drive), E: drive_e (a CD), Z: "/".
std::vector<SampleDrive> defaultSampleDrives();

struct SampleFile {
  std::u16string path;  // Windows path, variables allowed
  std::string content;  // bytes
  int64_t unixTime = 0;  // last write time in Unix seconds; 0 leaves it at "now"
};

struct SampleRegValue {
  RegRoot root = RegRoot::CurrentUser;
  std::u16string key;
  RegValue value;
  // Replace %VARIABLE% references in string data by the sample's values
  // before writing (for REG_SZ values that hold a finished path).
  bool expandVariables = false;
};

// A shell link file at `path` whose target is `target`: a local path or a
// network place ("\\server\share\folder").
struct SampleShortcut {
  std::u16string path;
  std::u16string target;
};

// One named group of data on the sample computer, e.g. one program's
// profile, settings and registry values.
struct SampleData {
  std::string name;
  std::vector<std::u16string> folders;
  std::vector<SampleFile> files;
  std::vector<SampleRegValue> values;
  std::vector<SampleShortcut> shortcuts;
};

// Convenience constructors for registry records.
SampleRegValue sampleText(RegRoot root, std::u16string key, std::u16string name,
                          std::u16string_view text, uint32_t type = kRegSz,
                          bool expandVariables = false);
SampleRegValue sampleDword(RegRoot root, std::u16string key, std::u16string name,
                           uint32_t value);

// The user's own documents: a few files in Documents, Pictures and Music,
// files and a shortcut on the Desktop, a favourite, a network place with
// its "target.lnk", a folder on D: and a file on the CD.
SampleData sampleUserDocuments();

// The user's documents folder moved elsewhere (both shell folder values name
// it, and the folder exists), as on a computer that keeps them on D:.
SampleData sampleDocumentsFolderAt(std::u16string folder);

struct SampleMachineRecipe {
  std::u16string user = u"alice";
  std::u16string computer = u"ALICE-PC";
  SampleWindowsVersion version;
  uint32_t ansiCodePage = 1252;
  uint32_t oemCodePage = 437;
  bool uacEnabled = false;  // HKLM ...\Policies\System "EnableLUA"
  std::vector<SampleDrive> drives = defaultSampleDrives();
  // Built in order; later records may add to what earlier ones made.
  std::vector<SampleData> data = {sampleUserDocuments()};
};

// Builds the prefix in hostDir, which must be missing or empty (a sample is
// never built over an existing computer). False with a reason on failure.
bool buildSampleMachine(const SampleMachineRecipe& recipe, const std::string& hostDir,
                        std::string& error);

// The sample's value of an environment variable ("USERPROFILE" ->
// "C:\users\alice"); empty when the sample does not define it.
std::u16string sampleVariable(const SampleMachineRecipe& recipe, std::u16string_view name);

// text with every %NAME% the sample defines replaced; others stay as they are.
std::u16string expandSampleVariables(const SampleMachineRecipe& recipe, std::u16string_view text);

}  // namespace zq
