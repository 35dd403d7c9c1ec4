#include "core/prefix_registry.h"

#include "core/text.h"

namespace zq {
namespace {

// Key paths are accepted with stray leading or trailing "\".
std::u16string_view trimKey(std::u16string_view key) {
  while (!key.empty() && key.front() == u'\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == u'\\') key.remove_suffix(1);
  return key;
}

std::u16string classesKey(std::u16string_view key) {
  std::u16string out = u"Software\\Classes";
  if (!key.empty()) {
    out += u'\\';
    out += key;
  }
  return out;
}

void appendMissing(std::vector<std::u16string>& names, const std::vector<std::u16string>& more) {
  size_t own = names.size();
  for (const std::u16string& name : more) {
    bool present = false;
    for (size_t i = 0; i < own && !present; ++i) present = equalsNoCase(names[i], name);
    if (!present) names.push_back(name);
  }
}

}  // namespace

bool PrefixRegistry::load(const std::string& userFile, const std::string& machineFile,
                          std::string& error) {
  return user_.load(userFile, error) && machine_.load(machineFile, error);
}

std::vector<PrefixRegistry::Place> PrefixRegistry::places(RegRoot root,
                                                          std::u16string_view key) const {
  key = trimKey(key);
  switch (root) {
    case RegRoot::CurrentUser: return {{&user_, std::u16string(key)}};
    case RegRoot::LocalMachine: return {{&machine_, std::u16string(key)}};
    case RegRoot::ClassesRoot: return {{&user_, classesKey(key)}, {&machine_, classesKey(key)}};
  }
  return {};
}

bool PrefixRegistry::read(RegRoot root, std::u16string_view key, std::u16string_view name,
                          RegValue& out) const {
  for (const Place& place : places(root, key)) {
    if (const RegValue* value = place.hive->findValue(place.key, name)) {
      out = *value;
      return true;
    }
  }
  return false;
}

bool PrefixRegistry::keyExists(RegRoot root, std::u16string_view key) const {
  for (const Place& place : places(root, key)) {
    if (place.hive->keyExists(place.key)) return true;
  }
  return false;
}

std::vector<std::u16string> PrefixRegistry::subkeyNames(RegRoot root,
                                                        std::u16string_view key) const {
  std::vector<std::u16string> names;
  for (const Place& place : places(root, key))
    appendMissing(names, place.hive->subkeyNames(place.key));
  return names;
}

std::vector<std::u16string> PrefixRegistry::valueNames(RegRoot root,
                                                       std::u16string_view key) const {
  std::vector<std::u16string> names;
  for (const Place& place : places(root, key))
    appendMissing(names, place.hive->valueNames(place.key));
  return names;
}

bool PrefixRegistry::save(RegistryHive& hive, std::string* error) {
  std::string reason;
  if (hive.save(reason)) return true;
  if (error) *error = reason;
  return false;
}

bool PrefixRegistry::write(RegRoot root, std::u16string_view key, const RegValue& value,
                           std::string* error) {
  Place place = places(root, key).front();  // the user's for the classes root
  place.hive->setValue(place.key, value);
  return save(*place.hive, error);
}

bool PrefixRegistry::deleteValue(RegRoot root, std::u16string_view key, std::u16string_view name) {
  for (const Place& place : places(root, key)) {
    if (place.hive->findValue(place.key, name)) {
      return place.hive->deleteValue(place.key, name) && save(*place.hive, nullptr);
    }
  }
  return false;
}

bool PrefixRegistry::deleteKey(RegRoot root, std::u16string_view key) {
  if (trimKey(key).empty()) return false;
  for (const Place& place : places(root, key)) {
    if (place.hive->keyExists(place.key)) {
      return place.hive->deleteKey(place.key) && save(*place.hive, nullptr);
    }
  }
  return false;
}

bool PrefixRegistry::readString(RegRoot root, std::u16string_view key, std::u16string_view name,
                                std::u16string& text, bool* expandable) const {
  RegValue value;
  if (!read(root, key, name, value)) return false;
  if (value.type != kRegSz && value.type != kRegExpandSz) return false;
  text = value.text();
  if (expandable) *expandable = value.type == kRegExpandSz;
  return true;
}

bool PrefixRegistry::readDword(RegRoot root, std::u16string_view key, std::u16string_view name,
                               uint32_t& out) const {
  RegValue value;
  if (!read(root, key, name, value) || value.type != kRegDword || value.data.size() != 4)
    return false;
  out = static_cast<uint32_t>(value.data[0]) | static_cast<uint32_t>(value.data[1]) << 8 |
        static_cast<uint32_t>(value.data[2]) << 16 | static_cast<uint32_t>(value.data[3]) << 24;
  return true;
}

}  // namespace zq
