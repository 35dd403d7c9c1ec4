// The system side of the prefix machine: version, names, code page,
// environment, special folders, services and the desktop's opener.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "core/prefix_files.h"
#include "core/prefix_machine.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr std::u16string_view kCurrentVersionKey =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::u16string_view kWindowsKey = u"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::u16string_view kProfileListKey =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// The user hive's security identifier in a prefix, whoever the user is.
constexpr std::u16string_view kUserProfileKey =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-0-1000";
constexpr std::u16string_view kComputerNameKey =
    u"System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
constexpr std::u16string_view kCodePageKey = u"System\\CurrentControlSet\\Control\\Nls\\CodePage";
constexpr std::u16string_view kSystemEnvironmentKey =
    u"System\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr std::u16string_view kServicesKey = u"System\\CurrentControlSet\\Services\\";
constexpr std::u16string_view kUserShellFoldersKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr std::u16string_view kShellFoldersKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kServiceStateFile = "/.zq-services";
constexpr size_t kMaxComputerName = 15;

std::u16string withoutTrailingBackslash(std::u16string path) {
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  return path;
}

std::u16string lastWindowsComponent(std::u16string_view path) {
  path = path.substr(0, path.find_last_not_of(u'\\') + 1);
  size_t slash = path.find_last_of(u'\\');
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

bool parseDecimal(std::u16string_view text, uint32_t& out) {
  if (text.empty() || text.size() > 9) return false;
  out = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    out = out * 10 + (c - u'0');
  }
  return true;
}

std::string hostNameText(const std::optional<std::string>& configured) {
  if (configured) return *configured;
  char buffer[256] = {};
  if (gethostname(buffer, sizeof(buffer) - 1) != 0) return {};
  return buffer;
}

std::string passwdName() {
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &found) != 0 || !found) return {};
  return found->pw_name;
}

// The user shell folder value name of a special folder and its place in the
// profile when the registry has nothing; empty for folders found elsewhere.
struct ShellFolder {
  std::u16string_view valueName;
  std::u16string_view profileDefault;
};

ShellFolder shellFolderOf(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::Desktop: return {u"Desktop", u"Desktop"};
    case SpecialFolder::AppData: return {u"AppData", u"AppData\\Roaming"};
    case SpecialFolder::LocalAppData: return {u"Local AppData", u"AppData\\Local"};
    case SpecialFolder::Favorites: return {u"Favorites", u"Favorites"};
    case SpecialFolder::Documents: return {u"Personal", u"Documents"};
    case SpecialFolder::NetHood:
      return {u"NetHood", u"AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"};
    default: return {};
  }
}

bool looksLikeAddress(std::u16string_view target) {
  // A scheme of two or more characters before ":" ("C:" is a drive).
  size_t colon = target.find(u':');
  if (colon == std::u16string_view::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    char16_t c = target[i];
    bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
    if (!letter && !(i > 0 && other)) return false;
  }
  return true;
}

