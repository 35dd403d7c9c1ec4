#include "selection/searched_files.h"

#include "core/codepage.h"
#include "core/files.h"
#include "core/machine.h"
#include "core/paths.h"
#include "core/text.h"
#include "selection/disk_search.h"

namespace zq {
namespace {

constexpr std::string_view kQuickenGroup = "Quicken";

bool collectBelow(Entries& entries, const ResultTree& tree, const SearchNode& node,
                  const PatternMatcher& matcher, const std::string& groupName,
                  const LocationFolders& folders) {
  for (const SearchNode* child = node.firstChild; child; child = child->next) {
    if (child->hasChildren()) {
      if (child->state != CheckState::Unchecked &&
          !collectBelow(entries, tree, *child, matcher, groupName, folders)) {
        return false;
      }
    } else if (child->state == CheckState::Checked && matcher.matches(child->name)) {
      const std::u16string path = tree.pathOf(*child);
      // Gone since the search: nothing to store, and no reason to fail the run.
      if (!fileExists(path)) continue;
      const Location location = locationOfFile(path, folders);
      if (!entries.addFile(path, location.relativeFolder, location.tag, groupName)) return false;
      if (groupName == kQuickenGroup && wideLower(extensionOfPath(child->name)) == u".qdf") {
        // The attachments come along where there are any, tagged with the data
        // file's name in the machine's code page (as the restore program reads
        // tags); their store does not decide the run.
        const std::u16string attach = child->folder + u"attach";
        if (folderExists(attach)) {
          entries.addFolder(attach, u"*", u"", u"attach",
                            wideToAnsi(child->name, currentMachine().ansiCodePage()),
                            std::string(kQuickenGroup), true);
        }
      }
    }
    if (entries.cancelled()) return false;
  }
  return true;
}

}  // namespace

bool collectCheckedNodes(Entries& entries, const ResultTree& tree, const SearchNode& node,
                         std::u16string_view patterns, const std::string& groupName,
                         const LocationFolders& folders) {
  return collectBelow(entries, tree, node, PatternMatcher(patterns), groupName, folders);
}

bool collectSearchedFiles(Entries& entries, const ResultTree& tree,
                          const ProgramSelection& selection, const FileTypeChecks& checks) {
  if (tree.empty()) return true;
  const LocationFolders folders = LocationFolders::ofCurrentMachine();
  const Edition edition = editionOf(entries.backupEdition());
  for (const GroupPatterns& group : storingPatternLists(selection, checks)) {
    const std::string name(programCatalogue()[group.catalogueIndex].name);
    entries.setInfoText(searchedFilesInfoText(utf8ToWide(name), edition));
    if (!collectCheckedNodes(entries, tree, tree.root(), group.patterns, name, folders)) {
      return false;
    }
    if (entries.cancelled()) return false;
  }
  return true;
}

}  // namespace zq
