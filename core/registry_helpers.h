// String values of the registry, read with a fallback. Keys are paths below
// their root ("Software\Microsoft\..."), "\"-separated, letter case ignored.
#pragma once

#include <string>
#include <string_view>

namespace zq {

// The text of a string value (REG_SZ, or REG_EXPAND_SZ unexpanded), or the
// default when the key or the value is missing or holds another type.
std::u16string readUserRegString(std::u16string_view key, std::u16string_view name,
                                 std::u16string_view defaultText);
std::u16string readClassesRegString(std::u16string_view key, std::u16string_view name,
                                    std::u16string_view defaultText);
std::u16string readMachineRegString(std::u16string_view key, std::u16string_view name,
                                    std::u16string_view defaultText);

// Writes a REG_SZ value below HKEY_CURRENT_USER, creating the key when it is
// missing. An empty name is the key's default value. True on success.
bool writeUserRegString(std::u16string_view key, std::u16string_view name,
                        std::u16string_view text);

}  // namespace zq