std::string findOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t at = 0;
  while (at <= folders.size()) {
    size_t next = folders.find(':', at);
    if (next == std::string::npos) next = folders.size();
    std::string folder = folders.substr(at, next - at);
    at = next + 1;
    if (folder.empty()) continue;
    std::string candidate = folder + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// Starts program with one argument, detached (a grandchild that nobody waits
// for), with no shell in between. True once the program itself is running.
bool spawnDetached(const std::string& program, const std::string& argument) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  // Everything the children need is prepared before fork.
  const char* argv[] = {program.c_str(), argument.c_str(), nullptr};
  pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    pid_t grandchild = fork();
    if (grandchild == 0) {
      setsid();
      int null = ::open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
      }
      execv(program.c_str(), const_cast<char* const*>(argv));
      int failure = errno;
      ssize_t ignored = write(report[1], &failure, sizeof(failure));
      (void)ignored;
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes without a word when exec succeeds.
  int failure = 0;
  ssize_t n;
  while ((n = read(report[0], &failure, sizeof(failure))) < 0 && errno == EINTR) {
  }
  close(report[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

}  // namespace

std::u16string PrefixMachine::machineString(std::u16string_view key, std::u16string_view name,
                                            std::u16string_view fallback) {
  std::u16string text;
  if (registry_.readString(RegRoot::LocalMachine, key, name, text) && !text.empty()) return text;
  return std::u16string(fallback);
}

// ---------------------------------------------------------------- identity

WindowsVersion PrefixMachine::version() {
  WindowsVersion v;
  uint32_t major = 0;
  if (registry_.readDword(RegRoot::LocalMachine, kCurrentVersionKey, u"CurrentMajorVersionNumber",
                          major)) {
    v.major = major;
    registry_.readDword(RegRoot::LocalMachine, kCurrentVersionKey, u"CurrentMinorVersionNumber",
                        v.minor);
    return v;
  }
  std::u16string text = machineString(kCurrentVersionKey, u"CurrentVersion", u"");
  size_t dot = text.find(u'.');
  if (dot != std::u16string::npos && parseDecimal(text.substr(0, dot), v.major) &&
      parseDecimal(text.substr(dot + 1), v.minor)) {
    return v;
  }
  return {6, 1};  // what a fresh prefix reports
}

std::u16string PrefixMachine::computerName() {
  std::u16string name = machineString(kComputerNameKey, u"ComputerName", u"");
  if (!name.empty()) return name;
  std::string host = hostNameText(options_.hostName);
  host = host.substr(0, host.find('.'));
  name = wideUpper(utf8ToWide(host));
  if (name.size() > kMaxComputerName) name.resize(kMaxComputerName);
  return name;
}

std::u16string PrefixMachine::userName() {
  std::u16string name;
  if (registry_.readString(RegRoot::CurrentUser, u"Volatile Environment", u"USERNAME", name) &&
      !name.empty()) {
    return name;
  }
  const char* envUser = std::getenv("USER");
  std::string hostUser = options_.hostUser ? *options_.hostUser : (envUser ? envUser : "");
  if (!hostUser.empty()) return utf8ToWide(hostUser);
  // The one profile folder a prefix made for a single user holds.
  std::vector<FolderEntry> entries;
  std::vector<std::u16string> profiles;
  if (listFolder(u"C:\\users", entries)) {
    for (const FolderEntry& entry : entries) {
      if (!entry.info.isFolder || entry.name[0] == u'.') continue;
      if (equalsNoCase(entry.name, u"Public") || equalsNoCase(entry.name, u"Default") ||
          equalsNoCase(entry.name, u"Default User") || equalsNoCase(entry.name, u"All Users"))
        continue;
      profiles.push_back(entry.name);
    }
  }
  if (profiles.size() == 1) return profiles[0];
  return utf8ToWide(passwdName());
}

uint32_t PrefixMachine::ansiCodePage() {
  uint32_t codePage = 0;
  if (parseDecimal(machineString(kCodePageKey, u"ACP", u""), codePage) && codePage != 0)
    return codePage;
  return 1252;
}

// ---------------------------------------------------------------- environment

const EnvironmentBlock& PrefixMachine::environment() {
  if (environment_) return *environment_;
  EnvironmentBlock env;
  auto machineValue = [&](std::u16string_view key, std::u16string_view name,
                          std::u16string_view fallback, std::u16string_view variable) {
    std::u16string text;
    bool expandable = true;
    if (!registry_.readString(RegRoot::LocalMachine, key, name, text, &expandable) ||
        text.empty()) {
      text = fallback;
      expandable = true;
    }
    env.set(variable, text, expandable);
  };

  // What Windows derives for every process; the registry's environment keys
  // below may override any of it.
  std::u16string user = userName();
  std::u16string computer = computerName();
  machineValue(kCurrentVersionKey, u"SystemRoot", u"C:\\windows", u"SystemRoot");
  std::u16string systemRoot = env.get(u"SystemRoot");
  bool rootHasDrive = systemRoot.size() >= 2 && systemRoot[1] == u':';
  env.set(u"SystemDrive", rootHasDrive ? systemRoot.substr(0, 2) : u"C:", false);
  env.set(u"windir", u"%SystemRoot%", true);
  env.set(u"COMPUTERNAME", computer, false);
  env.set(u"USERNAME", user, false);
  env.set(u"USERDOMAIN", computer, false);
  env.set(u"LOGONSERVER", u"\\\\" + computer, false);
  env.set(u"OS", u"Windows_NT", false);

  std::u16string profile;
  bool expandable = false;
  if (registry_.readString(RegRoot::LocalMachine, kUserProfileKey, u"ProfileImagePath", profile,
                           &expandable) &&
      equalsNoCase(lastWindowsComponent(env.expand(profile)), user)) {
    env.set(u"USERPROFILE", withoutTrailingBackslash(profile), expandable);
  } else {
    std::u16string profiles =
        machineString(kProfileListKey, u"ProfilesDirectory", u"%SystemDrive%\\users");
    env.set(u"USERPROFILE", withoutTrailingBackslash(env.expand(profiles)) + u"\\" + user, false);
  }
  machineValue(kProfileListKey, u"ProgramData", u"%SystemDrive%\\ProgramData", u"ProgramData");
  env.set(u"ALLUSERSPROFILE", u"%ProgramData%", true);
  machineValue(kProfileListKey, u"Public", u"%SystemDrive%\\users\\Public", u"PUBLIC");
  machineValue(kWindowsKey, u"ProgramFilesDir", u"%SystemDrive%\\Program Files", u"ProgramFiles");
  machineValue(kWindowsKey, u"ProgramFilesDir (x86)", u"%ProgramFiles%", u"ProgramFiles(x86)");
  env.set(u"ProgramW6432", u"%ProgramFiles%", true);
  machineValue(kWindowsKey, u"CommonFilesDir", u"%ProgramFiles%\\Common Files",
               u"CommonProgramFiles");
  machineValue(kWindowsKey, u"CommonFilesDir (x86)", u"%CommonProgramFiles%",
               u"CommonProgramFiles(x86)");
  env.set(u"CommonProgramW6432", u"%CommonProgramFiles%", true);
  env.set(u"APPDATA", u"%USERPROFILE%\\AppData\\Roaming", true);
  env.set(u"LOCALAPPDATA", u"%USERPROFILE%\\AppData\\Local", true);
  env.set(u"TEMP", u"%USERPROFILE%\\Temp", true);
  env.set(u"TMP", u"%USERPROFILE%\\Temp", true);
  std::u16string expandedProfile = env.get(u"USERPROFILE");
  if (expandedProfile.size() >= 2 && expandedProfile[1] == u':') {
    env.set(u"HOMEDRIVE", expandedProfile.substr(0, 2), false);
    env.set(u"HOMEPATH", expandedProfile.size() > 2 ? expandedProfile.substr(2) : u"\\", false);
  }

  // The system's variables, the user's over them (a user PATH is appended to
  // the system's), then the values of this logon session.
  struct Source {
    RegRoot root;
    std::u16string_view key;
  };
  const Source sources[] = {{RegRoot::LocalMachine, kSystemEnvironmentKey},
                            {RegRoot::CurrentUser, u"Environment"},
                            {RegRoot::CurrentUser, u"Volatile Environment"}};
  std::u16string systemPath;
  bool systemPathExpandable = false;
  for (const Source& source : sources) {
    for (const std::u16string& name : registry_.valueNames(source.root, source.key)) {
      std::u16string text;
      bool expand = false;
      if (name.empty() || !registry_.readString(source.root, source.key, name, text, &expand))
        continue;
      if (source.key == kSystemEnvironmentKey && equalsNoCase(name, u"PATH")) {
        systemPath = text;
        systemPathExpandable = expand;
      } else if (source.key == u"Environment" && equalsNoCase(name, u"PATH") &&
                 !systemPath.empty()) {
        text = systemPath + u";" + text;
        expand = expand || systemPathExpandable;
      }
      env.set(name, std::move(text), expand);
    }
  }
  environment_ = std::move(env);
  return *environment_;
}

std::u16string PrefixMachine::environmentVariable(std::u16string_view name) {
  return environment().get(name);
}

// ---------------------------------------------------------------- special folders

std::u16string PrefixMachine::specialFolder(SpecialFolder folder) {
  const EnvironmentBlock& env = environment();
  switch (folder) {
    case SpecialFolder::Windows: return withoutTrailingBackslash(env.get(u"SystemRoot"));
    case SpecialFolder::ProgramFiles: {
      std::u16string text;
      if (registry_.readString(RegRoot::LocalMachine, kWindowsKey, u"ProgramFilesDir", text) &&
          !text.empty())
        return withoutTrailingBackslash(env.expand(text));
      return u"C:\\Program Files";
    }
    case SpecialFolder::Temp: {
      for (std::u16string_view name : {u"TEMP", u"TMP"}) {
        std::u16string text = withoutTrailingBackslash(env.get(name));
        if (!text.empty()) return text;
      }
      return withoutTrailingBackslash(env.get(u"USERPROFILE")) + u"\\Temp";
    }
    case SpecialFolder::Profile: return withoutTrailingBackslash(env.get(u"USERPROFILE"));
    default: break;
  }
  // "User Shell Folders" holds the truth; "Shell Folders" is a cache that a
  // prefix leaves stale when the user changes, so it only comes second.
  ShellFolder shell = shellFolderOf(folder);
  if (shell.valueName.empty()) return {};
  std::u16string text;
  if (registry_.readString(RegRoot::CurrentUser, kUserShellFoldersKey, shell.valueName, text) &&
      !text.empty())
    return withoutTrailingBackslash(env.expand(text));
  if (registry_.readString(RegRoot::CurrentUser, kShellFoldersKey, shell.valueName, text) &&
      !text.empty())
    return withoutTrailingBackslash(text);
  return withoutTrailingBackslash(env.get(u"USERPROFILE")) + u"\\" +
         std::u16string(shell.profileDefault);
}

// ---------------------------------------------------------------- services

void PrefixMachine::loadServiceState() {
  if (servicesLoaded_) return;
  servicesLoaded_ = true;
  std::ifstream in(dir_ + kServiceStateFile);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) startedServices_.insert(wideLower(utf8ToWide(line)));
  }
}

