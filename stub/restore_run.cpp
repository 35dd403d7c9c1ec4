#include "stub/restore_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "archive/catalogue_names.h"
#include "core/files.h"
#include "core/masks.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/system_helpers.h"
#include "core/text.h"
#include "stub/entry_paths.h"
#include "stub/record_times.h"
#include "stub/restore_table.h"
#include "stub/stub_texts.h"

namespace zq {
namespace {

// The progress line is this wide in the window's font (pixels).
constexpr int kProgressLineWidth = 315;

// A Quicken data file may bring the attachment entries stored under its
// name; those may in turn be data files. A crafted archive could make that
// chain loop, so it is followed this deep at most.
constexpr int kMaxQuickenDepth = 4;

constexpr std::string_view kQuicken = "Quicken";

// The location tags, in the order they are restored, with the sub-folder
// they get below a chosen destination and the special folder they go back
// to when the destination is detected.
struct LocationTag {
  std::u16string_view tag;
  std::u16string_view subFolder;  // empty for "normal"
  std::u16string (*detected)();   // null for "normal": back to the source folder
};

constexpr LocationTag kLocationTags[] = {
    {u"normal", u"", nullptr},
    {u"programfiles", u"Program Files", programFilesFolder},
    {u"desktop", u"Desktop", desktopFolder},
    {u"appdata", u"AppData", appDataFolder},
    {u"localappdata", u"LocalAppData", localAppDataFolder},
    {u"documents", u"Documents", documentsFolder},
    {u"userdir", u"UserDir", profileFolder},
};

// A view for planning runs: shows nothing, is never cancelled.
class SilentView : public ProgressView {
 public:
  void setTitle(const std::u16string&) override {}
  void setProgressText(const std::u16string&) override {}
  void setProgressBar(int) override {}
  void setInfoText(const std::u16string&) override {}
  int textWidth(std::u16string_view text) override { return static_cast<int>(text.size()); }
  void pump() override {}
  bool cancelled() override { return false; }
};

// A name for the temporary file beside the target that nobody can foresee
// (it is created new, never written through a link that was put there); short,
// so that a target with a long name still gets one.
std::u16string temporaryName(const std::u16string& folder) {
  static std::mt19937_64 random{std::random_device{}()};
  char name[32];
  std::snprintf(name, sizeof name, "~zq-%016llx.zqtmp",
                static_cast<unsigned long long>(random()));
  return folder + utf8ToWide(name);
}

}  // namespace

struct RestoreRun::Base {
  bool sourceFolders = false;  // each file back to its source folder
  std::u16string folder;
};

RestoreRun::RestoreRun(ArchiveReader& reader, ProgressView& view, RestoreChoices choices,
                       bool planning)
    : reader_(reader), view_(view), choices_(std::move(choices)), planning_(planning) {}

bool RestoreRun::restoreEntries(std::u16string_view base, std::u16string_view tagmask,
                                bool initialresult, std::string_view programname) {
  Base where;
  where.sourceFolders = base.empty();
  where.folder = base;
  return extract(where, tagmask, initialresult, programname, 0);
}

bool RestoreRun::extract(const Base& base, std::u16string_view tagmask, bool initialresult,
                         std::string_view programname, int depth) {
  if (cancelled()) return false;
  bool result = initialresult;
  bool failed = false;
  const std::vector<tfilerecord>& records = entries();
  for (size_t i = 0; i < records.size(); ++i) {
    const tfilerecord& record = records[i];
    if (record.programname != programname) continue;
    if (!matchesMaskList(tagmask, ansiToWide(record.tag))) continue;

    std::u16string target;
    std::string why;
    if (!targetOf(record, base, target, why)) {
      note(record, "refused: " + why);
      result = false;
      failed = true;
      if (planning_) continue;  // a plan shows every refusal
      break;
    }
    if (planning_) {
      plan(target);
      if (!failed) result = true;
    } else {
      view_.setProgressText(std::u16string(stubtext::kRestoring) +
                            shortenPath(target, stubtext::kRestoring));
      view_.setProgressBar(0);
      view_.pump();
      if (!restoreOne(i, target, why)) {
        note(record, why);
        result = false;
        break;
      }
      result = true;
    }
    // A Quicken data file's attachment folder is stored under the data
    // file's name as tag; it goes next to the restored data file.
    if (programname == kQuicken && depth < kMaxQuickenDepth &&
        equalsNoCase(extensionOfPath(record.filename), u".qdf")) {
      extract(Base{false, folderOfPath(target)}, record.filename, true, kQuicken, depth + 1);
    }
    // Files not yet written when the user cancels are not restored.
    if (cancelled()) {
      result = false;
      break;
    }
  }
  return result;
}

bool RestoreRun::targetOf(const tfilerecord& record, const Base& base, std::u16string& target,
                          std::string& why) {
  if (!isPlainName(record.filename, &why)) return false;
  std::u16string folder;
  if (base.sourceFolders) {
    if (!checkSourceFolder(record.sourcefolder, folder, &why)) return false;
  } else {
    std::vector<std::u16string> components;
    if (!splitRelativeFolder(record.relativefolder, components, &why)) return false;
    folder = addBackslash(base.folder);
    for (const auto& component : components) folder += component + u"\\";
  }
  target = folder + record.filename;
  return !isProtectedTarget(target, &why);
}

// The file is written to a temporary file beside the target and put in the
// target's place only when all of it is there: a failed or cancelled restore
// leaves the old file as it was.
bool RestoreRun::restoreOne(size_t index, const std::u16string& target, std::string& why) {
  Machine& machine = currentMachine();
  const tfilerecord& record = entries()[index];
  const std::u16string folder = folderOfPath(target);
  const std::string shown = printable(target);

  FileInfo existing;
  const bool exists = machine.fileInfo(target, existing);
  if (exists && existing.isFolder) {
    why = shown + ": a folder of that name is in the way";
    return false;
  }
  if (!forceFolders(folder)) {
    why = printable(folder) + ": the folder cannot be created";
    return false;
  }
  const std::u16string temporary = temporaryName(folder);
  std::string error;
  std::unique_ptr<File> file =
      machine.openFile(temporary, OpenMode::CreateNew, &error);
  if (!file) {
    why = shown + ": cannot be created" + (error.empty() ? "" : " (" + error + ")");
    return false;
  }

  RestoreOutcome outcome = RestoreOutcome::Restored;
  std::string reason;
  if (record.filesize > 0) {
    FileSink sink(*file);
    RestoreHooks hooks;
    hooks.cancelled = [this] { return view_.cancelled(); };
    hooks.chunkRestored = [this](uint64_t restored, int64_t filesize) {
      const double percent = 100.0 * static_cast<double>(restored) / static_cast<double>(filesize);
      view_.setProgressBar(static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0))));
      view_.pump();
    };
    outcome = reader_.restoreFile(index, sink, hooks, &reason);
  }
  const bool closed = file->close();
  file.reset();
  if (outcome != RestoreOutcome::Restored || !closed) {
    machine.deleteFile(temporary);
    if (outcome == RestoreOutcome::Cancelled) {
      why = shown + ": cancelled; the file was left as it was";
    } else if (outcome == RestoreOutcome::Failed) {
      why = shown + ": " + reason;
    } else {
      why = shown + ": the data could not be written completely (is the disk full?)";
    }
    return false;
  }

  // A read-only file in the way is replaced like any other.
  const bool readOnly = exists && (existing.attributes & kAttrReadOnly) != 0;
  if (readOnly) machine.setAttributes(target, existing.attributes & ~kAttrReadOnly);
  if (!machine.moveFile(temporary, target)) {
    if (readOnly) machine.setAttributes(target, existing.attributes);
    machine.deleteFile(temporary);
    why = shown + ": the existing file cannot be replaced";
    return false;
  }
  machine.setTimes(target, daysToFileTime(record.creationtime), daysToFileTime(record.writetime),
                   daysToFileTime(record.accesstime));
  machine.setAttributes(target, record.attributes);
  ++filesRestored_;
  return true;
}

