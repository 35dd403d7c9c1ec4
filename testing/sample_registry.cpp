// The registry of a sample computer: the values a freshly made prefix has
// (as wineboot writes them), for the sample's user, computer and version.
#include <string>

#include "core/registry_hive.h"
#include "core/text.h"
#include "testing/sample_internal.h"

namespace zq::sample {

namespace {

constexpr char16_t kShellFolders[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char16_t kUserShellFolders[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr char16_t kNtCurrentVersion[] = u"Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char16_t kCurrentVersion[] = u"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char16_t kControl[] = u"System\\CurrentControlSet\\Control";
constexpr char16_t kServices[] = u"System\\CurrentControlSet\\Services";
// 2023-05-14 10:20:30 UTC as a FILETIME.
constexpr uint64_t kKeyTime = 133285332300000000ULL;
// The one SID a prefix gives its user, whatever the name.
constexpr char16_t kUserSid[] = u"S-1-5-21-0-0-0-1000";

void text(RegistryHive& hive, std::u16string_view key, std::u16string name,
          std::u16string_view value, uint32_t type = kRegSz) {
  hive.setValue(key, RegValue::fromText(std::move(name), value, type));
}

void dword(RegistryHive& hive, std::u16string_view key, std::u16string name, uint32_t value) {
  hive.setValue(key, RegValue::fromDword(std::move(name), value));
}

std::u16string number(uint32_t value) { return utf8ToWide(std::to_string(value)); }

std::u16string lower(std::u16string_view s) { return wideLower(s); }

// "Shell Folders" (finished paths) and "User Shell Folders" (%USERPROFILE%
// paths) of the user; userdef.reg holds the same two keys.
void writeUserFolders(RegistryHive& hive, const SampleMachineRecipe& recipe) {
  const std::u16string profile = profileFolder(recipe);
  for (const auto& f : userShellFolders()) {
    const std::u16string rel = f.path;
    text(hive, kShellFolders, f.name, f.inProfile ? profile + u"\\" + rel : rel);
    text(hive, kUserShellFolders, f.name, f.inProfile ? u"%USERPROFILE%\\" + rel : rel,
         kRegExpandSz);
  }
}

void writeUserHive(RegistryHive& hive, const SampleMachineRecipe& recipe) {
  writeUserFolders(hive, recipe);
  const std::u16string profile = profileFolder(recipe);
  text(hive, u"Environment", u"TEMP", profile + u"\\Temp");
  text(hive, u"Environment", u"TMP", profile + u"\\Temp");

  const std::u16string v = u"Volatile Environment";
  text(hive, v, u"APPDATA", profile + u"\\AppData\\Roaming");
  text(hive, v, u"CLIENTNAME", u"Console");
  text(hive, v, u"HOMEDRIVE", u"C:");
  text(hive, v, u"HOMEPATH", profile.substr(2));
  text(hive, v, u"HOMESHARE", u"");
  text(hive, v, u"LOCALAPPDATA", profile + u"\\AppData\\Local");
  text(hive, v, u"LOGONSERVER", u"\\\\" + recipe.computer);
  text(hive, v, u"SESSIONNAME", u"Console");
  text(hive, v, u"USERDOMAIN", recipe.computer);
  text(hive, v, u"USERNAME", recipe.user);
  text(hive, v, u"USERPROFILE", profile);
}

void writeVersion(RegistryHive& hive, const SampleMachineRecipe& recipe) {
  const auto& ver = recipe.version;
  const std::u16string k = kNtCurrentVersion;
  text(hive, k, u"CSDVersion", ver.servicePack);
  text(hive, k, u"CurrentBuild", ver.build);
  text(hive, k, u"CurrentBuildNumber", ver.build);
  if (ver.writeMajorMinor) {
    dword(hive, k, u"CurrentMajorVersionNumber", ver.major);
    dword(hive, k, u"CurrentMinorVersionNumber", ver.minor);
  }
  text(hive, k, u"CurrentType", u"Uniprocessor Free");
  text(hive, k, u"CurrentVersion", number(ver.major) + u"." + number(ver.minor));
  dword(hive, k, u"InstallDate", 0x4be5019a);
  text(hive, k, u"ProductId", u"12345-oem-0000001-54321");
  text(hive, k, u"ProductName", ver.productName);
  text(hive, k, u"RegisteredOrganization", u"");
  text(hive, k, u"RegisteredOwner", u"");
  text(hive, k, u"SystemRoot", u"C:\\windows");

  // The service pack number as the system keeps it: major in the high byte.
  uint32_t pack = 0;
  const std::u16string prefix = u"Service Pack ";
  if (ver.servicePack.starts_with(prefix)) {
    for (char16_t c : ver.servicePack.substr(prefix.size())) {
      if (c >= u'0' && c <= u'9') pack = pack * 10 + (c - u'0');
    }
  }
  dword(hive, std::u16string(kControl) + u"\\Windows", u"CSDVersion", pack << 8);
  text(hive, std::u16string(kControl) + u"\\ProductOptions", u"ProductType", u"WinNT");
}

void writeProfiles(RegistryHive& hive, const SampleMachineRecipe& recipe) {
  const std::u16string list = std::u16string(kNtCurrentVersion) + u"\\ProfileList";
  text(hive, list, u"ProfilesDirectory", u"C:\\users", kRegExpandSz);
  text(hive, list, u"ProgramData", u"C:\\ProgramData", kRegExpandSz);
  text(hive, list, u"Public", u"C:\\users\\Public", kRegExpandSz);
  const std::u16string user = list + u"\\" + kUserSid;
  dword(hive, user, u"Flags", 0);
  text(hive, user, u"ProfileImagePath", profileFolder(recipe));
}

void writeProgramFolders(RegistryHive& hive) {
  const std::u16string k = kCurrentVersion;
  text(hive, k, u"CommonFilesDir", u"C:\\Program Files\\Common Files");
  text(hive, k, u"CommonFilesDir (x86)", u"C:\\Program Files (x86)\\Common Files");
  text(hive, k, u"ProductId", u"12345-oem-0000001-54321");
  text(hive, k, u"ProgramFilesDir", u"C:\\Program Files");
  text(hive, k, u"ProgramFilesDir (x86)", u"C:\\Program Files (x86)");
  text(hive, k, u"ProgramFilesPath", u"%ProgramFiles%", kRegExpandSz);
  text(hive, k, u"RegisteredOrganization", u"");
  text(hive, k, u"RegisteredOwner", u"");
}

void writeCommonFolders(RegistryHive& hive, const SampleMachineRecipe& recipe) {
  for (const auto& f : commonShellFolders()) {
    const std::u16string rel = f.path;
    const std::u16string tail = rel.empty() ? rel : u"\\" + rel;
    text(hive, kShellFolders, f.name, sampleVariable(recipe, f.variable) + tail);
    text(hive, kUserShellFolders, f.name, u"%" + std::u16string(f.variable) + u"%" + tail,
         kRegExpandSz);
  }
}

void writeSystemEnvironment(RegistryHive& hive) {
  const std::u16string k = std::u16string(kControl) + u"\\Session Manager\\Environment";
  text(hive, k, u"ComSpec", u"%SystemRoot%\\system32\\cmd.exe", kRegExpandSz);
  text(hive, k, u"NUMBER_OF_PROCESSORS", u"2");
  text(hive, k, u"OS", u"Windows_NT");
  text(hive, k, u"PATH", u"%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem",
       kRegExpandSz);
  text(hive, k, u"PATHEXT", u".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh");
  text(hive, k, u"PROCESSOR_ARCHITECTURE", u"AMD64");
  text(hive, k, u"TEMP", u"%SystemRoot%\\temp", kRegExpandSz);
  text(hive, k, u"TMP", u"%SystemRoot%\\temp", kRegExpandSz);
  text(hive, k, u"windir", u"%SystemRoot%", kRegExpandSz);
  text(hive, k, u"winsysdir", u"C:\\windows\\system32");
}

void writeComputer(RegistryHive& hive, const SampleMachineRecipe& recipe) {
  text(hive, std::u16string(kControl) + u"\\ComputerName\\ComputerName", u"ComputerName",
       recipe.computer);
  const std::u16string tcp = std::u16string(kServices) + u"\\Tcpip\\Parameters";
  text(hive, tcp, u"DataBasePath", u"C:\\windows\\system32\\drivers\\etc");
  text(hive, tcp, u"Domain", u"");
  text(hive, tcp, u"Hostname", lower(recipe.computer));
  dword(hive, u"System\\Select", u"Current", 1);

  const std::u16string cp = std::u16string(kControl) + u"\\Nls\\Codepage";
  text(hive, cp, u"ACP", number(recipe.ansiCodePage));
  text(hive, cp, u"MACCP", u"10000");
  text(hive, cp, u"OEMCP", number(recipe.oemCodePage));

  dword(hive, std::u16string(kCurrentVersion) + u"\\Policies\\System", u"EnableLUA",
        recipe.uacEnabled ? 1 : 0);
}

// A few services as a prefix has them (there is no shadow copy service).
void writeServices(RegistryHive& hive) {
  struct Service {
    const char16_t* name;
    const char16_t* display;
    const char16_t* image;
    uint32_t start;
  };
  const Service services[] = {
      {u"Eventlog", u"Event Log",
       u"C:\\windows\\system32\\svchost.exe -k LocalServiceNetworkRestricted", 2},
      {u"RpcSs", u"Remote Procedure Call (RPC)", u"C:\\windows\\system32\\rpcss.exe", 3},
      {u"Schedule", u"Task Scheduler", u"C:\\windows\\system32\\svchost.exe -k netsvcs", 3},
      {u"Spooler", u"Print Spooler", u"C:\\windows\\system32\\spoolsv.exe", 3},
  };
  for (const auto& s : services) {
    const std::u16string k = std::u16string(kServices) + u"\\" + s.name;
    text(hive, k, u"Description", s.display);
    text(hive, k, u"DisplayName", s.display);
    dword(hive, k, u"ErrorControl", 1);
    text(hive, k, u"ImagePath", s.image);
    text(hive, k, u"ObjectName", u"LocalSystem");
    dword(hive, k, u"Start", s.start);
    dword(hive, k, u"Type", 0x20);
  }
  text(hive, std::u16string(kServices) + u"\\Schedule\\Parameters", u"ServiceDll",
       u"C:\\windows\\system32\\schedsvc.dll");
}

void writeDrives(RegistryHive& hive, const SampleMachineRecipe& recipe) {
  for (const auto& d : recipe.drives) {
    if (d.wineType.empty()) continue;
    text(hive, u"Software\\Wine\\Drives", std::u16string(1, lowerChar(d.letter)) + u":",
         d.wineType);
  }
}

void writeMachineHive(RegistryHive& hive, const SampleMachineRecipe& recipe) {
  writeVersion(hive, recipe);
  writeProfiles(hive, recipe);
  writeProgramFolders(hive);
  writeCommonFolders(hive, recipe);
  writeSystemEnvironment(hive);
  writeComputer(hive, recipe);
  writeServices(hive);
  writeDrives(hive, recipe);
}

}  // namespace

bool writeSampleRegistry(const SampleMachineRecipe& recipe, const std::string& hostDir,
                         const std::vector<SampleRegValue>& extra, std::string& error) {
  RegistryHive user = RegistryHive::create(HiveKind::User, hostDir + "/user.reg");
  RegistryHive machine = RegistryHive::create(HiveKind::Machine, hostDir + "/system.reg");
  RegistryHive defaults = RegistryHive::create(HiveKind::DefaultUser, hostDir + "/userdef.reg");
  // Fixed key times, so two builds of one recipe give the same files.
  for (RegistryHive* hive : {&user, &machine, &defaults}) hive->setFixedTime(kKeyTime);
  writeUserHive(user, recipe);
  writeUserFolders(defaults, recipe);
  writeMachineHive(machine, recipe);

  for (const auto& r : extra) {
    RegValue value = r.value;
    if (r.expandVariables) {
      value = RegValue::fromText(value.name, expandSampleVariables(recipe, value.text()), value.type);
    }
    switch (r.root) {
      case RegRoot::CurrentUser:
        user.setValue(r.key, value);
        break;
      case RegRoot::LocalMachine:
        machine.setValue(r.key, value);
        break;
      case RegRoot::ClassesRoot:
        machine.setValue(u"Software\\Classes\\" + r.key, value);
        break;
    }
  }
  for (RegistryHive* hive : {&user, &machine, &defaults}) {
    if (!hive->save(error)) return false;
  }
  return true;
}

}  // namespace zq::sample
