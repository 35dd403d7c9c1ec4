// The file types of the eleven file-type groups of the catalogue: per group a
// list of types, each a name, a ";"-separated list of "*" masks and whether it
// is ticked when the user has not changed it. The user's ticks live beside
// the catalogue as one flag list per group (FileTypeChecks), in the order of
// the group's types; the settings keep them as "CheckedTypes" + position.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "collectors/catalogue.h"

namespace zq {

struct FileType {
  std::u16string_view name;
  std::u16string_view patterns;  // "*.doc;*.docx"
  bool tickedAtStart = false;
};

// The types of a catalogue row in their order; empty for rows that are not
// file-type groups.
std::span<const FileType> fileTypesOf(size_t catalogueIndex);

// One flag list per catalogue row (empty for programs).
using FileTypeChecks = std::array<std::vector<bool>, kCatalogueSize>;

// The flags every group starts with.
FileTypeChecks initialFileTypeChecks();

// The patterns the disk search looks for: every ticked type of every
// selected group, in catalogue order, each pattern once, joined by ";".
// Flag lists shorter than the group's type list count the missing types as
// not ticked.
std::u16string searchPatternList(const ProgramSelection& selection, const FileTypeChecks& checks);

// The patterns each selected group stores, in catalogue order: a pattern
// taken by an earlier group is not used again by a later one, so a file is
// stored under one group only. Groups left with no pattern are not listed.
struct GroupPatterns {
  size_t catalogueIndex = 0;
  std::u16string patterns;
};
std::vector<GroupPatterns> storingPatternLists(const ProgramSelection& selection,
                                               const FileTypeChecks& checks);

}  // namespace zq
