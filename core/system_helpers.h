// Operating system, environment, services and the shell, as the current
// machine reports them; and the machine's ANSI text conversion.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zq {

// ---------------------------------------------------------------- version

// Major version above 4 (the wide-character system family).
bool isNTFamily();
// Version 5.1 exactly.
bool isWindowsXP();
// Major above 5, or 5 with minor above 1.
bool isNewerThanXP();
// Major version 6.
bool isWindowsVista();
// HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System" holds
// "EnableLUA" as a number other than 0.
bool isUacEnabled();

// ---------------------------------------------------------------- environment

// The computer's name; empty when unknown.
std::u16string computerName();
// A variable's value; empty when unset.
std::u16string environmentVariable(std::u16string_view name);
// The text with every %name% of a set variable replaced by its value; an
// unset variable's reference (and a lone "%") stays as written.
std::u16string expandEnvironment(std::u16string_view text);

// ---------------------------------------------------------------- ANSI text

// Narrow text in the machine's ANSI code page to wide text and back
// (characters the code page cannot hold become "?").
std::u16string ansiToWide(std::string_view text);
std::string wideToAnsi(std::u16string_view text);

// ---------------------------------------------------------------- services

// True when the service exists and is running.
bool isServiceRunning(std::u16string_view name);
// Starts the service without arguments; true on success.
bool startService(std::u16string_view name);

// ---------------------------------------------------------------- shell

// Opens a file, folder or address with the desktop's opener. `owner` is the
// window asking (may be null). False when nothing could open it.
bool openDocument(void* owner, std::u16string_view target);
// The default action on a file.
bool runDocument(std::u16string_view target);
// Help topics: the help-file viewer's commands (display a topic = 3, a
// context number = 1). Without a help viewer the help file itself is opened
// with runDocument, which is all a machine without one can do.
bool showHelp(void* owner, std::u16string_view helpFile, uint32_t command, uintptr_t data);

}  // namespace zq
