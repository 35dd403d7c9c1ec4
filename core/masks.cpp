#include "core/masks.h"

#include <string>

#include "core/strings.h"
#include "core/text.h"

namespace zq {
namespace {

// matchesMask on texts already in upper case.
bool matchesUpper(std::u16string_view mask, std::u16string_view name) {
  const size_t firstStar = mask.find(u'*');
  if (firstStar == std::u16string_view::npos) return mask == name;
  if (mask.empty() || name.empty()) return false;

  // The part before the first "*" is the head of the name.
  if (name.compare(0, firstStar, mask, 0, firstStar) != 0) return false;
  size_t n = firstStar;  // where the name's unmatched rest begins
  size_t m = firstStar;

  while (m < mask.size()) {
    if (mask[m] == u'*') {
      ++m;
      continue;
    }
    const size_t nextStar = mask.find(u'*', m);
    if (nextStar == std::u16string_view::npos) {
      // The tail must end the name and must not reach back into text that an
      // earlier segment (or the head) already matched.
      const size_t tail = mask.size() - m;
      if (name.size() < n + tail) return false;
      return name.compare(name.size() - tail, tail, mask, m, tail) == 0;
    }
    const std::u16string_view segment = mask.substr(m, nextStar - m);
    const size_t found = name.find(segment, n);
    if (found == std::u16string_view::npos) return false;
    n = found + segment.size();
    m = nextStar + 1;
  }
  return true;  // the mask ended with "*"
}

}  // namespace

bool matchesMask(std::u16string_view mask, std::u16string_view name) {
  return matchesUpper(wideUpper(mask), wideUpper(name));
}

bool matchesMaskList(std::u16string_view list, std::u16string_view name) {
  // The same items as fieldAt(list, 1, ';'), fieldAt(list, 2, ';'), ... taken
  // in one pass.
  const std::u16string upperName = wideUpper(name);
  const std::u16string trimmed = trimText(list);
  std::u16string_view rest = trimmed;
  for (;;) {
    const size_t at = rest.find(u';');
    const std::u16string_view item = rest.substr(0, at);
    if (item.empty()) return false;
    // Each item is lower-cased, then compared in upper case like matchesMask.
    if (matchesUpper(wideUpper(wideLower(item)), upperName)) return true;
    if (at == std::u16string_view::npos) return false;
    rest.remove_prefix(at + 1);
  }
}

}  // namespace zq