void RestoreRun::note(const tfilerecord& record, const std::string& why) {
  problems_.push_back(printable(ansiToWide(record.programname)) + ": " +
                      printable(record.filename) + ": " + why);
  plan_.refused.push_back(problems_.back());
}

void RestoreRun::plan(const std::u16string& target) {
  ++plan_.files;
  const std::u16string folder = removeBackslash(folderOfPath(target));
  const bool known = std::any_of(plan_.folders.begin(), plan_.folders.end(),
                                 [&](const std::u16string& f) { return equalsNoCase(f, folder); });
  if (!known) plan_.folders.push_back(folder);
}

PlannedTargets RestoreRun::takePlan() {
  PlannedTargets taken = std::move(plan_);
  plan_ = {};
  return taken;
}

void RestoreRun::restoreLocations(std::string_view programname) {
  const std::u16string name = ansiToWide(programname);
  view_.setInfoText(programname == kManualProgramName
                        ? std::u16string(stubtext::kRestoringManual)
                        : std::u16string(stubtext::kRestoring) + name + u" files...");
  const std::u16string chosen = addBackslash(choices_.destinationPath) + name + u"\\";
  bool ok = true;
  for (const LocationTag& location : kLocationTags) {
    Base base;
    if (!choices_.detectFolder) {
      base.folder = chosen + std::u16string(location.subFolder);
    } else if (location.detected == nullptr) {
      base.sourceFolders = true;
    } else {
      base.folder = location.detected();
      if (base.folder.empty()) {
        // Without the special folder these files have nowhere to go; an
        // empty base would send them back to their source folders instead.
        const bool any = std::any_of(entries().begin(), entries().end(), [&](const auto& r) {
          return r.programname == programname && equalsNoCase(ansiToWide(r.tag), location.tag);
        });
        if (!any) continue;
        problems_.push_back(std::string(programname) + ": the " + wideToUtf8(location.tag) +
                            " folder of this computer is unknown; its files were not restored");
        plan_.refused.push_back(problems_.back());
        ok = false;
        break;
      }
    }
    if (!extract(base, location.tag, true, programname, 0)) {
      ok = false;
      break;
    }
  }
  if (!ok) {
    errortext = std::u16string(stubtext::kLocationErrorStart) + name +
                std::u16string(stubtext::kLocationErrorEnd);
  }
  restored = ok;
}

