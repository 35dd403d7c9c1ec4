#include "core/paths.h"

#include "core/text.h"

namespace zq {

std::u16string addBackslash(std::u16string_view p) {
  std::u16string out(p);
  if (!out.empty() && out.back() != u'\\') out += u'\\';
  return out;
}

std::u16string removeBackslash(std::u16string_view p) {
  if (!p.empty() && p.back() == u'\\') p.remove_suffix(1);
  return std::u16string(p);
}

std::u16string addSlash(std::u16string_view p) {
  std::u16string out(p);
  if (!out.empty() && out.back() != u'/') out += u'/';
  return out;
}

std::u16string slashesToBackslashes(std::u16string_view p) {
  std::u16string out(p);
  for (char16_t& c : out)
    if (c == u'/') c = u'\\';
  return out;
}

std::u16string folderOfPath(std::u16string_view p) {
  const size_t at = p.rfind(u'\\');
  if (at == std::u16string_view::npos) return {};
  return std::u16string(p.substr(0, at + 1));
}

std::u16string nameOfPath(std::u16string_view p) {
  const size_t at = p.rfind(u'\\');
  if (at == std::u16string_view::npos) return std::u16string(p);
  return std::u16string(p.substr(at + 1));
}

std::u16string extensionOfPath(std::u16string_view p) {
  const size_t dot = p.rfind(u'.');
  if (dot == std::u16string_view::npos) return {};
  const size_t slash = p.rfind(u'\\');
  if (slash != std::u16string_view::npos && slash > dot) return {};
  return std::u16string(p.substr(dot));
}

std::u16string comparablePath(std::u16string_view p) { return wideLower(p); }

}  // namespace zq
