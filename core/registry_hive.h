// One registry hive kept in the text format a Wine-style prefix uses
// ("user.reg", "system.reg", "userdef.reg").
//
// Loading keeps everything needed to write the file back unchanged: key
// order, value order, timestamps, unknown "#" lines. A hive that nothing
// changed serializes to the bytes it was loaded from; a changed key gets a
// fresh timestamp and is written in the prefix's own style. Key paths are
// "\"-separated and compared without regard to case.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"

namespace zq {

enum class HiveKind { User, Machine, DefaultUser };

class RegistryHive {
 public:
  RegistryHive();
  ~RegistryHive();
  RegistryHive(RegistryHive&&) noexcept;
  RegistryHive& operator=(RegistryHive&&) noexcept;

  // An empty hive of the given kind that will be saved to hostPath.
  static RegistryHive create(HiveKind kind, std::string hostPath);

  // Reads and parses a hive file. On failure returns false and sets error to
  // "<file>:<line>: <reason>"; the hive is then empty and never saved over
  // the file.
  bool load(const std::string& hostPath, std::string& error);
  // Parses text; sourceName is used in error messages.
  bool parse(std::string_view text, std::string_view sourceName, std::string& error);
  // The file text of the hive as it stands now. Keys nothing changed keep
  // the exact text they were loaded from.
  std::string serialize() const;
  // The file text with every key written afresh in the prefix's own style
  // (write times kept). For a file the prefix wrote this equals the loaded
  // text; for a hand-edited one it is the normalised form.
  std::string serializeRewritten() const;

  // Writes the hive to its file when it was changed (or never written):
  // temporary file in the same folder, mode 0600, then rename. A hive that
  // failed to load is never written. False with a reason on failure.
  bool save(std::string& error);
  bool modified() const;
  const std::string& hostPath() const;

  // Keys changed from now on get this write time (a FILETIME) instead of the
  // clock's; 0 returns to the clock. Lets a builder write reproducible files.
  void setFixedTime(uint64_t fileTime);

  // Lookups; key paths are relative to the hive root ("" is the root).
  // Pointers returned stay valid until that value is set or deleted again
  // (or its key deleted).
  bool keyExists(std::u16string_view key) const;
  const RegValue* findValue(std::u16string_view key, std::u16string_view name) const;
  std::vector<std::u16string> subkeyNames(std::u16string_view key) const;
  std::vector<std::u16string> valueNames(std::u16string_view key) const;

  // Changes; each marks the hive modified and gives the changed key a fresh
  // write time (creating or deleting a subkey changes its parent). setValue
  // creates missing keys, inserted among their siblings in the prefix's
  // sorted order; a new value likewise; an existing value keeps its place
  // and the case of its name. The root itself cannot be deleted.
  void setValue(std::u16string_view key, const RegValue& value);
  // Creates the key and any missing parents; no change when it exists.
  void createKey(std::u16string_view key);
  bool deleteValue(std::u16string_view key, std::u16string_view name);
  bool deleteKey(std::u16string_view key);  // with everything below it

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zq
