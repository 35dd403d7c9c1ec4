// Settings: defaults, round trips, the stored names and encodings, editions.
#include "wizard/settings.h"

#include <gtest/gtest.h>

#include "core/files.h"
#include "core/machine.h"
#include "core/machine_wrapper.h"
#include "core/registry_helpers.h"
#include "core/text.h"
#include "selection/manual_zvb.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

const size_t kWord = static_cast<size_t>(catalogueIndex("Word"));
const size_t kMusic = static_cast<size_t>(catalogueIndex("Music"));

// What the wizard has before loading: the file types' initial check flags.
Settings initialSettings() {
  Settings s;
  s.checkedTypes[kWord] = {true, true, true, true, false, false, false};
  s.checkedTypes[kMusic] = {true, true, false, false};
  return s;
}

// Every value different from its default.
Settings changedSettings() {
  Settings s = initialSettings();
  s.destination = DestinationKind::Ftp;
  s.dateStamp = true;
  s.destinationPath = u"E:\\Backups \u00e4";
  s.backupFileName = u"Mine.exe";
  s.burnDevice = u"HL-DT-ST DVDRAM GH24NSB0";
  s.burnSpeed = 16;
  s.eraseDisc = true;
  s.eject = true;
  s.ftpServer = u"ftp.example.com";
  s.ftpPort = u"2121";
  s.ftpUserName = u"al";
  s.ftpPassword = u"s3cret";
  s.ftpDirectory = u"/up";
  s.ftpPassive = false;
  s.shadowCopy = true;
  s.autoClose = true;
  s.scheduleBackup = true;
  s.schedule = 1;
  s.when = 3;
  s.hour = 11;
  s.minute = 6;
  s.ampm = 1;
  s.encrypt = true;
  s.passphrase = s.confirmPassphrase = u"open sesame";
  s.selection[static_cast<size_t>(catalogueIndex("Outlook"))] = true;
  s.selection[kWord] = true;
  s.checkedTypes[kWord] = {false, true, false, true, true, false, true};
  s.checkedTypes[kMusic] = {false, false, true, true};
  s.specifyFiles = true;
  s.manualSelectionEnabled = true;
  s.manualSelection.check(u"C:\\users\\alice\\Desktop\\Minutes.doc");
  s.manualSelection.check(u"D:\\Archive");
  return s;
}

TEST(Settings, KeysAndDefaultArchiveNamesFollowTheEdition) {
  EXPECT_EQ(settingsKey(Edition::Transfer), u"Software\\Mervantic\\Quillo Transfer Prime");
  EXPECT_EQ(settingsKey(Edition::Backup), u"Software\\Mervantic\\Zarvo Backup Prime");
  EXPECT_EQ(defaultArchiveFileName(Edition::Transfer), u"QuilloTransferArchive.exe");
  EXPECT_EQ(defaultArchiveFileName(Edition::Backup), u"ZarvoBackupArchive.exe");
}

TEST(Settings, FirstStartGivesTheDefaults) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  for (Edition edition : {Edition::Transfer, Edition::Backup}) {
    Settings loaded = changedSettings();
    loadSettings(loaded, edition);

    Settings expected = initialSettings();
    expected.backupFileName = defaultArchiveFileName(edition);
    // These default to what the controls held, and the schedule lists are
    // not read without a schedule.
    expected.shadowCopy = expected.autoClose = true;
    expected.schedule = 1;
    expected.when = 3;
    expected.hour = 11;
    expected.minute = 6;
    expected.ampm = 1;
    expected.checkedTypes = changedSettings().checkedTypes;
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(loaded.ftpPort, u"21");
    EXPECT_TRUE(loaded.ftpPassive);
  }
}

TEST(Settings, EveryValueSurvivesARun) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  for (Edition edition : {Edition::Transfer, Edition::Backup}) {
    const Settings saved = changedSettings();
    ASSERT_TRUE(saveSettings(saved, edition));

    Settings loaded = initialSettings();
    loadSettings(loaded, edition);
    Settings expected = saved;
    expected.scheduledAtLoad = true;
    expected.fileTypesAtLoad = true;
    // Only the backup edition keeps the manual selection between starts.
    if (edition == Edition::Transfer) expected.manualSelection.clear();
    EXPECT_EQ(loaded, expected);
  }
}

std::u16string mainValue(std::u16string_view name) {
  return readUserRegString(settingsKey(Edition::Transfer), name, u"<missing>");
}

