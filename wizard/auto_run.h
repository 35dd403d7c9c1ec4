// The unattended run ("zarvoquilloprime -auto", as the scheduled task starts
// it): load the saved settings, prepare the archive's name and destination,
// assemble the collecting steps and run the backup without a user. Progress
// and the result texts go to a progress view (the console view when there is
// no window); the exit status says whether the run succeeded.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "archive/backup_run.h"
#include "archive/run_log.h"
#include "collectors/collector_table.h"
#include "collectors/edition.h"
#include "core/progress_view.h"
#include "wizard/settings.h"

namespace zq {

// The archive's file name as the name edit holds it: ".exe" appended unless
// the text already ends in it (letter case ignored).
std::u16string withExeExtension(std::u16string_view name);

// The name the archive is written under: with the date stamp, today's date
// as "yyyymmdd" goes in front of the final ".exe" (Archive.exe ->
// Archive20240131.exe). `fileName` already ends in ".exe".
std::u16string stampedArchiveName(std::u16string_view fileName, bool dateStamp,
                                  const LocalDateTime& today);

struct PreparedArchive {
  DestinationKind destination = DestinationKind::Drive;
  std::u16string archiveFileName;
  // Destination folder + name (drive), the program's folder + name (disc);
  // empty for FTP.
  std::u16string archivePath;
};

// Prepares the archive name and destination as the wizard does before a run.
// Appends ".exe" to settings.backupFileName itself (the edit), so the saved
// settings keep it. `programFolder` is the Windows path of the program's own
// folder (where a disc image is put together).
PreparedArchive prepareArchive(Settings& settings, const LocalDateTime& today,
                               std::u16string_view programFolder);

struct AutoRunSetup {
  Edition edition = Edition::Transfer;
  // Host path of the restore program copied to the front of the archive.
  std::string stubPath;
  // Windows path of the program's folder.
  std::u16string programFolder;
  // The clock for the date stamp and the log; the host's local time when empty.
  std::function<LocalDateTime()> clock;
  // The collectors this build has, by catalogue row.
  CollectorTable collectors = programCollectors();
};

struct AutoRunOutcome {
  bool ran = false;  // the backup run was started (false: refused before it)
  BackupResult result;
  // The failure headline and reason when the run was refused before it began.
  std::u16string title;
  std::u16string info;
  // For the terminal: what went wrong beneath the user's texts.
  std::string problem;
  bool succeeded() const { return ran && result.succeeded; }
};

// One unattended run on the current machine: the edition's saved settings,
// then the search (when a file-type group is selected) and the backup run.
// Everything the user would see goes to the view.
AutoRunOutcome runAutomated(const AutoRunSetup& setup, ProgressView& view);

// The program's "-auto" start: opens the chosen machine, finds "stub.dat"
// beside the running program, runs with a console view and returns the exit
// status (0 success, 1 failure).
int automatedMain(std::string_view machineOption);

}  // namespace zq
