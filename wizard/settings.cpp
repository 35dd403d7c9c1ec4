#include "wizard/settings.h"

#include <optional>

#include "core/machine.h"
#include "core/registry_helpers.h"
#include "core/strings.h"
#include "core/text.h"
#include "selection/manual_zvb.h"

namespace zq {
namespace {

constexpr std::u16string_view kSelectedPrograms = u"SelectedPrograms";
constexpr std::u16string_view kCheckedTypes = u"CheckedTypes";
// The archive name's value really ends in a blank; older settings have it so.
constexpr std::u16string_view kFileNameValue = u"filename ";

std::u16string boolText(bool value) { return value ? u"1" : u"0"; }
std::u16string numberText(int64_t value) { return utf8ToWide(int64ToText(value)); }

// Reads values of one key with the encoding of the settings.
class Reader {
 public:
  explicit Reader(std::u16string key) : key_(std::move(key)) {}
  std::u16string text(std::u16string_view name, std::u16string_view defaultText) const {
    return readUserRegString(key_, name, defaultText);
  }
  bool flag(std::u16string_view name, bool defaultValue) const {
    return text(name, boolText(defaultValue)) == u"1";
  }
  // List positions and numbers; empty or non-numeric text counts as -1.
  int64_t number(std::u16string_view name, std::u16string_view defaultText) const {
    return textToInt64OrMinus1(text(name, defaultText));
  }

 private:
  std::u16string key_;
};

// Writes values of one key, remembering whether every write succeeded.
class Writer {
 public:
  explicit Writer(std::u16string key) : key_(std::move(key)) {}
  void text(std::u16string_view name, std::u16string_view value) {
    ok_ = writeUserRegString(key_, name, value) && ok_;
  }
  void flag(std::u16string_view name, bool value) { text(name, boolText(value)); }
  void number(std::u16string_view name, int64_t value) { text(name, numberText(value)); }
  bool ok() const { return ok_; }

 private:
  std::u16string key_;
  bool ok_ = true;
};

std::u16string subkey(std::u16string_view mainKey, std::string_view name) {
  return std::u16string(mainKey) + u"\\" + utf8ToWide(name);
}

std::u16string checkedTypesName(size_t position) {
  return std::u16string(kCheckedTypes) + numberText(static_cast<int64_t>(position));
}

bool windowsXpOrNewer() {
  const WindowsVersion v = currentMachine().version();
  return v.major > 5 || (v.major == 5 && v.minor >= 1);
}

}  // namespace

std::u16string settingsKey(Edition edition) {
  return u"Software\\Mervantic\\" + std::u16string(applicationTitle(edition));
}

std::u16string defaultArchiveFileName(Edition edition) {
  const std::u16string_view title = applicationTitle(edition);
  return fieldAt(title, 1, u' ') + fieldAt(title, 2, u' ') + u"Archive.exe";
}

void loadSettings(Settings& s, Edition edition) {
  const std::u16string key = settingsKey(edition);
  const Reader main(key);

  // The three destination radio buttons: the last one saved as "1" wins,
  // and the local folder when none was.
  std::optional<DestinationKind> destination;
  if (main.flag(u"drive", false)) destination = DestinationKind::Drive;
  if (main.flag(u"cddvd", false)) destination = DestinationKind::Disc;
  if (main.flag(u"ftp", false)) destination = DestinationKind::Ftp;
  s.dateStamp = main.flag(u"datestamp", false);
  s.destinationPath = main.text(u"destinationpath", u"");
  s.backupFileName = main.text(kFileNameValue, defaultArchiveFileName(edition));

  s.burnDevice = main.text(u"burndevice", u"");
  s.burnSpeed = main.number(u"burnspeed", u"");
  s.eraseDisc = main.flag(u"erasedisc", false);
  s.eject = main.flag(u"eject", false);

  s.ftpServer = main.text(u"ftpserver", u"");
  s.ftpPort = main.text(u"ftpport", u"21");
  s.ftpUserName = main.text(u"ftpusername", u"");
  s.ftpPassword = main.text(u"ftppassword", u"");
  s.ftpDirectory = main.text(u"ftpdirectory", u"");
  s.ftpPassive = main.flag(u"ftppasv", true);
  s.destination = destination.value_or(DestinationKind::Drive);

  // Shadow copies need Windows XP or newer; the box is read even when disabled.
  s.shadowCopyAllowed = windowsXpOrNewer();
  s.shadowCopy = main.flag(u"shadowcopy", s.shadowCopy);
  s.autoClose = main.flag(u"autoclose", s.autoClose);

  s.scheduleBackup = main.flag(u"schedulebackup", false);
  s.scheduledAtLoad = s.scheduleBackup;
  if (s.scheduleBackup) {
    s.schedule = main.number(u"schedule", u"2");
    s.when = main.number(u"when", u"-1");
    s.hour = main.number(u"hour", u"-1");
    s.minute = main.number(u"minute", u"-1");
    s.ampm = main.number(u"ampm", u"-1");
  }

  s.encrypt = main.flag(u"encrypt", false);
  s.passphrase = main.text(u"passphrase", u"");
  s.confirmPassphrase = s.passphrase;

  const Reader selected(std::u16string(key) + u"\\" + std::u16string(kSelectedPrograms));
  s.fileTypesAtLoad = false;
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    const CatalogueEntry& entry = programCatalogue()[i];
    s.selection[i] = selected.flag(utf8ToWide(entry.name), false);
    if (!entry.isFileTypeGroup) continue;
    if (s.selection[i]) s.fileTypesAtLoad = true;
    const Reader group(subkey(key, entry.name));
    std::vector<bool>& flags = s.checkedTypes[i];
    for (size_t t = 0; t < flags.size(); ++t) flags[t] = group.flag(checkedTypesName(t), flags[t]);
  }

