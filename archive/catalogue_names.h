// The order of the program catalogue. The trailer's presence bytes and the
// restore program's table are indexed by it, and the names are the
// `programname` under which each entry stores its files, so both programs
// must agree on every row. Descriptions and texts live with the wizard.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace zq {

inline constexpr size_t kCatalogueSize = 34;

inline constexpr std::array<std::string_view, kCatalogueSize> kCatalogueNames = {
    "Access",                  // 0
    "Adobe Premiere",          // 1
    "AIM",                     // 2
    "Eudora",                  // 3
    "Excel",                   // 4
    "Firefox",                 // 5
    "Google Chrome",           // 6
    "Google Desktop",          // 7
    "ICQ",                     // 8
    "Internet Explorer",       // 9
    "IncrediMail",             // 10
    "Music",                   // 11
    "My Documents",            // 12
    "Opera",                   // 13
    "Outlook Express",         // 14
    "Outlook",                 // 15
    "Palm Desktop",            // 16
    "Photos",                  // 17
    "Photoshop",               // 18
    "PocoMail",                // 19
    "PowerPoint",              // 20
    "QuickBooks",              // 21
    "Quicken",                 // 22
    "Safari",                  // 23
    "Skype",                   // 24
    "Thunderbird",             // 25
    "Windows Calendar",        // 26
    "Windows Live Mail",       // 27
    "Windows Live Messenger",  // 28
    "Windows Mail",            // 29
    "Windows Media Player",    // 30
    "Word",                    // 31
    "WordPerfect",             // 32
    "Yahoo Messenger",         // 33
};

// The program name of manually selected files (not a catalogue row).
inline constexpr std::string_view kManualProgramName = "Manual";

// The row of a catalogue name (exact, case-sensitive), or -1.
constexpr int catalogueIndex(std::string_view name) {
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    if (kCatalogueNames[i] == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace zq
