// The restore run: for every ticked entry of the restore list it calls the
// restorer of the entry's table row (restore_table.h), which extracts the
// entries of its program with restoreEntries; the manual selection and the
// file-type groups go through the location restore.
//
// The restorer contract. A restorer (void f(RestoreRun&, std::string_view
// programName)):
//   - announces itself with run.view().setInfoText("Restoring ...");
//   - reads the destination from run.detectFolder() / run.destinationPath();
//   - calls run.restoreEntries(...) once or more (run.findEntryFileName helps
//     to find a stored file by tag);
//   - sets run.restored to its outcome and, on failure, run.errortext to its
//     message; it may append instructions for the user to run.infotext;
//   - in a planning run (run.planning()) restoreEntries only records where
//     files would go; the restorer then changes nothing else either (no
//     registry values, no renamed folders).
// Nothing is written outside restoreEntries' checked targets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_reader.h"
#include "core/progress_view.h"
#include "stub/restore_list.h"

namespace zq {

// The destination choice of the wizard.
struct RestoreChoices {
  bool detectFolder = true;        // false: below destinationPath
  std::u16string destinationPath;  // a Windows path of the current machine
};

// Where the files of one program would go (a planning run) or went.
struct PlannedTargets {
  std::vector<std::u16string> folders;  // distinct target folders, first use first
  size_t files = 0;
  std::vector<std::string> refused;  // one line per entry that would be refused
};

class RestoreRun {
 public:
  // The reader is open, its key text accepted and its records read. A
  // planning run writes nothing.
  RestoreRun(ArchiveReader& reader, ProgressView& view, RestoreChoices choices,
             bool planning = false);
  RestoreRun(const RestoreRun&) = delete;
  RestoreRun& operator=(const RestoreRun&) = delete;

  // --- what the restorers set
  bool restored = false;     // outcome of the restorer that ran last
  std::u16string errortext;  // its failure text
  std::u16string infotext;   // instructions collected from successful restorers

  // --- what the restorers read
  ProgressView& view() { return view_; }
  bool detectFolder() const { return choices_.detectFolder; }
  const std::u16string& destinationPath() const { return choices_.destinationPath; }
  bool planning() const { return planning_; }
  bool cancelled() { return view_.cancelled(); }
  const std::vector<tfilerecord>& entries() const { return reader_.records(); }

  // Extracts every entry of `programname` (exact) whose tag matches
  // `tagmask` (";"-separated masks, case ignored). An empty base sends each
  // file back to its source folder; otherwise it goes to base + its
  // relative folder. Returns initialresult when nothing matched, true when
  // every matching entry was written, false at the first failure (later
  // entries of the call are skipped) or at once when cancelled.
  bool restoreEntries(std::u16string_view base, std::u16string_view tagmask, bool initialresult,
                      std::string_view programname);

  // The entries of a file-type group or of the manual selection ("Manual"),
  // by their location tags; sets restored and errortext.
  void restoreLocations(std::string_view programname);

  // The filename of the first entry whose tag equals `tag` (case ignored),
  // of any program; empty when there is none.
  std::u16string findEntryFileName(std::u16string_view tag) const;

  // A path shortened to fit the progress line behind `prefix`: "..." and its
  // tail, cut at a folder boundary where there is one.
  std::u16string shortenPath(std::u16string_view path, std::u16string_view prefix);

  // --- bookkeeping of the run
  size_t filesRestored() const { return filesRestored_; }
  // One line per file that failed or was refused, in order.
  const std::vector<std::string>& problems() const { return problems_; }
  // What a planning run saw since the last takePlan().
  PlannedTargets takePlan();

 private:
  struct Base;
  bool extract(const Base& base, std::u16string_view tagmask, bool initialresult,
               std::string_view programname, int depth);
  bool targetOf(const tfilerecord& record, const Base& base, std::u16string& target,
                std::string& why);
  bool restoreOne(size_t index, const std::u16string& target, std::string& why);
  void note(const tfilerecord& record, const std::string& why);
  void plan(const std::u16string& target);

  ArchiveReader& reader_;
  ProgressView& view_;
  RestoreChoices choices_;
  bool planning_;
  size_t filesRestored_ = 0;
  std::vector<std::string> problems_;
  PlannedTargets plan_;
};

// The outcome of one list entry's restorer.
struct ProgramOutcome {
  std::string name;
  std::u16string text;
  bool restored = false;
  std::u16string errortext;
  size_t files = 0;                   // files written by this restorer
  std::vector<std::string> problems;  // files that failed or were refused
};

struct RunOutcome {
  bool restored = false;  // at least one restorer ran and every one succeeded
  std::u16string title;   // "Your data has been successfully restored!" or "Unable to ..."
  std::u16string text;    // the collected instructions, or the last failure's text
  std::vector<ProgramOutcome> programs;  // in the order they ran
};

// The restore run over the ticked entries of `list`: the programs in table
// order, then the manual selection. Creates the chosen destination folder
// first. Shows the outcome on the view and returns it.
RunOutcome runRestore(ArchiveReader& reader, const std::vector<RestoreListEntry>& list,
                      const RestoreChoices& choices, ProgressView& view);

// Where the ticked entries' files would go, in the order runRestore takes
// them, without writing anything.
struct ProgramPlan {
  std::string name;
  std::u16string text;
  bool restorable = false;   // the planning run of its restorer succeeded
  std::u16string errortext;  // why not
  PlannedTargets targets;
};
std::vector<ProgramPlan> planRestore(ArchiveReader& reader,
                                     const std::vector<RestoreListEntry>& list,
                                     const RestoreChoices& choices);

}  // namespace zq