  s.specifyFiles = main.flag(u"specifyfiles", false);
  s.manualSelectionEnabled = main.flag(u"manualselectwarning", false);

  // The transfer edition keeps no manual selection between starts. A missing
  // or damaged file just leaves nothing ticked.
  s.manualSelection.clear();
  if (edition == Edition::Backup) {
    std::string ignored;
    loadManualSelection(manualSelectionFilePath(), s.manualSelection, ignored);
  }
}

bool saveSettings(const Settings& s, Edition edition, const SaveOptions& options) {
  const std::u16string key = settingsKey(edition);
  Writer main(key);

  main.flag(u"drive", s.destination == DestinationKind::Drive);
  main.flag(u"cddvd", s.destination == DestinationKind::Disc);
  main.flag(u"ftp", s.destination == DestinationKind::Ftp);
  main.text(u"destinationpath", s.destinationPath);
  main.flag(u"datestamp", s.dateStamp);
  // Without this the typed name would be lost at the next start and an
  // unattended run would write under the default name.
  main.text(kFileNameValue, s.backupFileName);

  if (!s.burnDevice.empty()) main.text(u"burndevice", s.burnDevice);
  if (s.burnSpeed > 0) main.number(u"burnspeed", s.burnSpeed);
  main.flag(u"eject", s.eject);
  main.flag(u"erasedisc", s.eraseDisc);

  main.text(u"ftpserver", s.ftpServer);
  main.text(u"ftpport", s.ftpPort);
  main.text(u"ftpusername", s.ftpUserName);
  main.text(u"ftppassword", s.ftpPassword);
  main.text(u"ftpdirectory", s.ftpDirectory);
  main.flag(u"ftppasv", s.ftpPassive);

  main.flag(u"shadowcopy", s.shadowCopy);
  main.flag(u"autoclose", s.autoClose);
  main.flag(u"schedulebackup", s.scheduleBackup);
  if (s.scheduleBackup) {
    main.number(u"schedule", s.schedule);
    main.number(u"when", s.when);
    main.number(u"hour", s.hour);
    main.number(u"minute", s.minute);
    main.number(u"ampm", s.ampm);
  }

  // Unchecking encryption forgets the passphrase.
  main.flag(u"encrypt", s.encrypt);
  main.text(u"passphrase", s.encrypt ? s.passphrase : u"");

  Writer selected(std::u16string(key) + u"\\" + std::u16string(kSelectedPrograms));
  bool groupsOk = true;
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    const CatalogueEntry& entry = programCatalogue()[i];
    selected.flag(utf8ToWide(entry.name), s.selection[i]);
    if (!entry.isFileTypeGroup) continue;
    Writer group(subkey(key, entry.name));
    const std::vector<bool>& flags = s.checkedTypes[i];
    for (size_t t = 0; t < flags.size(); ++t) group.flag(checkedTypesName(t), flags[t]);
    groupsOk = group.ok() && groupsOk;
  }

  main.flag(u"specifyfiles", s.specifyFiles);
  // Whenever the selection holds a file-type group (not only when one was
  // loaded at start): the first unattended run after ticking a group needs
  // the tree.
  if (edition == Edition::Backup && selectsFileTypeGroup(s.selection) && !options.automatedRun &&
      options.saveSearchTree) {
    options.saveSearchTree();
  }
  main.flag(u"manualselectwarning", s.manualSelectionEnabled);

  // The selection files are a convenience: failures to save them are ignored.
  if (edition == Edition::Backup) {
    std::string ignored;
    saveManualSelection(manualSelectionFilePath(), s.manualSelection, ignored);
  }
  return main.ok() && selected.ok() && groupsOk;
}

}  // namespace zq
