// A machine that hands every call to another one. Tests derive from it and
// override the one call they want to break (a locked file, a missing key, a
// full disk); everything else behaves as the wrapped machine does.
#pragma once

#include "core/machine.h"

namespace zq {

class MachineWrapper : public Machine {
 public:
  // The target must outlive the wrapper.
  explicit MachineWrapper(Machine& target) : target_(target) {}

  Machine& target() { return target_; }

  bool readValue(RegRoot root, std::u16string_view key, std::u16string_view name,
                 RegValue& out) override {
    return target_.readValue(root, key, name, out);
  }
  bool writeValue(RegRoot root, std::u16string_view key, const RegValue& value,
                  std::string* error = nullptr) override {
    return target_.writeValue(root, key, value, error);
  }
  bool deleteValue(RegRoot root, std::u16string_view key, std::u16string_view name) override {
    return target_.deleteValue(root, key, name);
  }
  bool deleteKey(RegRoot root, std::u16string_view key) override {
    return target_.deleteKey(root, key);
  }
  bool keyExists(RegRoot root, std::u16string_view key) override {
    return target_.keyExists(root, key);
  }
  std::vector<std::u16string> subkeyNames(RegRoot root, std::u16string_view key) override {
    return target_.subkeyNames(root, key);
  }
  std::vector<std::u16string> valueNames(RegRoot root, std::u16string_view key) override {
    return target_.valueNames(root, key);
  }

  std::string hostPath(std::u16string_view windowsPath) override {
    return target_.hostPath(windowsPath);
  }
  std::u16string windowsPath(std::string_view hostPath) override {
    return target_.windowsPath(hostPath);
  }
  std::vector<DriveInfo> drives() override { return target_.drives(); }
  uint32_t logicalDriveMask() override { return target_.logicalDriveMask(); }

  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                 std::string* error = nullptr) override {
    return target_.openFile(path, mode, error);
  }
  bool fileInfo(std::u16string_view path, FileInfo& out) override {
    return target_.fileInfo(path, out);
  }
  bool listFolder(std::u16string_view path, std::vector<FolderEntry>& out) override {
    return target_.listFolder(path, out);
  }
  bool createFolder(std::u16string_view path) override { return target_.createFolder(path); }
  bool removeFolder(std::u16string_view path) override { return target_.removeFolder(path); }
  bool deleteFile(std::u16string_view path) override { return target_.deleteFile(path); }
  bool moveFile(std::u16string_view from, std::u16string_view to) override {
    return target_.moveFile(from, to);
  }
  bool setAttributes(std::u16string_view path, uint32_t attributes) override {
    return target_.setAttributes(path, attributes);
  }
  bool setTimes(std::u16string_view path, uint64_t creation, uint64_t write,
                uint64_t access) override {
    return target_.setTimes(path, creation, write, access);
  }

  WindowsVersion version() override { return target_.version(); }
  std::u16string computerName() override { return target_.computerName(); }
  std::u16string userName() override { return target_.userName(); }
  uint32_t ansiCodePage() override { return target_.ansiCodePage(); }
  std::u16string specialFolder(SpecialFolder folder) override {
    return target_.specialFolder(folder);
  }
  std::u16string expandEnvironment(std::u16string_view text) override {
    return target_.expandEnvironment(text);
  }
  std::u16string environmentVariable(std::u16string_view name) override {
    return target_.environmentVariable(name);
  }

  bool isServiceRunning(std::u16string_view name) override {
    return target_.isServiceRunning(name);
  }
  bool startService(std::u16string_view name) override { return target_.startService(name); }

  bool openDocument(std::u16string_view target) override { return target_.openDocument(target); }

 private:
  Machine& target_;
};

}  // namespace zq
