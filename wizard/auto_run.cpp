#include "wizard/auto_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "collectors/aim.h"
#include "core/console_view.h"
#include "core/machine.h"
#include "core/machine_choice.h"
#include "core/paths.h"
#include "core/text.h"
#include "selection/disk_search.h"
#include "selection/file_types.h"
#include "selection/manual_selection.h"
#include "selection/searched_files.h"
#include "selection/tree_zvb.h"
#include "wizard/build_edition.h"

namespace zq {
namespace {

constexpr std::u16string_view kNoDestinationText = u"You haven't chosen a destination path!";
constexpr std::u16string_view kNoFtpYetText =
    u"Sending the archive to an FTP server is not available in this version.";
constexpr std::u16string_view kNoDiscYetText =
    u"Burning the archive to a CD or DVD is not available in this version.";

std::u16string failureHeadline(Edition edition) {
  return edition == Edition::Backup ? u"Unable to complete backup."
                                    : u"Unable to create transfer archive...";
}

std::u16string digits(int value, size_t width) {
  std::u16string text = utf8ToWide(std::to_string(value));
  while (text.size() < width) text.insert(text.begin(), u'0');
  return text;
}

AutoRunOutcome refuse(Edition edition, ProgressView& view, std::u16string_view info) {
  AutoRunOutcome out;
  out.title = failureHeadline(edition);
  out.info = std::u16string(info);
  view.setTitle(out.title);
  view.setInfoText(out.info);
  return out;
}

// The host folder of the running program.
std::string runningProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return {};
  std::string text(path, static_cast<size_t>(n));
  const size_t slash = text.rfind('/');
  return slash == std::string::npos ? std::string() : text.substr(0, slash == 0 ? 1 : slash);
}

bool isHostFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::u16string withExeExtension(std::u16string_view name) {
  std::u16string text(name);
  if (text.size() < 4 || wideLower(text.substr(text.size() - 4)) != u".exe") text += u".exe";
  return text;
}

std::u16string stampedArchiveName(std::u16string_view fileName, bool dateStamp,
                                  const LocalDateTime& today) {
  if (!dateStamp) return std::u16string(fileName);
  const size_t keep = fileName.size() >= 4 ? fileName.size() - 4 : 0;
  return std::u16string(fileName.substr(0, keep)) + digits(today.year, 4) + digits(today.month, 2) +
         digits(today.day, 2) + u".exe";
}

PreparedArchive prepareArchive(Settings& settings, const LocalDateTime& today,
                               std::u16string_view programFolder) {
  settings.backupFileName = withExeExtension(settings.backupFileName);
  PreparedArchive out;
  out.destination = settings.destination;
  out.archiveFileName = stampedArchiveName(settings.backupFileName, settings.dateStamp, today);
  switch (settings.destination) {
    case DestinationKind::Drive:
      out.archivePath = addBackslash(settings.destinationPath) + out.archiveFileName;
      break;
    case DestinationKind::Disc:
      out.archivePath = addBackslash(programFolder) + out.archiveFileName;
      break;
    case DestinationKind::Ftp:
      break;
  }
  return out;
}

AutoRunOutcome runAutomated(const AutoRunSetup& setup, ProgressView& view) {
  const Edition edition = setup.edition;
  const LocalDateTime today = setup.clock ? setup.clock() : localNow();
  Settings settings;
  settings.checkedTypes = initialFileTypeChecks();
  loadSettings(settings, edition);
  view.setInfoText(u"");
  const PreparedArchive prepared = prepareArchive(settings, today, setup.programFolder);

  switch (prepared.destination) {
    case DestinationKind::Ftp:
      return refuse(edition, view, kNoFtpYetText);
    case DestinationKind::Disc:
      return refuse(edition, view, kNoDiscYetText);
    case DestinationKind::Drive:
      if (settings.destinationPath.empty()) return refuse(edition, view, kNoDestinationText);
      break;
  }

  // A file-type group is selected: the tree the user left at the last
  // interactive run is searched again before the backup.
  ResultTree tree;
  if (settings.fileTypesAtLoad) {
    std::string why;
    if (!loadResultTree(resultTreeFilePath(), tree, why)) {
      AutoRunOutcome out = refuse(edition, view, kAutomatedSearchFailedText);
      out.problem = why;
      return out;
    }
    view.setInfoText(u"Searching folder:");
    DiskSearch search(tree, searchPatternList(settings.selection, settings.checkedTypes), view,
                      kProgressLineWidth);
    if (!search.searchSavedTree()) {
      AutoRunOutcome out;
      out.problem = "cancelled during the search";
      return out;
    }
    if (tree.empty()) return refuse(edition, view, kNothingFoundText);
  }

  BackupJob job;
  job.backupEdition = edition == Edition::Backup;
  job.archivePath = prepared.archivePath;
  job.stubPath = setup.stubPath;
  job.encrypt = settings.encrypt;
  job.passphrase = settings.passphrase;
  job.selection = settings.selection;
  job.collectors = collectorSteps(settings.selection, setup.collectors);
  // Ticked items that were deleted since do not count: the trailer says
  // "manual files present" only when something will be stored.
  job.manualPresent = !settings.manualSelection.checkedItems().empty();
  job.collectManual = [&settings](Entries& entries) {
    return collectManualSelection(entries, settings.manualSelection.checkedItems());
  };
  if (!tree.empty()) {
    job.collectSearched = [&settings, &tree](Entries& entries) {
      return collectSearchedFiles(entries, tree, settings.selection, settings.checkedTypes);
    };
  }
  job.shadowCopy = settings.shadowCopy && settings.shadowCopyAllowed;
  // AIM's settings name the folder its conversation logs are kept in.
  job.aimLogSettings = readAimLogSettings;
  job.automatedRun = true;
  job.autoclose = settings.autoClose;
  job.saveSettings = [&settings, edition] {
    SaveOptions options;
    options.automatedRun = true;
    saveSettings(settings, edition, options);
  };
  if (setup.clock) job.clock = setup.clock;

  AutoRunOutcome out;
  out.ran = true;
  out.result = runBackup(job, view);
  out.title = out.result.title;
  out.info = out.result.info;
  out.problem = out.result.problem;
  return out;
}

int automatedMain(std::string_view machineOption) {
  MachineChoice choice;
  std::string error;
  std::unique_ptr<Machine> machine = openMachineFromOption(machineOption, choice, error);
  if (!machine) {
    std::fprintf(stderr, "zarvoquilloprime: %s\n", error.c_str());
    return 1;
  }
  setCurrentMachine(std::move(machine));

  const std::string folder = runningProgramFolder();
  AutoRunSetup setup;
  setup.edition = builtEdition();
  setup.stubPath = folder + "/stub.dat";
  setup.programFolder = currentMachine().windowsPath(folder);
  if (!isHostFile(setup.stubPath)) {
    std::fprintf(stderr,
                 "zarvoquilloprime: the restore program \"%s\" is missing; it must lie beside "
                 "the program\n",
                 setup.stubPath.c_str());
    return 1;
  }

  ConsoleView::catchInterrupt();
  ConsoleView view;
  const AutoRunOutcome outcome = runAutomated(setup, view);
  view.endLine();
  if (!outcome.problem.empty()) {
    std::fprintf(stderr, "zarvoquilloprime: %s\n", outcome.problem.c_str());
  }
  if (outcome.ran && !outcome.result.logPath.empty()) {
    const std::string log = currentMachine().hostPath(outcome.result.logPath);
    std::printf("Log: %s\n",
                log.empty() ? wideToUtf8(outcome.result.logPath).c_str() : log.c_str());
  }
  return outcome.succeeded() ? 0 : 1;
}

}  // namespace zq
