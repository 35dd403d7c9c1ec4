// An Entries that records what collectors store instead of writing an archive,
// for tests of collectors, the manual selection and the searched files.
//
// Each addFile and addFolder call is kept as it came. With walkFolders set
// (the default) addFolder also walks the folder on the current machine the
// way the entry writer does (exclusions skip files and folders, masks pick
// files, subfolders extend the relative folder) and records every file it
// would store. Tests can make the writer fail on a path (the way a locked
// file fails) and play the user who confirms Cancel.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "archive/entries.h"
#include "core/files.h"
#include "core/find_data.h"
#include "core/masks.h"
#include "core/paths.h"
#include "core/text.h"

namespace zq {

class RecordingEntries : public Entries {
 public:
  // A call as the collector made it.
  struct Call {
    bool isFolder = false;
    std::u16string path;
    std::u16string masks;       // folders only
    std::u16string exclusions;  // folders only
    std::u16string relativeFolder;
    std::string tag;
    std::string programName;
    bool recurse = false;  // folders only
  };
  // A file that would be in the archive.
  struct Stored {
    std::u16string path;
    std::u16string relativeFolder;
    std::string tag;
    std::string programName;
    bool operator==(const Stored&) const = default;
  };

  explicit RecordingEntries(bool backupEdition = true) : backupEdition_(backupEdition) {}

  bool walkFolders = true;
  // Storing a file or walking a folder with this path (letter case ignored)
  // fails with failText.
  std::u16string failPath;
  std::u16string failText = u"Access denied";
  // Cancel is confirmed once this many files have been stored (0: never).
  size_t cancelAfterFiles = 0;

  std::vector<Call> calls;
  std::vector<Stored> stored;
  std::vector<std::u16string> infoTexts;

  bool addFile(const std::u16string& path, const std::u16string& relativeFolder,
               const std::string& tag, const std::string& programName) override {
    calls.push_back({false, path, {}, {}, relativeFolder, tag, programName, false});
    return store(path, relativeFolder, tag, programName);
  }

  bool addFolder(const std::u16string& folder, const std::u16string& masks,
                 const std::u16string& exclusions, const std::u16string& relativeFolder,
                 const std::string& tag, const std::string& programName, bool recurse) override {
    calls.push_back({true, folder, masks, exclusions, relativeFolder, tag, programName, recurse});
    if (!folderExists(folder)) return false;
    if (!failPath.empty() && equalsNoCase(removeBackslash(folder), removeBackslash(failPath))) {
      return fail();
    }
    return !walkFolders ||
           walk(folder, masks, exclusions, relativeFolder, tag, programName, recurse);
  }

  const std::u16string& errorText() const override { return errorText_; }
  void setErrorText(const std::u16string& text) override { errorText_ = text; }
  bool backupEdition() const override { return backupEdition_; }
  void setInfoText(const std::u16string& text) override { infoTexts.push_back(text); }
  bool cancelled() const override {
    return cancelAfterFiles > 0 && stored.size() >= cancelAfterFiles;
  }

 private:
  bool fail() {
    if (errorText_.empty()) errorText_ = failText;
    return false;
  }

  bool store(const std::u16string& path, const std::u16string& relativeFolder,
             const std::string& tag, const std::string& programName) {
    if (!fileExists(path)) return false;
    if (!failPath.empty() && equalsNoCase(path, failPath)) return fail();
    stored.push_back({path, relativeFolder, tag, programName});
    return true;
  }

  bool walk(const std::u16string& folder, const std::u16string& masks,
            const std::u16string& exclusions, const std::u16string& relativeFolder,
            const std::string& tag, const std::string& programName, bool recurse) {
    tfinddata found;
    if (!findFirst(found, addBackslash(folder) + u"*")) return true;
    bool ok = true;
    do {
      if (!exclusions.empty() && matchesMaskList(exclusions, found.name)) continue;
      const std::u16string path = addBackslash(folder) + found.name;
      if (found.isFolder) {
        if (!recurse) continue;
        const std::u16string sub =
            relativeFolder.empty() ? found.name : relativeFolder + u"\\" + found.name;
        ok = walk(path, masks, exclusions, sub, tag, programName, true);
      } else if (matchesMaskList(masks, found.name)) {
        ok = store(path, relativeFolder, tag, programName);
      }
    } while (ok && findNext(found));
    findClose(found);
    return ok;
  }

  bool backupEdition_;
  std::u16string errorText_;
};

}  // namespace zq