bool PrefixMachine::saveServiceState() {
  std::string path = dir_ + kServiceStateFile;
  std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::trunc);
    for (const std::u16string& name : startedServices_) out << wideToUtf8(name) << '\n';
    if (!out.flush()) return false;
  }
  return rename(temp.c_str(), path.c_str()) == 0;
}

bool PrefixMachine::isServiceRunning(std::u16string_view name) {
  if (name.empty() || name.find(u'\\') != std::u16string_view::npos) return false;
  std::u16string key = std::u16string(kServicesKey) + std::u16string(name);
  if (!registry_.keyExists(RegRoot::LocalMachine, key)) return false;
  loadServiceState();
  if (startedServices_.count(wideLower(name))) return true;
  // Boot, system and automatic services run from the start.
  uint32_t start = 3;
  registry_.readDword(RegRoot::LocalMachine, key, u"Start", start);
  return start <= 2;
}

bool PrefixMachine::startService(std::u16string_view name) {
  if (name.empty() || name.find(u'\\') != std::u16string_view::npos) return false;
  std::u16string key = std::u16string(kServicesKey) + std::u16string(name);
  if (!registry_.keyExists(RegRoot::LocalMachine, key)) return false;
  uint32_t start = 3;
  registry_.readDword(RegRoot::LocalMachine, key, u"Start", start);
  if (start == 4) return false;  // disabled
  loadServiceState();
  if (startedServices_.insert(wideLower(name)).second) {
    // A prefix we cannot write to still remembers the start until we end.
    saveServiceState();
  }
  return true;
}

// ---------------------------------------------------------------- shell

bool PrefixMachine::openDocument(std::u16string_view target) {
  if (target.empty()) return false;
  std::string argument = looksLikeAddress(target) ? wideToUtf8(target) : hostPath(target);
  if (argument.empty()) return false;
  std::string opener = options_.opener.empty() ? findOnPath("xdg-open") : options_.opener;
  if (opener.empty() || access(opener.c_str(), X_OK) != 0) return false;
  return spawnDetached(opener, argument);
}

}  // namespace zq
