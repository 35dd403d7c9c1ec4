#include "core/prefix_machine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "core/prefix_files.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr std::u16string_view kWineDrivesKey = u"Software\\Wine\\Drives";

bool isFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string absolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return normalizeHostPath(path);
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof(cwd))) return normalizeHostPath(path);
  return normalizeHostPath(std::string(cwd) + "/" + path);
}

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

void setError(std::string* error, std::u16string_view path, int code) {
  if (error) *error = wideToUtf8(path) + ": " + hostErrorText(code);
}

}  // namespace

PrefixMachine::PrefixMachine(std::string dir, PrefixOptions options)
    : dir_(std::move(dir)), options_(std::move(options)) {}

std::unique_ptr<PrefixMachine> PrefixMachine::open(const std::string& prefixDir, std::string& error,
                                                   PrefixOptions options) {
  std::string dir = absolutePath(prefixDir);
  if (prefixDir.empty() || !isFolder(dir)) {
    error = prefixDir + ": no such folder";
    return nullptr;
  }
  std::string userFile = dir + "/user.reg";
  std::string machineFile = dir + "/system.reg";
  if (!isFile(userFile) || !isFile(machineFile)) {
    error = prefixDir + ": not a Wine-style prefix (no system.reg or user.reg)";
    return nullptr;
  }
  std::unique_ptr<PrefixMachine> machine(new PrefixMachine(dir, std::move(options)));
  if (!machine->registry_.load(userFile, machineFile, error)) return nullptr;
  machine->refreshDrives();
  return machine;
}

void PrefixMachine::refreshDrives() {
  std::map<char16_t, std::u16string> types;
  for (const std::u16string& name : registry_.valueNames(RegRoot::LocalMachine, kWineDrivesKey)) {
    std::u16string type;
    if (name.size() != 2 || name[1] != u':') continue;
    if (!registry_.readString(RegRoot::LocalMachine, kWineDrivesKey, name, type)) continue;
    types[upperChar(name[0])] = type;
  }
  drives_ = DriveTable::read(dir_, types);
}

void PrefixMachine::registryChanged(RegRoot root, std::u16string_view key) {
  environment_.reset();
  while (!key.empty() && key.front() == u'\\') key.remove_prefix(1);
  if (root == RegRoot::LocalMachine && startsWithNoCase(key, kWineDrivesKey)) refreshDrives();
}

std::u16string PrefixMachine::expandEnvironment(std::u16string_view text) {
  return environment().expand(text);
}

// ---------------------------------------------------------------- registry

bool PrefixMachine::readValue(RegRoot root, std::u16string_view key, std::u16string_view name,
                              RegValue& out) {
  return registry_.read(root, key, name, out);
}

bool PrefixMachine::writeValue(RegRoot root, std::u16string_view key, const RegValue& value,
                               std::string* error) {
  bool saved = registry_.write(root, key, value, error);
  registryChanged(root, key);
  return saved;
}

bool PrefixMachine::deleteValue(RegRoot root, std::u16string_view key, std::u16string_view name) {
  bool done = registry_.deleteValue(root, key, name);
  registryChanged(root, key);
  return done;
}

bool PrefixMachine::deleteKey(RegRoot root, std::u16string_view key) {
  bool done = registry_.deleteKey(root, key);
  registryChanged(root, key);
  return done;
}

bool PrefixMachine::keyExists(RegRoot root, std::u16string_view key) {
  return registry_.keyExists(root, key);
}

std::vector<std::u16string> PrefixMachine::subkeyNames(RegRoot root, std::u16string_view key) {
  return registry_.subkeyNames(root, key);
}

std::vector<std::u16string> PrefixMachine::valueNames(RegRoot root, std::u16string_view key) {
  return registry_.valueNames(root, key);
}

// ---------------------------------------------------------------- paths and drives

std::string PrefixMachine::hostPath(std::u16string_view windowsPath) {
  return drives_.hostPath(windowsPath);
}

std::u16string PrefixMachine::windowsPath(std::string_view hostPath) {
  return drives_.windowsPath(hostPath);
}

std::vector<DriveInfo> PrefixMachine::drives() { return drives_.drives(); }

uint32_t PrefixMachine::logicalDriveMask() {
  uint32_t mask = 0;
  for (const DriveInfo& drive : drives_.drives()) mask |= 1u << (drive.letter - u'A');
  return mask;
}

// ---------------------------------------------------------------- files

std::unique_ptr<File> PrefixMachine::openFile(std::u16string_view path, OpenMode mode,
                                              std::string* error) {
  std::string host = hostPath(path);
  if (host.empty()) {
    setError(error, path, kErrUnmappedPath);
    return nullptr;
  }
  int code = 0;
  std::unique_ptr<File> file = openHostFile(host, mode, code);
  if (!file) setError(error, path, code);
  return file;
}

bool PrefixMachine::fileInfo(std::u16string_view path, FileInfo& out) {
  std::string host = hostPath(path);
  return !host.empty() && hostFileInfo(host, out);
}

bool PrefixMachine::listFolder(std::u16string_view path, std::vector<FolderEntry>& out) {
  std::string host = hostPath(path);
  if (host.empty()) {
    out.clear();
    return false;
  }
  return listHostFolder(host, out);
}

bool PrefixMachine::createFolder(std::u16string_view path) {
  std::string host = hostPath(path);
  int code = 0;
  return !host.empty() && createHostFolder(host, code);
}

bool PrefixMachine::removeFolder(std::u16string_view path) {
  std::string host = hostPath(path);
  int code = 0;
  return !host.empty() && removeHostFolder(host, code);
}

bool PrefixMachine::deleteFile(std::u16string_view path) {
  std::string host = hostPath(path);
  int code = 0;
  return !host.empty() && deleteHostFile(host, code);
}

bool PrefixMachine::moveFile(std::u16string_view from, std::u16string_view to) {
  WindowsPathParts target;
  std::string source = hostPath(from);
  if (source.empty() || !splitWindowsPath(to, target) || target.components.empty()) return false;
  std::string destination = drives_.hostPath(target);
  if (destination.empty()) return false;
  // A rename that changes only the case of the name finds the source itself
  // as the target; the new name is then the one given.
  FileInfo a, b;
  if (hostFileInfo(source, a) && hostFileInfo(destination, b) && a.id == b.id) {
    destination = destination.substr(0, destination.find_last_of('/') + 1) +
                  wideToUtf8(target.components.back());
    if (destination == source) return true;
  }
  int code = 0;
  return moveHostFile(source, destination, code);
}

bool PrefixMachine::setAttributes(std::u16string_view path, uint32_t attributes) {
  std::string host = hostPath(path);
  int code = 0;
  return !host.empty() && setHostAttributes(host, attributes, code);
}

bool PrefixMachine::setTimes(std::u16string_view path, uint64_t /*creation*/, uint64_t write,
                             uint64_t access) {
  std::string host = hostPath(path);
  int code = 0;
  return !host.empty() && setHostTimes(host, write, access, code);
}

}  // namespace zq