// Notes the order in which values are written (the hive itself keeps them sorted).
class WriteOrder : public MachineWrapper {
 public:
  using MachineWrapper::MachineWrapper;
  std::vector<std::u16string> names;  // "subkey\value" below the settings key
  bool writeValue(RegRoot root, std::u16string_view key, const RegValue& value,
                  std::string* error) override {
    const std::u16string main = settingsKey(Edition::Transfer);
    if (key.starts_with(main)) {
      const std::u16string sub(key.substr(std::min(key.size(), main.size() + 1)));
      names.push_back(sub.empty() ? value.name : sub + u"\\" + value.name);
    }
    return MachineWrapper::writeValue(root, key, value, error);
  }
};

TEST(Settings, StoredNamesEncodingAndOrder) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  WriteOrder order(pc.machine());
  ScopedMachine scope(order);
  Settings s = changedSettings();
  s.scheduleBackup = false;
  ASSERT_TRUE(saveSettings(s, Edition::Transfer));

  std::vector<std::u16string> expected = {
      u"drive",     u"cddvd",      u"ftp",         u"destinationpath", u"datestamp",
      u"filename ", u"burndevice", u"burnspeed",   u"eject",           u"erasedisc",
      u"ftpserver", u"ftpport",    u"ftpusername", u"ftppassword",     u"ftpdirectory",
      u"ftppasv",   u"shadowcopy", u"autoclose",   u"schedulebackup",  u"encrypt",
      u"passphrase"};
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    const std::u16string name = utf8ToWide(kCatalogueNames[i]);
    expected.push_back(u"SelectedPrograms\\" + name);
    const size_t types = s.checkedTypes[i].size();
    for (size_t t = 0; t < types; ++t) {
      expected.push_back(name + u"\\CheckedTypes" + utf8ToWide(std::to_string(t)));
    }
  }
  expected.push_back(u"specifyfiles");
  expected.push_back(u"manualselectwarning");
  EXPECT_EQ(order.names, expected);

  const std::u16string key = settingsKey(Edition::Transfer);
  const std::pair<std::u16string_view, std::u16string_view> texts[] = {
      {u"drive", u"0"},
      {u"cddvd", u"0"},
      {u"ftp", u"1"},
      {u"filename ", u"Mine.exe"},
      {u"burnspeed", u"16"},
      {u"ftppasv", u"0"},
      {u"ftppassword", u"s3cret"},
      {u"passphrase", u"open sesame"},
      {u"schedule", u"<missing>"},
  };
  for (const auto& [name, text] : texts) EXPECT_EQ(mainValue(name), text) << wideToUtf8(name);

  EXPECT_EQ(readUserRegString(key + u"\\SelectedPrograms", u"Word", u""), u"1");
  EXPECT_EQ(readUserRegString(key + u"\\SelectedPrograms", u"Excel", u""), u"0");
  EXPECT_EQ(readUserRegString(key + u"\\Music", u"CheckedTypes2", u""), u"1");

  // Schedule lists are written with a schedule, as item indexes.
  s.scheduleBackup = true;
  s.when = -1;
  ASSERT_TRUE(saveSettings(s, Edition::Transfer));
  EXPECT_EQ(mainValue(u"schedule"), u"1");
  EXPECT_EQ(mainValue(u"when"), u"-1");
  EXPECT_EQ(mainValue(u"ampm"), u"1");

  // Without encryption the passphrase is forgotten; no speed, no device:
  // the earlier values stay.
  s.encrypt = false;
  s.burnSpeed = -1;
  s.burnDevice.clear();
  ASSERT_TRUE(saveSettings(s, Edition::Transfer));
  EXPECT_EQ(mainValue(u"passphrase"), u"");
  EXPECT_EQ(mainValue(u"burnspeed"), u"16");
  EXPECT_EQ(mainValue(u"burndevice"), u"HL-DT-ST DVDRAM GH24NSB0");
}

