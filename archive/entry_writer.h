// The entry writer: the only code that puts file data into an archive. It
// implements the collectors' Entries interface over an ArchiveWriter: addFile
// stores one file (record plus chunks), addFolder walks a folder and stores
// the files its masks take. It shows what it stores on the progress view,
// writes one log line per stored file, and never stores the archive being
// written (under any spelling or through a link).
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "archive/chunk_writer.h"
#include "archive/entries.h"
#include "core/folder_path_guard.h"
#include "core/machine.h"
#include "core/progress_view.h"

namespace zq {

class RunLog;

// The width of the progress line, in the view's pixels.
inline constexpr int kProgressLineWidth = 454;

// The path cut to fit the progress line after `prefix`: unchanged when it
// fits; otherwise "..." and the shortest tail that fits, begun at a "\"
// when that tail holds one. An empty path stays empty.
std::u16string shortenPath(std::u16string_view path, std::u16string_view prefix,
                           ProgressView& view);

// Maps a path to its copy in a volume snapshot; empty when the snapshot does
// not hold it (the file is then read where it is).
using PathTranslator = std::function<std::u16string(std::u16string_view path)>;

// Asked for a messenger's "settings.xml" stored under the tag "aim": the
// folder its logs are kept in and the tag to store them under. False (or an
// empty folder) when the settings name none.
using AimLogSettings = std::function<bool(const std::u16string& settingsFile,
                                          std::u16string& folder, std::string& tag)>;

struct EntryWriterSetup {
  bool backupEdition = false;
  PathTranslator translatePath;  // set while a shadow copy is active
  AimLogSettings aimLogSettings;
};

class EntryWriter final : public Entries {
 public:
  // Everything passed in must outlive the writer.
  EntryWriter(ArchiveWriter& archive, ProgressView& view, RunLog& log, EntryWriterSetup setup);

  // A file that belongs to the archive being written (its temporary file,
  // the archive it replaces, their companions). It is never stored: neither
  // by this name in any letter case nor by any other name of the same file.
  void protectFile(std::u16string_view path);

  // Entries
  bool addFile(const std::u16string& path, const std::u16string& relativeFolder,
               const std::string& tag, const std::string& programName) override;
  bool addFolder(const std::u16string& folder, const std::u16string& masks,
                 const std::u16string& exclusions, const std::u16string& relativeFolder,
                 const std::string& tag, const std::string& programName, bool recurse) override;
  const std::u16string& errorText() const override { return errorText_; }
  void setErrorText(const std::u16string& text) override;
  bool backupEdition() const override { return setup_.backupEdition; }
  void setInfoText(const std::u16string& text) override;
  bool cancelled() const override;

  // Clears the reason (the run does so once its archive is open).
  void clearErrorText() { errorText_.clear(); }
  // The destination refused data: the body is unusable, every later add
  // fails and the run must not go on.
  bool destinationFailed() const { return destinationFailed_; }

 private:
  struct Protected {
    std::u16string comparable;
    FileId id;
  };

  // The folders (volume, index) one walk from its top has entered: a folder
  // that links reach by several roads is walked once, not once a road.
  using VisitedFolders = std::set<std::pair<uint64_t, uint64_t>>;

  bool isProtected(std::u16string_view path, const FileInfo* info) const;
  bool walk(const std::u16string& folder, const std::u16string& masks,
            const std::u16string& exclusions, const std::u16string& relativeFolder,
            const std::string& tag, const std::string& programName, bool recurse,
            FolderPathGuard& guard, VisitedFolders& visited);
  bool storeAimLogs(const std::u16string& settingsFile, const std::string& programName,
                    FolderPathGuard& guard);
  void fail(std::u16string text);

  ArchiveWriter& archive_;
  ProgressView& view_;
  RunLog& log_;
  EntryWriterSetup setup_;
  std::vector<Protected> protected_;
  std::u16string errorText_;
  bool destinationFailed_ = false;
};

}  // namespace zq
