// Wide (UTF-16) and host (UTF-8) text, and the case rules every comparison uses.
//
// Wide text is what the programs work in (paths, names, archive wide arrays).
// Host text is UTF-8: what Linux file names and the terminal use. Conversions
// happen at the edges, once.
#pragma once

#include <string>
#include <string_view>

namespace zq {

// UTF-8 to UTF-16. Invalid or truncated sequences become U+FFFD.
std::u16string utf8ToWide(std::string_view text);

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string wideToUtf8(std::u16string_view text);

// Appends one code point (up to U+10FFFF) as one unit or a surrogate pair.
void appendCodePoint(std::u16string& out, char32_t codePoint);

// Unicode simple case mapping of one UTF-16 code unit (surrogates unchanged),
// like the system's character tables.
char16_t lowerChar(char16_t c);
char16_t upperChar(char16_t c);

std::u16string wideLower(std::u16string_view text);
std::u16string wideUpper(std::u16string_view text);

// Case-insensitive equality of two wide texts (by lower-casing each unit).
bool equalsNoCase(std::u16string_view a, std::u16string_view b);

}  // namespace zq
