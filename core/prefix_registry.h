// The registry of a prefix machine: HKEY_CURRENT_USER is the prefix's
// user.reg, HKEY_LOCAL_MACHINE its system.reg, and HKEY_CLASSES_ROOT the
// "Software\Classes" key of both, the user's over the machine's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"
#include "core/registry_hive.h"

namespace zq {

class PrefixRegistry {
 public:
  // Loads both files; on failure the error is the hive's "<file>:<line>:
  // <reason>" and nothing will ever be written over either file.
  bool load(const std::string& userFile, const std::string& machineFile, std::string& error);

  // Classes-root reads look in the user's classes first, then the machine's.
  bool read(RegRoot root, std::u16string_view key, std::u16string_view name, RegValue& out) const;
  bool keyExists(RegRoot root, std::u16string_view key) const;
  // Classes-root listings hold the user's names, then the machine's that the
  // user's lack (names compared without regard to case).
  std::vector<std::u16string> subkeyNames(RegRoot root, std::u16string_view key) const;
  std::vector<std::u16string> valueNames(RegRoot root, std::u16string_view key) const;

  // Every change is saved at once. Classes-root writes go to the user's
  // classes; deletes go to the user's when the key is there, else the
  // machine's. The root of a hive cannot be deleted.
  bool write(RegRoot root, std::u16string_view key, const RegValue& value, std::string* error);
  bool deleteValue(RegRoot root, std::u16string_view key, std::u16string_view name);
  bool deleteKey(RegRoot root, std::u16string_view key);

  // Text of a string value (REG_SZ, REG_EXPAND_SZ); false when missing or of
  // another type. expandable tells whether it is REG_EXPAND_SZ.
  bool readString(RegRoot root, std::u16string_view key, std::u16string_view name,
                  std::u16string& text, bool* expandable = nullptr) const;
  bool readDword(RegRoot root, std::u16string_view key, std::u16string_view name,
                 uint32_t& value) const;

 private:
  struct Place {
    RegistryHive* hive;
    std::u16string key;
  };
  // The hives a key of a root lives in, in reading order.
  std::vector<Place> places(RegRoot root, std::u16string_view key) const;
  bool save(RegistryHive& hive, std::string* error);

  mutable RegistryHive user_;
  mutable RegistryHive machine_;
};

}  // namespace zq
