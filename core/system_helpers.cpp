#include "core/system_helpers.h"

#include "core/codepage.h"
#include "core/machine.h"

namespace zq {

bool isNTFamily() { return currentMachine().version().major > 4; }

bool isWindowsXP() {
  const WindowsVersion v = currentMachine().version();
  return v.major == 5 && v.minor == 1;
}

bool isNewerThanXP() {
  const WindowsVersion v = currentMachine().version();
  return v.major > 5 || (v.major == 5 && v.minor > 1);
}

bool isWindowsVista() { return currentMachine().version().major == 6; }

bool isUacEnabled() {
  RegValue value;
  if (!currentMachine().readValue(RegRoot::LocalMachine,
                                  u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                                  u"EnableLUA", value))
    return false;
  // A DWORD (or QWORD) number; any other kind of value is not a setting.
  if (value.type != kRegDword && value.type != kRegQword) return false;
  for (uint8_t byte : value.data)
    if (byte != 0) return true;
  return false;
}

std::u16string computerName() { return currentMachine().computerName(); }

std::u16string environmentVariable(std::u16string_view name) {
  if (name.empty()) return {};
  return currentMachine().environmentVariable(name);
}

std::u16string expandEnvironment(std::u16string_view text) {
  return currentMachine().expandEnvironment(text);
}

std::u16string ansiToWide(std::string_view text) {
  return ansiToWide(text, currentMachine().ansiCodePage());
}

std::string wideToAnsi(std::u16string_view text) {
  return wideToAnsi(text, currentMachine().ansiCodePage());
}

bool isServiceRunning(std::u16string_view name) {
  return !name.empty() && currentMachine().isServiceRunning(name);
}

bool startService(std::u16string_view name) {
  return !name.empty() && currentMachine().startService(name);
}

bool openDocument(void* /*owner*/, std::u16string_view target) {
  return !target.empty() && currentMachine().openDocument(target);
}

bool runDocument(std::u16string_view target) {
  return !target.empty() && currentMachine().openDocument(target);
}

bool showHelp(void* /*owner*/, std::u16string_view helpFile, uint32_t /*command*/,
              uintptr_t /*data*/) {
  return runDocument(helpFile);
}

}  // namespace zq
