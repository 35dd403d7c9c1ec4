// The two editions of the wizard. They differ only in texts (backup versus
// transfer wording), the help file and whether the options page is offered;
// the application title also names the settings key and the scheduled task.
#pragma once

#include <string_view>

namespace zq {

enum class Edition { Backup, Transfer };

// The edition from the flag the entry writer and the run carry.
constexpr Edition editionOf(bool backupEdition) {
  return backupEdition ? Edition::Backup : Edition::Transfer;
}

// "Zarvo Backup Prime" or "Quillo Transfer Prime".
constexpr std::u16string_view applicationTitle(Edition edition) {
  return edition == Edition::Backup ? std::u16string_view(u"Zarvo Backup Prime")
                                    : std::u16string_view(u"Quillo Transfer Prime");
}

}  // namespace zq
