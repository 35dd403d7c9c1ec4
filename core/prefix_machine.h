// The prefix machine: a Windows computer laid out as a Wine-style prefix
// directory (drive_c/, dosdevices/, user.reg, system.reg).
//
// The registry files are loaded once and every change is saved at once
// (Wine's own server, while it runs on the prefix, holds the registry in
// memory and writes it back when it ends, over our changes). The
// drive table is read when the machine is opened and again by refreshDrives()
// or a change below HKLM "Software\Wine\Drives". Started services are kept in
// the prefix's file ".zq-services" so that a start outlives the process, as
// it would on Windows until the next restart.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>

#include "core/machine.h"
#include "core/prefix_drives.h"
#include "core/prefix_environment.h"
#include "core/prefix_registry.h"

namespace zq {

// What the machine takes from the host it runs on; tests set them.
struct PrefixOptions {
  std::optional<std::string> hostUser;  // default: $USER
  std::optional<std::string> hostName;  // default: the host's name
  std::string opener;                   // default: "xdg-open" found on $PATH
};

class PrefixMachine final : public Machine {
 public:
  // The machine of a prefix directory, or null with the reason in error:
  // "<dir>: no such folder", "<dir>: not a Wine-style prefix (no system.reg
  // or user.reg)", or the "<file>:<line>: <reason>" of a registry file that
  // does not parse (the file is left untouched).
  static std::unique_ptr<PrefixMachine> open(const std::string& prefixDir, std::string& error,
                                             PrefixOptions options = {});

  // The absolute prefix directory.
  const std::string& prefixDirectory() const { return dir_; }
  // Reads the drives again (after a link in dosdevices/ changed).
  void refreshDrives();

  // Machine
  bool readValue(RegRoot root, std::u16string_view key, std::u16string_view name,
                 RegValue& out) override;
  bool writeValue(RegRoot root, std::u16string_view key, const RegValue& value,
                  std::string* error = nullptr) override;
  bool deleteValue(RegRoot root, std::u16string_view key, std::u16string_view name) override;
  bool deleteKey(RegRoot root, std::u16string_view key) override;
  bool keyExists(RegRoot root, std::u16string_view key) override;
  std::vector<std::u16string> subkeyNames(RegRoot root, std::u16string_view key) override;
  std::vector<std::u16string> valueNames(RegRoot root, std::u16string_view key) override;

  std::string hostPath(std::u16string_view windowsPath) override;
  std::u16string windowsPath(std::string_view hostPath) override;
  std::vector<DriveInfo> drives() override;
  uint32_t logicalDriveMask() override;

  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                 std::string* error = nullptr) override;
  bool fileInfo(std::u16string_view path, FileInfo& out) override;
  bool listFolder(std::u16string_view path, std::vector<FolderEntry>& out) override;
  bool createFolder(std::u16string_view path) override;
  bool removeFolder(std::u16string_view path) override;
  bool deleteFile(std::u16string_view path) override;
  bool moveFile(std::u16string_view from, std::u16string_view to) override;
  bool setAttributes(std::u16string_view path, uint32_t attributes) override;
  bool setTimes(std::u16string_view path, uint64_t creation, uint64_t write,
                uint64_t access) override;

  WindowsVersion version() override;
  std::u16string computerName() override;
  std::u16string userName() override;
  uint32_t ansiCodePage() override;
  std::u16string specialFolder(SpecialFolder folder) override;
  std::u16string environmentVariable(std::u16string_view name) override;
  std::u16string expandEnvironment(std::u16string_view text) override;

  bool isServiceRunning(std::u16string_view name) override;
  bool startService(std::u16string_view name) override;

  bool openDocument(std::u16string_view target) override;

 private:
  PrefixMachine(std::string dir, PrefixOptions options);
  const EnvironmentBlock& environment();
  std::u16string machineString(std::u16string_view key, std::u16string_view name,
                               std::u16string_view fallback);
  void registryChanged(RegRoot root, std::u16string_view key);
  void loadServiceState();
  bool saveServiceState();

  std::string dir_;
  PrefixOptions options_;
  PrefixRegistry registry_;
  DriveTable drives_;
  std::optional<EnvironmentBlock> environment_;  // built on first use, dropped on change
  bool servicesLoaded_ = false;
  std::set<std::u16string> startedServices_;  // lower-cased names
};

}  // namespace zq