TEST(Settings, HowStoredTextsAreRead) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::u16string, std::u16string>> values;
    std::function<void(const Settings&)> check;
  };
  const Case cases[] = {
      {"no destination saved as 1",
       {{u"drive", u"0"}, {u"cddvd", u"0"}, {u"ftp", u"0"}},
       [](const Settings& s) { EXPECT_EQ(s.destination, DestinationKind::Drive); }},
      {"the last destination saved as 1",
       {{u"cddvd", u"1"}, {u"ftp", u"1"}},
       [](const Settings& s) { EXPECT_EQ(s.destination, DestinationKind::Ftp); }},
      {"only the exact text 1 is true",
       {{u"encrypt", u"yes"}, {u"eject", u" 1"}},
       [](const Settings& s) { EXPECT_FALSE(s.encrypt || s.eject); }},
      {"schedule without a kind",
       {{u"schedulebackup", u"1"}},
       [](const Settings& s) {
         EXPECT_TRUE(s.scheduleBackup && s.scheduledAtLoad);
         EXPECT_EQ(s.schedule, 2);
         EXPECT_EQ(s.when, -1);
       }},
      {"schedule values unread without a schedule",
       {{u"schedulebackup", u"0"}, {u"schedule", u"0"}, {u"hour", u"3"}},
       [](const Settings& s) {
         EXPECT_EQ(s.schedule, -1);
         EXPECT_EQ(s.hour, -1);
       }},
      {"numbers that are none",
       {{u"schedulebackup", u"1"}, {u"hour", u"3 pm"}, {u"minute", u""}, {u"burnspeed", u"fast"}},
       [](const Settings& s) {
         EXPECT_EQ(s.hour, -1);
         EXPECT_EQ(s.minute, -1);
         EXPECT_EQ(s.burnSpeed, -1);
       }},
      {"a passphrase without encryption",
       {{u"encrypt", u"0"}, {u"passphrase", u"pw"}},
       [](const Settings& s) {
         EXPECT_EQ(s.passphrase, u"pw");
         EXPECT_EQ(s.confirmPassphrase, u"pw");
       }},
      {"a name without the trailing blank is another value",
       {{u"filename", u"Other.exe"}},
       [](const Settings& s) { EXPECT_EQ(s.backupFileName, u"QuilloTransferArchive.exe"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SampleComputer pc;
    ASSERT_TRUE(pc.ok());
    for (const auto& [name, text] : c.values) {
      ASSERT_TRUE(writeUserRegString(settingsKey(Edition::Transfer), name, text));
    }
    Settings s = initialSettings();
    loadSettings(s, Edition::Transfer);
    c.check(s);
  }
}

TEST(Settings, EditionsNeverShareSettings) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  ASSERT_TRUE(saveSettings(changedSettings(), Edition::Backup));
  Settings transfer = initialSettings();
  loadSettings(transfer, Edition::Transfer);
  EXPECT_EQ(transfer.backupFileName, u"QuilloTransferArchive.exe");
  EXPECT_EQ(selectionCount(transfer.selection), 0);
  EXPECT_TRUE(transfer.manualSelection.empty());
}

TEST(Settings, ManualSelectionFileBelongsToTheBackupEdition) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  const std::u16string file = manualSelectionFilePath();

  ASSERT_TRUE(saveSettings(changedSettings(), Edition::Transfer));
  EXPECT_FALSE(fileExists(file));

  int treeSaves = 0;
  SaveOptions options;
  options.saveSearchTree = [&] { ++treeSaves; };
  Settings s = changedSettings();
  s.fileTypesAtLoad = true;
  ASSERT_TRUE(saveSettings(s, Edition::Backup, options));
  EXPECT_TRUE(fileExists(file));
  EXPECT_EQ(treeSaves, 1);
  options.automatedRun = true;
  ASSERT_TRUE(saveSettings(s, Edition::Backup, options));
  ASSERT_TRUE(saveSettings(s, Edition::Transfer, SaveOptions{false, options.saveSearchTree}));
  EXPECT_EQ(treeSaves, 1);

  // A damaged file is ignored: nothing ticked, every other value loaded.
  tfile out;
  ASSERT_TRUE(openForWrite(out, file));
  ASSERT_TRUE(writeBlock(out, "ZQMS\x01\x00", 6));
  ASSERT_TRUE(closeFile(out));
  Settings loaded = initialSettings();
  loadSettings(loaded, Edition::Backup);
  EXPECT_TRUE(loaded.manualSelection.empty());
  EXPECT_EQ(loaded.backupFileName, u"Mine.exe");
}

TEST(Settings, ShadowCopyNeedsWindowsXp) {
  SampleMachineRecipe recipe;
  recipe.version.major = 5;
  recipe.version.minor = 0;
  SampleComputer pc(recipe);
  ASSERT_TRUE(pc.ok());
  ASSERT_TRUE(writeUserRegString(settingsKey(Edition::Transfer), u"shadowcopy", u"1"));
  Settings s;
  loadSettings(s, Edition::Transfer);
  EXPECT_FALSE(s.shadowCopyAllowed);
  EXPECT_TRUE(s.shadowCopy);  // read all the same
}

}  // namespace
}  // namespace zq
