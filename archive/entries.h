// How collectors store files: the two operations of the entry writer, seen from
// the collectors' side. The backup run implements it over the archive being
// written; tests implement it with a recorder.
//
// tag and programName are stored in the records as ANSI short strings (plain
// ASCII in practice: catalogue names and lower-case tags). Paths are Windows
// paths of the current machine.
#pragma once

#include <string>

namespace zq {

class Entries {
 public:
  virtual ~Entries() = default;

  // Stores one file. True when it was stored, or skipped because it is the
  // archive itself; false when the run must stop (errorText() says why, or is
  // empty when the path named no file).
  virtual bool addFile(const std::u16string& path, const std::u16string& relativeFolder,
                       const std::string& tag, const std::string& programName) = 0;

  // Walks a folder and stores every file matching masks (";"-separated
  // patterns) and not matching exclusions (files and folders alike); enters
  // subfolders when recurse is set, appending their names to relativeFolder.
  // False when the folder does not exist or a stored file failed.
  virtual bool addFolder(const std::u16string& folder, const std::u16string& masks,
                         const std::u16string& exclusions, const std::u16string& relativeFolder,
                         const std::string& tag, const std::string& programName,
                         bool recurse) = 0;

  // The reason for the last failure (first reason wins: set only when empty).
  virtual const std::u16string& errorText() const = 0;
  virtual void setErrorText(const std::u16string& text) = 0;

  // The wording of the run: true for the backup edition ("Backing up ..."),
  // false for the transfer edition ("Archiving ...").
  virtual bool backupEdition() const = 0;
  // The information line collectors announce themselves on.
  virtual void setInfoText(const std::u16string& text) = 0;
  // True once the user confirmed Cancel.
  virtual bool cancelled() const = 0;
};

}  // namespace zq
