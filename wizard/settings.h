// The wizard's settings: every choice the user makes survives between program
// starts and is what an unattended run ("-auto") works with.
//
// Settings mirrors the wizard's controls; the window binds its widgets to it
// and the unattended front end reads it. loadSettings fills it once when the
// wizard starts; saveSettings writes it back at the start of every backup run.
//
// Store: HKEY_CURRENT_USER "Software\Mervantic\" + the application title
// (one key per edition, so the two never share settings), every value a
// string: booleans "1"/"0" (true exactly when "1"), list positions as decimal
// item indexes with "-1" for none, texts as typed. The subkey
// "SelectedPrograms" holds one value per catalogue row; each file-type group
// has a subkey of its own name with "CheckedTypes0", "CheckedTypes1", ...
// The FTP password and the passphrase are stored as plain text, like every
// other value: only the user's registry permissions protect them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "collectors/catalogue.h"
#include "collectors/edition.h"
#include "selection/manual_selection.h"

namespace zq {

enum class DestinationKind { Drive, Disc, Ftp };

struct Settings {
  // --- destination page
  DestinationKind destination = DestinationKind::Drive;  // "drive", "cddvd", "ftp"
  bool dateStamp = false;                                // "datestamp"
  std::u16string destinationPath;                        // "destinationpath"
  std::u16string backupFileName;                         // "filename " (trailing blank)
  // The writer's full device name as the burner lists it; empty when the
  // drive list has no selection (then it is not saved).
  std::u16string burnDevice;  // "burndevice"
  // The write speed factor of the chosen speed entry (16 means 16x); -1 when
  // the speed list has no selection (then it is not saved).
  int64_t burnSpeed = -1;          // "burnspeed"
  bool eraseDisc = false;          // "erasedisc"
  bool eject = false;              // "eject"
  std::u16string ftpServer;        // "ftpserver"
  std::u16string ftpPort = u"21";  // "ftpport"
  std::u16string ftpUserName;      // "ftpusername"
  std::u16string ftpPassword;      // "ftppassword", plain text
  std::u16string ftpDirectory;     // "ftpdirectory"
  bool ftpPassive = true;          // "ftppasv"

  // --- options page
  bool shadowCopy = false;        // "shadowcopy"
  bool shadowCopyAllowed = true;  // the check box is enabled (Windows XP or newer)
  bool autoClose = false;         // "autoclose"
  bool scheduleBackup = false;    // "schedulebackup"
  // Item indexes of the schedule lists, -1 for none: kind (0 Daily, 1 Weekly,
  // 2 Monthly), day, hour (0 = "12"), minute (minutes / 5), AM/PM.
  int64_t schedule = -1;      // "schedule"
  int64_t when = -1;          // "when"
  int64_t hour = -1;          // "hour"
  int64_t minute = -1;        // "minute"
  int64_t ampm = -1;          // "ampm"
  bool encrypt = false;       // "encrypt"
  std::u16string passphrase;  // "passphrase", plain text
  std::u16string confirmPassphrase;

  // --- program and file selection
  ProgramSelection selection{};  // "SelectedPrograms"
  // Check flags of each file-type group's types, in the group's order
  // ("CheckedTypes" + position); empty for programs. Whoever builds the file
  // type catalogue fills in the initial flags; they are the defaults of load.
  std::array<std::vector<bool>, kCatalogueSize> checkedTypes{};
  bool specifyFiles = false;            // "specifyfiles"; "backup all files" is its opposite
  bool manualSelectionEnabled = false;  // "manualselectwarning"
  ManualSelection manualSelection;      // "manual.zvb" (backup edition)

  // --- facts loadSettings records (not saved)
  bool scheduledAtLoad = false;  // a schedule was saved
  bool fileTypesAtLoad = false;  // the loaded selection holds a file-type group

  bool operator==(const Settings&) const = default;
};

// "Software\Mervantic\" + the application title.
std::u16string settingsKey(Edition edition);

// The archive name used until the user types one: the title's first two
// words + "Archive.exe" (QuilloTransferArchive.exe, ZarvoBackupArchive.exe).
std::u16string defaultArchiveFileName(Edition edition);

// Reads every value into `settings`. A missing value gives its default; for
// "shadowcopy", "autoclose" and the file types' check flags the default is
// the value `settings` already holds. The schedule values are read only when
// "schedulebackup" is "1". In the backup edition "manual.zvb" is loaded too;
// a missing or damaged file leaves the manual selection empty.
void loadSettings(Settings& settings, Edition edition);

struct SaveOptions {
  bool automatedRun = false;
  // Saves the search result tree ("tree.zvb"); called in the backup edition
  // when the selection holds a file-type group and the run is not automated.
  // May be empty.
  std::function<void()> saveSearchTree;
};

// Writes every value (creating the keys as needed), in the wizard's order,
// including "filename " so the next start and unattended runs use the typed
// archive name. Without encryption the passphrase is written empty, so it is
// forgotten. In the backup edition "manual.zvb" is saved too. Registry and
// file failures are not reported to the user: false only says that some
// value could not be written.
bool saveSettings(const Settings& settings, Edition edition, const SaveOptions& options = {});

}  // namespace zq