std::u16string RestoreRun::findEntryFileName(std::u16string_view tag) const {
  for (const tfilerecord& record : entries()) {
    if (equalsNoCase(ansiToWide(record.tag), tag)) return record.filename;
  }
  return {};
}

std::u16string RestoreRun::shortenPath(std::u16string_view path, std::u16string_view prefix) {
  const int available = kProgressLineWidth - view_.textWidth(prefix);
  if (path.empty() || view_.textWidth(path) <= available) return std::u16string(path);
  const auto fits = [&](size_t from) {  // from: 0-based start of the tail
    return view_.textWidth(u"..." + std::u16string(path.substr(from))) <= available;
  };
  // The tail only gets narrower as it starts later: find the first start that fits.
  size_t low = 1, high = path.size();
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (fits(middle)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  // `low` is the 0-based start; cut one character earlier, at a "\" when
  // there is one from there on.
  const size_t from = low - 1;
  const size_t slash = path.find(u'\\', from);
  return u"..." + std::u16string(path.substr(slash != std::u16string_view::npos ? slash : from));
}

// ---------------------------------------------------------------- runs

namespace {

// The ticked entries in the order the run takes them: programs in table
// order, then the manual selection.
std::vector<const RestoreListEntry*> runOrder(const std::vector<RestoreListEntry>& list) {
  std::vector<const RestoreListEntry*> order;
  for (size_t row = 0; row < kCatalogueSize; ++row) {
    for (const auto& entry : list) {
      if (entry.ticked && entry.tableIndex == static_cast<int>(row)) order.push_back(&entry);
    }
  }
  for (const auto& entry : list) {
    if (entry.ticked && entry.tableIndex < 0) order.push_back(&entry);
  }
  return order;
}

}  // namespace

RunOutcome runRestore(ArchiveReader& reader, const std::vector<RestoreListEntry>& list,
                      const RestoreChoices& choices, ProgressView& view) {
  view.setTitle(std::u16string(stubtext::kRestoringTitle));
  view.setProgressText(std::u16string(stubtext::kGettingInformation));
  // A chosen folder in a protected place gets no files (each is refused), so
  // it is not made either.
  if (!choices.detectFolder && !isProtectedTarget(addBackslash(choices.destinationPath))) {
    forceFolders(choices.destinationPath);
  }

  RestoreRun run(reader, view, choices);
  RunOutcome outcome;
  bool allRestored = true;
  std::u16string lastFailure;
  for (const RestoreListEntry* entry : runOrder(list)) {
    const size_t filesBefore = run.filesRestored();
    const size_t problemsBefore = run.problems().size();
    run.restored = false;
    run.errortext.clear();
    restorerFor(entry->name)(run, entry->name);

    ProgramOutcome program;
    program.name = entry->name;
    program.text = entry->text;
    program.restored = run.restored;
    program.errortext = run.errortext;
    // A file that could not be put back (a follow-on step such as attachments
    // or a second profile folder, whose result the restorer does not weigh)
    // makes the program's restore a failure: something the archive holds did
    // not come back.
    if (run.problems().size() > problemsBefore && program.restored) {
      program.restored = false;
      if (program.errortext.empty()) program.errortext = utf8ToWide(run.problems()[problemsBefore]);
      run.errortext = program.errortext;
      run.restored = false;
    }
    program.files = run.filesRestored() - filesBefore;
    program.problems.assign(run.problems().begin() + static_cast<ptrdiff_t>(problemsBefore),
                            run.problems().end());
    if (!run.restored) {
      allRestored = false;
      lastFailure = run.errortext;
    }
    outcome.programs.push_back(std::move(program));
    // A cancelled run stops here and is never a success.
    if (view.cancelled()) {
      allRestored = false;
      break;
    }
  }

  outcome.restored = allRestored && !outcome.programs.empty();
  outcome.title =
      std::u16string(outcome.restored ? stubtext::kRestoredTitle : stubtext::kFailedTitle);
  outcome.text = outcome.restored ? run.infotext : lastFailure;
  view.setProgressText({});
  view.setTitle(outcome.title);
  view.setInfoText(outcome.text);
  return outcome;
}

std::vector<ProgramPlan> planRestore(ArchiveReader& reader,
                                     const std::vector<RestoreListEntry>& list,
                                     const RestoreChoices& choices) {
  SilentView view;
  RestoreRun run(reader, view, choices, /*planning=*/true);
  std::vector<ProgramPlan> plans;
  for (const RestoreListEntry* entry : runOrder(list)) {
    run.restored = false;
    run.errortext.clear();
    restorerFor(entry->name)(run, entry->name);
    ProgramPlan plan;
    plan.name = entry->name;
    plan.text = entry->text;
    plan.restorable = run.restored;
    plan.errortext = run.errortext;
    plan.targets = run.takePlan();
    plans.push_back(std::move(plan));
  }
  return plans;
}

}  // namespace zq
