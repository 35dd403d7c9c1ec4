// Where Palm Desktop, PocoMail and classic Eudora keep their data on this
// computer. The backup collects from these folders and the restore program
// puts the data back into them, so both find them the same way (header only:
// the restore program uses it without linking the collectors).
#pragma once

#include <string>
#include <string_view>

#include "core/files.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "core/strings.h"
#include "core/text.h"

namespace zq {

// ---------------------------------------------------------------- Palm Desktop

// The per-user copy Windows 6.x keeps of a folder below Program Files
// (Local AppData\VirtualStore\Program Files\...), or empty when the folder
// is not below Program Files. The caller decides on the Windows version.
inline std::u16string palmVirtualStoreFolder(std::u16string_view palmFolder) {
  const int64_t at = widePos(u"\\program files\\", lowerText(palmFolder));
  const std::u16string local = localAppDataFolder();
  if (at == 0 || local.empty()) return {};
  return addBackslash(local) + u"VirtualStore\\" + wideFrom(palmFolder, at + 1);
}

// The folder Palm Desktop names in the registry ("Path"), as written.
inline std::u16string palmRegistryFolder() {
  return readUserRegString(u"Software\\U.S. Robotics\\Pilot Desktop\\Core", u"Path", u"");
}

// ---------------------------------------------------------------- PocoMail

// A folder setting of poco.ini made absolute: "C:\..." and "\..." (also
// "\\server\share") stand as they are, any other longer value lies below the
// data folder, and a value of one character or none means the data folder.
inline std::u16string resolvePocoFolder(std::u16string_view base, std::u16string_view value) {
  if (value.size() <= 1) return std::u16string(base);
  if (value[1] == u':' || value[0] == u'\\') return std::u16string(value);
  return addBackslash(base) + std::u16string(value);
}

// The program folder of the newest installed version (the versions have one
// key each, "PocoMail 10" down to "PocoMail 1"), with a trailing "\"; empty
// when none is installed.
inline std::u16string pocoProgramFolder() {
  for (int version = 10; version >= 1; --version) {
    const std::u16string key =
        u"Software\\Poco Systems Inc\\PocoMail " + utf8ToWide(std::to_string(version));
    const std::u16string path = readUserRegString(key, u"Path", u"");
    if (!path.empty()) return addBackslash(path);
  }
  return {};
}

// The data folder named in the program folder's pocosystem.ini, lower-cased,
// with "%appdata%" standing for AppData\PocoMail; with a trailing "\", or
// empty when there is none.
inline std::u16string pocoDataFolder(std::u16string_view programFolder) {
  if (programFolder.empty()) return {};
  tinifile ini;
  ini.loadFile(addBackslash(programFolder) + u"pocosystem.ini");
  const std::u16string value = lowerText(ini.readValue(u"Program", u"DataPath", u""));
  const std::u16string appData = appDataFolder();
  const std::u16string path =
      appData.empty() ? value
                      : replaceAll(value, u"%appdata%", addBackslash(appData) + u"PocoMail");
  return addBackslash(path);
}

// The folder settings of a poco.ini, by key; AttachPath lives in [Mail], the
// others in [Program].
struct PocoFolderSetting {
  std::u16string_view key;     // "MailPath", ...
  std::string_view tag;        // "mailpath", ...
  std::u16string_view chosen;  // the sub-folder below a chosen destination
};
inline constexpr PocoFolderSetting kPocoFolderSettings[] = {
    {u"MailPath", "mailpath", u"Mail"},
    {u"AttachPath", "attachpath", u"Attach"},
    {u"UsersPath", "userspath", u"Users"},
    {u"AddressPath", "addresspath", u"Address"},
    {u"ScriptPath", "scriptpath", u"Scripts"},
    {u"SigPath", "sigpath", u"Signatures"},
    {u"TemplatePath", "templatepath", u"Templates"},
    {u"SkinPath", "skinpath", u"Skins"},
};
inline std::u16string_view pocoSettingSection(const PocoFolderSetting& setting) {
  return setting.key == u"AttachPath" ? u"Mail" : u"Program";
}

// ---------------------------------------------------------------- Eudora

// The data folder of classic Eudora, with a trailing "\": the first of the
// places Eudora itself records that holds an eudora.ini (its App Paths entry,
// the DataFolder of deudora.ini there, the second argument of its recorded
// command line, then of the classes' copy of it), else
// "AppData\qualcomm\eudora\" (which may hold none).
inline std::u16string eudoraDataFolder() {
  const auto holdsIni = [](const std::u16string& folder) {
    return !folder.empty() && fileExists(folder + u"eudora.ini");
  };
  const std::u16string appPath = addBackslash(readMachineRegString(
      u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Eudora.exe", u"path", u""));
  if (holdsIni(appPath)) return appPath;
  if (!appPath.empty()) {
    tinifile ini;
    ini.loadFile(appPath + u"deudora.ini");
    const std::u16string dataFolder = addBackslash(ini.readValue(u"Settings", u"DataFolder", u""));
    if (holdsIni(dataFolder)) return dataFolder;
  }
  const std::u16string userLine = addBackslash(argumentAt(
      readUserRegString(u"Software\\Qualcomm\\Eudora\\CommandLine", u"current", u""), 2));
  if (holdsIni(userLine)) return userLine;
  const std::u16string classesLine = addBackslash(argumentAt(
      readClassesRegString(u"Software\\Qualcomm\\Eudora\\CommandLine\\current", u"", u""), 2));
  if (holdsIni(classesLine)) return classesLine;
  const std::u16string appData = appDataFolder();
  return appData.empty() ? std::u16string() : addBackslash(appData) + u"qualcomm\\eudora\\";
}

// True when `folder` is `dataFolder` or lies below it (letter case ignored;
// trailing "\" of either ignored). A folder whose name merely begins with the
// data folder's name (C:\Eudora2 beside C:\Eudora) lies outside.
inline bool liesInside(std::u16string_view folder, std::u16string_view dataFolder) {
  const std::u16string f = lowerText(removeBackslash(folder));
  const std::u16string d = lowerText(removeBackslash(dataFolder));
  return f == d || f.starts_with(d + u"\\");
}

// The attachment folder an eudora.ini names ([Settings]
// AutoReceiveAttachmentsDirectory), else the data folder's "attach".
inline std::u16string eudoraAttachmentFolder(std::u16string_view dataFolder) {
  tinifile ini;
  ini.loadFile(addBackslash(dataFolder) + u"eudora.ini");
  return ini.readValue(u"Settings", u"AutoReceiveAttachmentsDirectory",
                       addBackslash(dataFolder) + u"attach");
}

// HKLM "Software\Mozilla\Eudora" "CurrentVersion": the newer Eudora, built
// on the Thunderbird mail program, keeps its data the way Thunderbird does.
inline bool isThunderbirdBasedEudora() {
  return !readMachineRegString(u"Software\\Mozilla\\Eudora", u"CurrentVersion", u"").empty();
}

}  // namespace zq
