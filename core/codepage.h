// Narrow "ANSI" text in a Windows code page <-> wide (UTF-16) text.
//
// The tables are our own, so the restore program needs nothing installed on
// the computer it runs on. Code pages 1252 (Western), 1250 (Central European),
// 1251 (Cyrillic), 28591 (ISO-8859-1) and 65001 (UTF-8) are known; any other
// code page is treated as 1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zq {

// True when the code page has a table of its own here.
bool isKnownCodePage(uint32_t codePage);

// Every byte has a character: bytes the code page leaves undefined map to the
// code point of the same number, as Windows maps them.
std::u16string ansiToWide(std::string_view text, uint32_t codePage);

// Characters the code page cannot hold become "?"; *replaced (when given) is
// set to whether that happened. A surrogate pair is one character.
std::string wideToAnsi(std::u16string_view text, uint32_t codePage, bool* replaced = nullptr);

}  // namespace zq
