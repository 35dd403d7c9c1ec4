// What the restore wizard offers: the list of what the archive holds (the
// manual selection first, then every present program in table order), the
// edition the archive was written by, and the texts that follow from both.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/format.h"

namespace zq {

struct RestoreListEntry {
  std::string name;     // the records' programname: "Manual" or a table name
  std::u16string text;  // what the list shows ("Manually selected files", "Outlook", ...)
  int tableIndex = -1;  // row of the restore program table; -1 for the manual selection
  bool ticked = true;
};

// One entry per nonzero presence byte, the manual selection first when
// `manualpresent` is set; every entry starts ticked.
std::vector<RestoreListEntry> buildRestoreList(const tarchivetrailer& trailer);

// The entry whose name or text equals `name` (letter case ignored), or null.
RestoreListEntry* findListEntry(std::vector<RestoreListEntry>& list, std::u16string_view name);

// The backup edition wrote the archive when its product name begins with "Z".
bool isBackupEdition(std::string_view productname);

// The product name as wide text, control characters shown as "?".
std::u16string productText(const tarchivetrailer& trailer);
// "<product> Restore Wizard" and "Welcome to the <product> Restore Wizard!".
std::u16string wizardTitle(std::u16string_view product);
std::u16string welcomeTitle(std::u16string_view product);
// The welcome text of the edition.
std::u16string welcomeInfo(bool backupEdition);

}  // namespace zq
