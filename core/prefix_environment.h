// Environment variables as a Windows process sees them: names compared
// without regard to case, values that came from REG_EXPAND_SZ expanded when
// read.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zq {

class EnvironmentBlock {
 public:
  // Later sets replace earlier ones (the name keeps the case of the first).
  // An expandable value has its %name% references expanded when read.
  void set(std::u16string_view name, std::u16string value, bool expandable);
  bool contains(std::u16string_view name) const;
  // The value as stored, without expansion; empty when unset.
  std::u16string raw(std::u16string_view name) const;
  bool isExpandable(std::u16string_view name) const;

  // The value, expanded when expandable; empty when unset.
  std::u16string get(std::u16string_view name) const;
  // Replaces %name% references to set variables; unknown names and lone "%"
  // stay as they are. A variable that refers back to itself (directly or
  // through others) is left unexpanded at that point, and the result stops
  // growing at 32767 characters, the system's limit for one variable.
  std::u16string expand(std::u16string_view text) const;

 private:
  struct Entry {
    std::u16string name;
    std::u16string value;
    bool expandable = false;
  };
  const Entry* find(std::u16string_view name) const;
  void expandInto(std::u16string_view text, std::vector<std::u16string>& active,
                  std::u16string& out) const;

  std::map<std::u16string, Entry> entries_;  // by lower-cased name
};

}  // namespace zq
