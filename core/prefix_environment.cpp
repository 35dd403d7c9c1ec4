#include "core/prefix_environment.h"

#include <algorithm>

#include "core/text.h"

namespace zq {
namespace {

constexpr size_t kMaxValue = 32767;

}  // namespace

void EnvironmentBlock::set(std::u16string_view name, std::u16string value, bool expandable) {
  Entry& entry = entries_[wideLower(name)];
  if (entry.name.empty()) entry.name = std::u16string(name);
  entry.value = std::move(value);
  entry.expandable = expandable;
}

const EnvironmentBlock::Entry* EnvironmentBlock::find(std::u16string_view name) const {
  auto it = entries_.find(wideLower(name));
  return it == entries_.end() ? nullptr : &it->second;
}

bool EnvironmentBlock::contains(std::u16string_view name) const { return find(name) != nullptr; }

std::u16string EnvironmentBlock::raw(std::u16string_view name) const {
  const Entry* entry = find(name);
  return entry ? entry->value : std::u16string();
}

bool EnvironmentBlock::isExpandable(std::u16string_view name) const {
  const Entry* entry = find(name);
  return entry && entry->expandable;
}

std::u16string EnvironmentBlock::get(std::u16string_view name) const {
  const Entry* entry = find(name);
  if (!entry) return {};
  if (!entry->expandable) return entry->value;
  std::vector<std::u16string> active{wideLower(name)};
  std::u16string out;
  expandInto(entry->value, active, out);
  return out;
}

std::u16string EnvironmentBlock::expand(std::u16string_view text) const {
  std::vector<std::u16string> active;
  std::u16string out;
  expandInto(text, active, out);
  return out;
}

void EnvironmentBlock::expandInto(std::u16string_view text, std::vector<std::u16string>& active,
                                  std::u16string& out) const {
  size_t at = 0;
  while (at < text.size() && out.size() < kMaxValue) {
    size_t open = text.find(u'%', at);
    if (open == std::u16string_view::npos) {
      out.append(text.substr(at));
      break;
    }
    out.append(text.substr(at, open - at));
    size_t close = text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) {
      out.append(text.substr(open));
      break;
    }
    std::u16string_view name = text.substr(open + 1, close - open - 1);
    std::u16string key = wideLower(name);
    const Entry* entry = name.empty() ? nullptr : find(name);
    bool looping = std::find(active.begin(), active.end(), key) != active.end();
    if (!entry || looping) {
      // Not a reference: keep the "%" and look again from the second one,
      // which may open a reference of its own.
      out.append(text.substr(open, close - open));
      at = close;
      continue;
    }
    if (entry->expandable) {
      active.push_back(key);
      expandInto(entry->value, active, out);
      active.pop_back();
    } else {
      out.append(entry->value);
    }
    at = close + 1;
  }
  if (out.size() > kMaxValue) out.resize(kMaxValue);
}

}  // namespace zq
