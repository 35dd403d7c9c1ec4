// The program catalogue: 34 rows in a fixed order (the names and their order
// come from archive/catalogue_names.h, which both programs share), the kind
// of each row, the run order of the 23 programs, the user's selection over
// the rows, and the texts the wizard and the collectors show.
//
// A row index is an entry's identity everywhere: selection flag, icon,
// settings value, trailer presence byte, file-type lists.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "archive/catalogue_names.h"
#include "collectors/edition.h"

namespace zq {

// ---------------------------------------------------------------- rows

struct CatalogueEntry {
  std::string_view name;         // shown in lists, asked for by the run, stored in the archive
  std::string_view longName;     // the program's full name
  bool isFileTypeGroup = false;  // found by the disk search rather than by a collector
};

// The 34 rows in catalogue order.
const std::array<CatalogueEntry, kCatalogueSize>& programCatalogue();

// ---------------------------------------------------------------- run order

// The programs (rows that are not file-type groups), in the order the backup
// run collects them: Outlook, Outlook Express, ... ICQ.
inline constexpr size_t kProgramCount = 23;
const std::array<size_t, kProgramCount>& collectorRunOrder();

// ---------------------------------------------------------------- selection

// One flag per catalogue row: the entries the user picked.
using ProgramSelection = std::array<bool, kCatalogueSize>;

// The number of set flags (`selectionCount`).
int selectionCount(const ProgramSelection& selection);

// True when a row whose name equals `name` exactly (letter case counts) is
// selected.
bool isEntrySelected(const ProgramSelection& selection, std::string_view name);

// True when a selected row is a file-type group (the disk search is needed).
bool selectsFileTypeGroup(const ProgramSelection& selection);

// The catalogue index shown in row `row` of the program page list: row 0 is
// the fixed manual-selection row (-1), row k >= 1 the k-th selected entry in
// catalogue order; -1 when there is no such row.
int catalogueIndexOfRow(const ProgramSelection& selection, int row);

// ---------------------------------------------------------------- texts

// The program page's description of a program (the same in both editions);
// empty for file-type groups and out-of-range rows.
std::u16string_view programDescription(size_t index);

// The backup edition's wording turned into the edition's: in the transfer
// edition every "Backing up" becomes "Archiving".
std::u16string editionWording(std::u16string_view backupText, Edition edition);

// The info line a program's collector announces itself with, in the
// edition's wording; empty for the programs that announce nothing (Windows
// Media Player, ICQ, Yahoo Messenger, AIM, Google Desktop, Safari), for
// file-type groups and out-of-range rows.
std::u16string collectorInfoText(size_t index, Edition edition);

// The text a program's collector leaves in the run's error text when it finds
// nothing; empty for file-type groups and out-of-range rows.
std::u16string collectorFailureText(size_t index);

// The mail collector shared by Thunderbird and Eudora announces and fails
// under the program name it was called with.
std::u16string mozillaMailInfoText(std::u16string_view programName, Edition edition);
std::u16string mozillaMailFailureText(std::u16string_view programName);

// "Backing up manually selected files..." in the edition's wording.
std::u16string manualSelectionInfoText(Edition edition);
// "Backing up " + group name + " files..." in the edition's wording.
std::u16string searchedFilesInfoText(std::u16string_view groupName, Edition edition);

}  // namespace zq
