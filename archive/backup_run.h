// The backup run: the one procedure that produces an archive. It copies the
// restore program to the front of a new file, calls the collector steps in
// their order, writes the records and the trailer, applies the 4 GiB
// companion rule, and reports the outcome on the view, in the run log and as
// a BackupResult.
//
// The archive is written under a temporary name beside its path and takes
// the path only when the run has succeeded, so a failed or cancelled run
// leaves the previous archive as it was.
//
// The run knows nothing of the collectors themselves: the program that
// assembles it hands over the steps as callables over the Entries interface.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/catalogue_names.h"
#include "archive/companion.h"
#include "archive/entries.h"
#include "archive/entry_writer.h"
#include "archive/run_log.h"
#include "core/progress_view.h"

namespace zq {

// The application title of an edition.
inline constexpr std::u16string_view kBackupEditionTitle = u"Zarvo Backup Prime";
inline constexpr std::u16string_view kTransferEditionTitle = u"Quillo Transfer Prime";
constexpr std::u16string_view editionTitle(bool backupEdition) {
  return backupEdition ? kBackupEditionTitle : kTransferEditionTitle;
}

// What every archive's trailer says about its writer (both editions).
inline constexpr std::string_view kArchiveProductName = "Quillo Transfer Prime";
inline constexpr std::string_view kArchiveVersionText = "3.2";

// Whom the 4 GiB failure text sends the user to.
inline constexpr std::u16string_view kSupportAddress = u"support@mervantic.com";

// The suffix of the temporary file an archive is written to.
inline constexpr std::u16string_view kPartialSuffix = u".partial";

// One step of the collection: stores its data through the Entries and
// returns false (with a reason in errorText, or none) to stop the run.
using CollectStep = std::function<bool(Entries&)>;

// A program's collector under its catalogue name.
struct CollectorStep {
  std::string name;
  CollectStep collect;  // empty: the run fails at this step without a reason
};

struct BackupJob {
  bool backupEdition = false;

  // Windows path of the archive to create (it ends in ".exe").
  std::u16string archivePath;
  // Host path of the restore program ("stub.dat" beside the wizard).
  std::string stubPath;

  bool encrypt = false;
  std::u16string passphrase;  // as typed; its ANSI bytes make the key

  // The catalogue rows the user selected, by catalogue index.
  std::array<bool, kCatalogueSize> selection{};
  // The program collectors in run order; a step runs when its name is
  // selected.
  std::vector<CollectorStep> collectors;
  // The manual selection: stored (and marked in the trailer) when present.
  bool manualPresent = false;
  CollectStep collectManual;
  // The files the disk search found; runs when set.
  CollectStep collectSearched;

  // Read files through a volume snapshot: when set and the system is XP or
  // newer, startShadowCopy is asked for a path translator (empty: none).
  bool shadowCopy = false;
  std::function<PathTranslator()> startShadowCopy;
  AimLogSettings aimLogSettings;

  bool automatedRun = false;
  bool autoclose = false;
  // Called when the run starts (the wizard saves its settings).
  std::function<void()> saveSettings;
  // Called after a collection that succeeded in an interactive run (the
  // wizard creates or deletes its scheduled task).
  std::function<void()> updateSchedule;

  // The clock of the log's date line; the host's local time when empty.
  std::function<LocalDateTime()> clock;
  // Where the body moves to the companion file; tests lower it.
  int64_t companionThreshold = kCompanionThreshold;
};

struct BackupResult {
  bool succeeded = false;
  bool cancelled = false;
  bool split = false;  // the body went to the companion file
  std::u16string title;
  std::u16string info;
  std::u16string errorText;
  int64_t recordCount = 0;
  std::u16string archivePath;
  std::u16string companionPath;  // set when split
  std::u16string logPath;        // empty when no log could be written
  // An automated run with autoclose: the program closes now.
  bool closeProgram = false;
  // For terminals and developers: what went wrong below the user's texts
  // (for example the host's reason a file could not be created).
  std::string problem;
};

// Runs the job to its end. Progress, the announcements and the final title
// and information go to the view; the outcome comes back as well.
BackupResult runBackup(const BackupJob& job, ProgressView& view);

}  // namespace zq
