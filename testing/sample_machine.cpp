#include "testing/sample_machine.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "core/shell_link.h"
#include "core/text.h"
#include "testing/sample_internal.h"

namespace zq {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- versions

SampleWindowsVersion SampleWindowsVersion::windowsXp() {
  return {5, 1, u"2600", u"Service Pack 3", u"Microsoft Windows XP", false};
}

SampleWindowsVersion SampleWindowsVersion::windowsVista() {
  return {6, 0, u"6002", u"Service Pack 2", u"Microsoft Windows Vista", false};
}

SampleWindowsVersion SampleWindowsVersion::windows7() { return {}; }

SampleWindowsVersion SampleWindowsVersion::windows10() {
  return {10, 0, u"18362", u"", u"Microsoft Windows 10", true};
}

bool SampleWindowsVersion::byName(std::string_view name, SampleWindowsVersion& out) {
  if (name == "xp") out = windowsXp();
  else if (name == "vista") out = windowsVista();
  else if (name == "7") out = windows7();
  else if (name == "10") out = windows10();
  else return false;
  return true;
}

std::vector<SampleDrive> defaultSampleDrives() {
  return {{u'C', "drive_c", u""}, {u'D', "drive_d", u"hd"}, {u'E', "drive_e", u"cdrom"},
          {u'Z', "/", u""}};
}

SampleRegValue sampleText(RegRoot root, std::u16string key, std::u16string name,
                          std::u16string_view text, uint32_t type, bool expandVariables) {
  return {root, std::move(key), RegValue::fromText(std::move(name), text, type), expandVariables};
}

SampleRegValue sampleDword(RegRoot root, std::u16string key, std::u16string name,
                           uint32_t value) {
  return {root, std::move(key), RegValue::fromDword(std::move(name), value), false};
}

// ---------------------------------------------------------------- variables

namespace sample {

std::u16string profileFolder(const SampleMachineRecipe& recipe) {
  return u"C:\\users\\" + recipe.user;
}

const std::vector<ShellFolderEntry>& userShellFolders() {
  static const std::vector<ShellFolderEntry> folders = {
      {u"Administrative Tools",
       u"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
      {u"AppData", u"AppData\\Roaming"},
      {u"Cache", u"AppData\\Local\\Microsoft\\Windows\\INetCache"},
      {u"Cookies", u"AppData\\Local\\Microsoft\\Windows\\INetCookies"},
      {u"Desktop", u"Desktop"},
      {u"Favorites", u"Favorites"},
      {u"Fonts", u"C:\\windows\\Fonts", false},
      {u"History", u"AppData\\Local\\Microsoft\\Windows\\History"},
      {u"Local AppData", u"AppData\\Local"},
      {u"My Music", u"Music"},
      {u"My Pictures", u"Pictures"},
      {u"My Videos", u"Videos"},
      {u"NetHood", u"AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"},
      {u"Personal", u"Documents"},
      {u"PrintHood", u"AppData\\Roaming\\Microsoft\\Windows\\Printer Shortcuts"},
      {u"Programs", u"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {u"Recent", u"AppData\\Roaming\\Microsoft\\Windows\\Recent"},
      {u"SendTo", u"AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
      {u"Start Menu", u"AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
      {u"StartUp", u"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
      {u"Templates", u"AppData\\Roaming\\Microsoft\\Windows\\Templates"},
      {u"{374DE290-123F-4565-9164-39C4925E467B}", u"Downloads"},
      {u"{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}", u"Saved Games"},
      {u"{56784854-C6CB-462B-8169-88E350ACB882}", u"Contacts"},
      {u"{7D1D3A04-DEBB-4115-95CF-2F29DA2920DA}", u"Searches"},
      {u"{A520A1A4-1780-4FF6-BD18-167343C5AF16}", u"AppData\\LocalLow"},
      {u"{BFB9D5E0-C6A9-404C-B2B2-AE6DB6AF4968}", u"Links"},
  };
  return folders;
}

const std::vector<CommonFolderEntry>& commonShellFolders() {
  static const std::vector<CommonFolderEntry> folders = {
      {u"Common Administrative Tools", u"ProgramData",
       u"Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
      {u"Common AppData", u"ProgramData", u""},
      {u"Common Desktop", u"PUBLIC", u"Desktop"},
      {u"Common Documents", u"PUBLIC", u"Documents"},
      {u"Common Favorites", u"USERPROFILE", u"Favorites"},
      {u"Common Programs", u"ProgramData", u"Microsoft\\Windows\\Start Menu\\Programs"},
      {u"Common Start Menu", u"ProgramData", u"Microsoft\\Windows\\Start Menu"},
      {u"Common StartUp", u"ProgramData", u"Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
      {u"Common Templates", u"ProgramData", u"Microsoft\\Windows\\Templates"},
      {u"CommonMusic", u"PUBLIC", u"Music"},
      {u"CommonPictures", u"PUBLIC", u"Pictures"},
      {u"CommonVideo", u"PUBLIC", u"Videos"},
  };
  return folders;
}

}  // namespace sample

std::u16string sampleVariable(const SampleMachineRecipe& recipe, std::u16string_view name) {
  const std::u16string profile = sample::profileFolder(recipe);
  const std::pair<const char16_t*, std::u16string> vars[] = {
      {u"ALLUSERSPROFILE", u"C:\\ProgramData"},
      {u"APPDATA", profile + u"\\AppData\\Roaming"},
      {u"CommonProgramFiles", u"C:\\Program Files\\Common Files"},
      {u"COMPUTERNAME", recipe.computer},
      {u"HOMEDRIVE", u"C:"},
      {u"HOMEPATH", profile.substr(2)},
      {u"LOCALAPPDATA", profile + u"\\AppData\\Local"},
      {u"ProgramData", u"C:\\ProgramData"},
      {u"ProgramFiles", u"C:\\Program Files"},
      {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"},
      {u"PUBLIC", u"C:\\users\\Public"},
      {u"SystemDrive", u"C:"},
      {u"SystemRoot", u"C:\\windows"},
      {u"TEMP", profile + u"\\Temp"},
      {u"TMP", profile + u"\\Temp"},
      {u"USERNAME", recipe.user},
      {u"USERPROFILE", profile},
      {u"windir", u"C:\\windows"},
  };
  for (const auto& [n, value] : vars) {
    if (equalsNoCase(n, name)) return value;
  }
  return {};
}

std::u16string expandSampleVariables(const SampleMachineRecipe& recipe, std::u16string_view text) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find(u'%', i);
    const size_t close = open == text.npos ? text.npos : text.find(u'%', open + 1);
    if (close == text.npos) break;
    out.append(text.substr(i, open - i));
    const std::u16string value = sampleVariable(recipe, text.substr(open + 1, close - open - 1));
    if (value.empty()) {
      // Not ours: keep the first "%" and look again from the second.
      out += u'%';
      i = open + 1;
      continue;
    }
    out += value;
    i = close + 1;
  }
  out.append(text.substr(i));
  return out;
}

// ---------------------------------------------------------------- building

namespace {

// Host paths of a sample's Windows paths. Components are matched against
// what exists without regard to case (as the machine resolves them), so
// "C:\Users\alice" and "C:\users\alice" name one folder.
class Layout {
 public:
  Layout(const SampleMachineRecipe& recipe, std::string hostDir)
      : recipe_(recipe), hostDir_(std::move(hostDir)) {}

  // Makes the folder and its missing parents.
  bool makeFolder(std::u16string_view windowsPath, std::string& error) {
    std::string host;
    return resolve(windowsPath, true, host, error);
  }

  bool writeFile(std::u16string_view windowsPath, std::string_view content, int64_t unixTime,
                 std::string& error) {
    std::string host;
    if (!resolve(windowsPath, false, host, error)) return false;
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
      error = "cannot write " + host;
      return false;
    }
    if (unixTime != 0) {
      const timespec times[2] = {{unixTime, 0}, {unixTime, 0}};
      if (utimensat(AT_FDCWD, host.c_str(), times, 0) != 0) {
        error = "cannot set the time of " + host;
        return false;
      }
    }
    return true;
  }

 private:
  std::string driveRoot(char16_t letter) const {
    for (const auto& d : recipe_.drives) {
      if (upperChar(d.letter) != upperChar(letter)) continue;
      if (d.folder == "/") return {};  // never write into the host's own tree
      return d.folder.starts_with("/") ? d.folder : hostDir_ + "/" + d.folder;
    }
    return {};
  }

  // The host path of windowsPath; folders on the way are made, and the last
  // component too when makeLast.
  bool resolve(std::u16string_view windowsPath, bool makeLast, std::string& out,
               std::string& error) {
    const std::u16string path = expandSampleVariables(recipe_, windowsPath);
    const std::string shown = wideToUtf8(path);
    if (path.size() < 2 || path[1] != u':') {
      error = "not a path on a drive: " + shown;
      return false;
    }
    std::string host = driveRoot(path[0]);
    if (host.empty()) {
      error = "no sample drive for " + shown;
      return false;
    }
    std::vector<std::u16string> parts;
    std::u16string part;
    for (char16_t c : path.substr(2)) {
      if (c == u'\\' || c == u'/') {
        if (!part.empty()) parts.push_back(std::move(part));
        part.clear();
      } else {
        part += c;
      }
    }
    if (!part.empty()) parts.push_back(std::move(part));

    std::error_code ec;
    for (size_t i = 0; i < parts.size(); ++i) {
      if (parts[i] == u"." || parts[i] == u"..") {
        error = "relative component in " + shown;
        return false;
      }
      host += "/" + existingName(host, parts[i]);
      const bool isLast = i + 1 == parts.size();
      if (!isLast || makeLast) {
        fs::create_directory(host, ec);
        if (ec || !fs::is_directory(host)) {
          error = "cannot make folder " + host;
          return false;
        }
      }
    }
    out = host;
    return true;
  }

  // The name of an entry of folder that matches name (exact first, then
  // without regard to case), else name itself.
  static std::string existingName(const std::string& folder, const std::u16string& name) {
    const std::string exact = wideToUtf8(name);
    std::error_code ec;
    if (fs::exists(folder + "/" + exact, ec)) return exact;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      const std::string candidate = entry.path().filename().string();
      if (equalsNoCase(utf8ToWide(candidate), name)) return candidate;
    }
    return exact;
  }

  const SampleMachineRecipe& recipe_;
  std::string hostDir_;
};

bool makeDrives(const SampleMachineRecipe& recipe, const std::string& hostDir, std::string& error) {
  std::error_code ec;
  fs::create_directory(hostDir + "/dosdevices", ec);
  for (const auto& d : recipe.drives) {
    const bool inside = !d.folder.starts_with("/");
    if (inside) fs::create_directories(hostDir + "/" + d.folder, ec);
    const std::string link =
        hostDir + "/dosdevices/" + wideToUtf8(std::u16string(1, lowerChar(d.letter))) + ":";
    fs::create_directory_symlink(inside ? "../" + d.folder : d.folder, link, ec);
    if (ec) {
      error = "cannot link " + link + ": " + ec.message();
      return false;
    }
  }
  return true;
}

// The folders of a fresh prefix: Windows, program files, the public and the
// user's profile with every shell folder.
std::vector<std::u16string> standardFolders(const SampleMachineRecipe& recipe) {
  std::vector<std::u16string> folders = {
      u"C:\\windows\\system32",         u"C:\\windows\\Fonts",
      u"C:\\windows\\temp",             u"C:\\windows\\tasks",
      u"C:\\windows\\inf",              u"C:\\Program Files\\Common Files",
      u"C:\\Program Files\\Internet Explorer",
      u"C:\\Program Files\\Windows NT\\Accessories",
      u"C:\\Program Files (x86)\\Common Files",
      u"C:\\users\\Public\\Desktop",    u"C:\\users\\Public\\Documents",
      u"C:\\users\\Public\\Music",      u"C:\\users\\Public\\Pictures",
      u"C:\\users\\Public\\Videos",     u"%PROFILE%\\Temp",
      u"%PROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Themes",
  };
  for (const auto& f : sample::commonShellFolders()) {
    const std::u16string rel = f.path;
    folders.push_back(sampleVariable(recipe, f.variable) + (rel.empty() ? u"" : u"\\" + rel));
  }
  for (const auto& f : sample::userShellFolders()) {
    folders.push_back(f.inProfile ? u"%PROFILE%\\" + std::u16string(f.path) : f.path);
  }
  for (auto& f : folders) {
    if (f.starts_with(u"%PROFILE%")) f = sample::profileFolder(recipe) + f.substr(9);
  }
  return folders;
}

bool writeShortcut(Layout& layout, const SampleMachineRecipe& recipe, const SampleShortcut& s,
                   std::string& error) {
  const std::u16string target = expandSampleVariables(recipe, s.target);
  std::vector<uint8_t> bytes;
  if (target.starts_with(u"\\\\")) {
    // "\\server\share" is the share; what follows is the path below it.
    size_t cut = target.find(u'\\', 2);
    cut = cut == target.npos ? cut : target.find(u'\\', cut + 1);
    const std::u16string share = target.substr(0, cut);
    const std::u16string suffix = cut == target.npos ? u"" : target.substr(cut + 1);
    bytes = makeNetworkShellLink(share, suffix);
  } else {
    bytes = makeLocalShellLink(target);
  }
  return layout.writeFile(s.path, std::string(bytes.begin(), bytes.end()), 0, error);
}

}  // namespace

bool buildSampleMachine(const SampleMachineRecipe& recipe, const std::string& hostDir,
                        std::string& error) {
  std::error_code ec;
  if (hostDir.empty()) {
    error = "no folder given for the sample machine";
    return false;
  }
  if (fs::exists(hostDir, ec) && !fs::is_empty(hostDir, ec)) {
    error = "the folder " + hostDir + " is not empty; a sample machine is only made in a new folder";
    return false;
  }
  fs::create_directories(hostDir, ec);
  if (!fs::is_directory(hostDir, ec)) {
    error = "cannot make the folder " + hostDir;
    return false;
  }
  if (recipe.user.empty() || recipe.user.find_first_of(u"\\/:*?\"<>|") != recipe.user.npos) {
    error = "not a usable user name: " + wideToUtf8(recipe.user);
    return false;
  }
  if (!makeDrives(recipe, hostDir, error)) return false;

  Layout layout(recipe, hostDir);
  for (const auto& folder : standardFolders(recipe)) {
    if (!layout.makeFolder(folder, error)) return false;
  }

  std::vector<SampleRegValue> values;
  for (const auto& data : recipe.data) {
    auto fail = [&] {
      error = data.name + ": " + error;
      return false;
    };
    for (const auto& folder : data.folders) {
      if (!layout.makeFolder(folder, error)) return fail();
    }
    for (const auto& file : data.files) {
      if (!layout.writeFile(file.path, file.content, file.unixTime, error)) return fail();
    }
    for (const auto& shortcut : data.shortcuts) {
      if (!writeShortcut(layout, recipe, shortcut, error)) return fail();
    }
    values.insert(values.end(), data.values.begin(), data.values.end());
  }
  return sample::writeSampleRegistry(recipe, hostDir, values, error);
}

}  // namespace zq
