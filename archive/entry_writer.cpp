#include "archive/entry_writer.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "archive/run_log.h"
#include "core/dos_time.h"
#include "core/files.h"
#include "core/masks.h"
#include "core/paths.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr std::u16string_view kEllipsis = u"...";

std::u16string accessText(const std::string& programName) {
  return u"An error occured accessing your " + utf8ToWide(programName) + u" data...\n\n";
}

bool fits(ProgressView& view, std::u16string_view text, int budget) {
  return view.textWidth(text) <= budget;
}

std::u16string withEllipsis(std::u16string_view tail) {
  return std::u16string(kEllipsis) + std::u16string(tail);
}

}  // namespace

std::u16string shortenPath(std::u16string_view path, std::u16string_view prefix,
                           ProgressView& view) {
  if (path.empty()) return {};
  const int budget = kProgressLineWidth - view.textWidth(prefix);
  if (fits(view, path, budget)) return std::u16string(path);
  // The tail only narrows as its start moves right, so the first start
  // whose tail fits is found by halving (k is 0-based here).
  size_t low = 1, high = path.size();  // a tail from `high` (empty) always counts as fitting
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (fits(view, withEllipsis(path.substr(middle)), budget)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  const size_t slash = path.find(u'\\', low);
  if (slash != std::u16string_view::npos) return withEllipsis(path.substr(slash));
  return withEllipsis(path.substr(low));
}

EntryWriter::EntryWriter(ArchiveWriter& archive, ProgressView& view, RunLog& log,
                         EntryWriterSetup setup)
    : archive_(archive), view_(view), log_(log), setup_(std::move(setup)) {}

void EntryWriter::protectFile(std::u16string_view path) {
  Protected entry;
  entry.comparable = comparablePath(path);
  FileInfo info;
  if (currentMachine().fileInfo(path, info) && !info.isFolder) entry.id = info.id;
  protected_.push_back(std::move(entry));
}

bool EntryWriter::isProtected(std::u16string_view path, const FileInfo* info) const {
  const std::u16string comparable = comparablePath(path);
  for (const Protected& entry : protected_) {
    if (entry.comparable == comparable) return true;
    if (info != nullptr && !(entry.id == FileId{}) && entry.id == info->id) return true;
  }
  return false;
}

void EntryWriter::setErrorText(const std::u16string& text) {
  if (errorText_.empty()) errorText_ = text;
}

void EntryWriter::setInfoText(const std::u16string& text) { view_.setInfoText(text); }

bool EntryWriter::cancelled() const { return view_.cancelled(); }

void EntryWriter::fail(std::u16string text) { errorText_ = std::move(text); }

bool EntryWriter::addFile(const std::u16string& path, const std::u16string& relativeFolder,
                          const std::string& tag, const std::string& programName) {
  // A confirmed Cancel stops the run: nothing more is stored or logged.
  // So does a destination that refused data: the body is no longer whole.
  if (view_.cancelled() || destinationFailed_) return false;
  if (isProtected(path, nullptr)) return true;

  FileInfo info;
  if (isDeviceName(path) || !currentMachine().fileInfo(path, info) || info.isFolder) {
    return false;
  }
  if (isProtected(path, &info)) return true;

  // Size, times and attributes always come from the file itself; only the
  // data is read from the snapshot when one holds it.
  const int64_t size = info.size == 0 ? -1 : static_cast<int64_t>(info.size);
  std::unique_ptr<File> input;
  if (size > 0) {
    std::u16string readPath = path;
    if (setup_.translatePath) {
      std::u16string snapshot = setup_.translatePath(path);
      if (!snapshot.empty()) readPath = std::move(snapshot);
    }
    input = currentMachine().openFile(readPath, OpenMode::Read);
    if (!input) {
      fail(accessText(programName) + u"Access denied to:\n" + shortenPath(path, u"", view_) +
           u"\n\nMake sure you close any programs that might be accessing this file and then "
           u"try again.");
      return false;
    }
  }

  tfilerecord record;
  record.filename = nameOfPath(path);
  record.relativefolder = relativeFolder;
  record.sourcefolder = folderOfPath(path);
  record.tag = tag;                  // the encoder cuts it to 255
  record.programname = programName;  // and this to 60
  record.filesize = size;
  record.attributes = static_cast<uint8_t>(info.attributes & 0xFF);
  record.creationtime = fileTimeToDays(info.creationTime);
  record.writetime = fileTimeToDays(info.writeTime);
  record.accesstime = fileTimeToDays(info.accessTime);
  record.compressible = isCompressibleName(record.filename) ? 1 : 0;

  const std::u16string_view verb = setup_.backupEdition ? u"Backing up " : u"Archiving ";
  view_.setProgressText(std::u16string(verb) + shortenPath(path, verb, view_));

  StoreHooks hooks;
  hooks.cancelled = [this] { return view_.cancelled(); };
  hooks.chunkStored = [this](uint64_t position, int64_t fileSize) {
    if (fileSize > 0) {
      const double share = static_cast<double>(position) / static_cast<double>(fileSize);
      view_.setProgressBar(static_cast<int>(std::lround(std::min(share, 1.0) * 100.0)));
    }
    view_.pump();
  };
  const StoreOutcome outcome = archive_.storeFile(std::move(record), input.get(), hooks);
  if (input) input->close();

  switch (outcome) {
    case StoreOutcome::Stored:
      log_.writeLine(
          escapeLogText((setup_.backupEdition ? u"[Backed up] " : u"[Archived] ") + path));
      return true;
    case StoreOutcome::Cancelled:
      return false;
    case StoreOutcome::ReadFailed:
      fail(accessText(programName) + u"Unable to read from file: \n" +
           shortenPath(path, u"", view_));
      return false;
    case StoreOutcome::WriteFailed:
      destinationFailed_ = true;
      fail(u"Unable to write to destination.  Is it possible the disk is full?");
      return false;
  }
  return false;
}

bool EntryWriter::addFolder(const std::u16string& folder, const std::u16string& masks,
                            const std::u16string& exclusions, const std::u16string& relativeFolder,
                            const std::string& tag, const std::string& programName, bool recurse) {
  FolderPathGuard guard;
  VisitedFolders visited;
  return walk(folder, masks, exclusions, relativeFolder, tag, programName, recurse, guard,
              visited);
}

bool EntryWriter::walk(const std::u16string& folder, const std::u16string& masks,
                       const std::u16string& exclusions, const std::u16string& relativeFolder,
                       const std::string& tag, const std::string& programName, bool recurse,
                       FolderPathGuard& guard, VisitedFolders& visited) {
  if (!folderExists(folder)) return false;
  if (view_.cancelled()) return false;

  FileInfo self;
  currentMachine().fileInfo(removeBackslash(folder), self);
  FolderPathGuard::Scope scope(guard, self.id);
  if (!scope.entered()) return true;  // a link back to a folder on the path
  // Reached before by another road: its files are stored already.
  if (!(self.id == FileId{}) && !visited.insert({self.id.volume, self.id.index}).second) {
    return true;
  }

  std::vector<FolderEntry> entries;
  if (!currentMachine().listFolder(folder, entries)) return true;

  const std::u16string base = addBackslash(folder);
  for (const FolderEntry& entry : entries) {
    if (!exclusions.empty() && matchesMaskList(exclusions, entry.name)) continue;
    const std::u16string full = base + entry.name;
    if (entry.info.isFolder) {
      if (!recurse) continue;
      const std::u16string sub =
          relativeFolder.empty() ? entry.name : relativeFolder + u"\\" + entry.name;
      if (!walk(full, masks, exclusions, sub, tag, programName, true, guard, visited)) {
        return false;
      }
      continue;
    }
    if (!matchesMaskList(masks, entry.name)) continue;
    if (!addFile(full, relativeFolder, tag, programName)) return false;
    if (tag == "aim" && wideLower(entry.name) == u"settings.xml" &&
        !storeAimLogs(full, programName, guard)) {
      return false;
    }
  }
  return true;
}

bool EntryWriter::storeAimLogs(const std::u16string& settingsFile, const std::string& programName,
                               FolderPathGuard& guard) {
  if (!setup_.aimLogSettings) return true;
  std::u16string logFolder;
  std::string logTag;
  if (!setup_.aimLogSettings(settingsFile, logFolder, logTag)) return true;
  if (logFolder.empty() || !folderExists(logFolder)) return true;
  // The log folder is a walk of its own (its files go elsewhere under
  // their own tag); the path it is reached from still ends any circle.
  VisitedFolders visited;
  return walk(logFolder, u"*", u"", u"", logTag, programName, true, guard, visited);
}

}  // namespace zq
