// Storing the files the disk search found: the ticked files of the result
// tree, group by group in catalogue order, each under its group's name with
// the location tag and relative folder of the place it lay in
// (selection/locations.h). A pattern that an earlier group already took is
// not used again, so every file is stored under one group only.
//
// Quicken keeps the attachments of a data file "name.qdf" in the folder
// "attach" beside it: with every stored .qdf file that folder is stored too,
// under the tag of the file's name, so the restore program can put it back
// beside the file.
#pragma once

#include <string>
#include <string_view>

#include "archive/entries.h"
#include "collectors/catalogue.h"
#include "selection/file_types.h"
#include "selection/locations.h"
#include "selection/result_tree.h"

namespace zq {

// Stores the ticked files below `node` that match `patterns` under the group
// name: recurses into every child that has children and is not unchecked;
// stores every checked child without children whose name matches. A ticked
// file that no longer exists is left out, as the manual selection leaves
// out items that are gone. False at the first failed store or when the user
// cancelled.
bool collectCheckedNodes(Entries& entries, const ResultTree& tree, const SearchNode& node,
                         std::u16string_view patterns, const std::string& groupName,
                         const LocationFolders& folders);

// Announces and stores every selected group's files. False when a store
// failed or the run was cancelled.
bool collectSearchedFiles(Entries& entries, const ResultTree& tree,
                          const ProgramSelection& selection, const FileTypeChecks& checks);

}  // namespace zq
