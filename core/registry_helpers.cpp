#include "core/registry_helpers.h"

#include "core/machine.h"

namespace zq {
namespace {

// A key written with a trailing "\" names the same key.
std::u16string_view keyPath(std::u16string_view key) {
  while (!key.empty() && key.back() == u'\\') key.remove_suffix(1);
  return key;
}

std::u16string readString(RegRoot root, std::u16string_view key, std::u16string_view name,
                          std::u16string_view defaultText) {
  RegValue value;
  if (!currentMachine().readValue(root, keyPath(key), name, value)) {
    return std::u16string(defaultText);
  }
  if (value.type != kRegSz && value.type != kRegExpandSz) return std::u16string(defaultText);
  return value.text();
}

}  // namespace

std::u16string readUserRegString(std::u16string_view key, std::u16string_view name,
                                 std::u16string_view defaultText) {
  return readString(RegRoot::CurrentUser, key, name, defaultText);
}

std::u16string readClassesRegString(std::u16string_view key, std::u16string_view name,
                                    std::u16string_view defaultText) {
  return readString(RegRoot::ClassesRoot, key, name, defaultText);
}

std::u16string readMachineRegString(std::u16string_view key, std::u16string_view name,
                                    std::u16string_view defaultText) {
  return readString(RegRoot::LocalMachine, key, name, defaultText);
}

bool writeUserRegString(std::u16string_view key, std::u16string_view name,
                        std::u16string_view text) {
  if (keyPath(key).empty()) return false;
  return currentMachine().writeValue(RegRoot::CurrentUser, keyPath(key),
                                     RegValue::fromText(std::u16string(name), text));
}

}  // namespace zq
