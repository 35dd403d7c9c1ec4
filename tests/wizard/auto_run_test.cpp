// Unattended runs: preparing the archive's name, a run from saved settings on
// a sample computer (both editions), the runs that are refused, and the
// program itself started with "-auto" as the scheduled task starts it.
#include "wizard/auto_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/files.h"
#include "core/machine.h"
#include "selection/disk_search.h"
#include "selection/file_types.h"
#include "selection/tree_zvb.h"
#include "testing/recording_view.h"
#include "testing/run_program.h"
#include "tests/archive/backup_test_support.h"
#include "wizard/build_edition.h"

namespace zq {
namespace {

namespace fs = std::filesystem;
using testing::readArchive;
using testing::ReadBack;
using testing::readHost;

const LocalDateTime kToday{2024, 1, 31, 9, 15, 0};
const std::string kWizard = std::string(ZQ_PROGRAM_DIR) + "/zarvoquilloprime";
const std::string kStubDat = std::string(ZQ_PROGRAM_DIR) + "/stub.dat";

size_t row(std::string_view name) { return static_cast<size_t>(catalogueIndex(name)); }

TEST(PrepareArchive, NamesAndPlacesTheArchive) {
  struct Case {
    std::u16string typed;
    bool dateStamp;
    DestinationKind destination;
    std::u16string folder, edit, name, path;
  };
  const Case cases[] = {
      {u"Backup", false, DestinationKind::Drive, u"D:\\Saves", u"Backup.exe", u"Backup.exe",
       u"D:\\Saves\\Backup.exe"},
      {u"BACKUP.EXE", false, DestinationKind::Drive, u"D:\\Saves\\", u"BACKUP.EXE", u"BACKUP.EXE",
       u"D:\\Saves\\BACKUP.EXE"},
      {u"exe", false, DestinationKind::Drive, u"D:\\", u"exe.exe", u"exe.exe", u"D:\\exe.exe"},
      {u"Archive.exe", true, DestinationKind::Drive, u"D:\\Saves", u"Archive.exe",
       u"Archive20240131.exe", u"D:\\Saves\\Archive20240131.exe"},
      {u"Backup", true, DestinationKind::Drive, u"D:\\Saves", u"Backup.exe", u"Backup20240131.exe",
       u"D:\\Saves\\Backup20240131.exe"},
      {u"Home.Exe", false, DestinationKind::Disc, u"D:\\Saves", u"Home.Exe", u"Home.Exe",
       u"Z:\\opt\\zq\\Home.Exe"},
      {u"Home", false, DestinationKind::Ftp, u"", u"Home.exe", u"Home.exe", u""},
  };
  for (const Case& c : cases) {
    Settings settings;
    settings.backupFileName = c.typed;
    settings.dateStamp = c.dateStamp;
    settings.destination = c.destination;
    settings.destinationPath = c.folder;
    const PreparedArchive prepared = prepareArchive(settings, kToday, u"Z:\\opt\\zq");
    EXPECT_EQ(settings.backupFileName, c.edit) << wideToUtf8(c.typed);
    EXPECT_EQ(prepared.archiveFileName, c.name) << wideToUtf8(c.typed);
    EXPECT_EQ(prepared.archivePath, c.path) << wideToUtf8(c.typed);
    EXPECT_EQ(prepared.destination, c.destination);
  }
}

class AutoRunTest : public testing::SampleComputer {
 protected:
  // The choices of a user who backs up her documents to C:\Backups.
  Settings documentsToBackups() {
    Settings s;
    s.destination = DestinationKind::Drive;
    s.destinationPath = u"C:\\Backups";
    s.backupFileName = u"Home";
    s.dateStamp = true;
    s.selection[row("My Documents")] = true;
    s.encrypt = true;
    s.passphrase = s.confirmPassphrase = u"kettle";
    s.autoClose = true;
    return s;
  }

  AutoRunSetup setup(Edition edition) {
    AutoRunSetup s;
    s.edition = edition;
    s.stubPath = stubPath_;
    s.programFolder = u"Z:\\opt\\zq";
    s.clock = [] { return kToday; };
    return s;
  }
};

TEST_F(AutoRunTest, RunsTheSavedChoicesInEitherEdition) {
  const std::u16string archive = u"C:\\Backups\\Home20240131.exe";
  for (Edition edition : {Edition::Transfer, Edition::Backup}) {
    Settings saved = documentsToBackups();
    // The backup edition keeps a manual selection too.
    saved.manualSelection.check(u"C:\\users\\alice\\Desktop\\Shopping list.txt");
    ASSERT_TRUE(saveSettings(saved, edition));

    RecordingView view;
    const AutoRunOutcome out = runAutomated(setup(edition), view);
    ASSERT_TRUE(out.succeeded()) << out.problem << wideToUtf8(out.info);
    EXPECT_TRUE(out.result.closeProgram);
    const bool backup = edition == Edition::Backup;
    EXPECT_EQ(out.title, backup ? u"The backup was created successfully!"
                                : u"The transfer archive was created successfully!");
    EXPECT_EQ(view.title, out.title);
    EXPECT_EQ(view.texts(RecordingView::Kind::InfoText).at(1),
              backup ? u"Backing up your My Documents folder..."
                     : u"Archiving your My Documents folder...");

    const ReadBack back = readArchive(host(archive), "kettle");
    ASSERT_TRUE(back.ok) << back.why;
    EXPECT_EQ(back.trailer.programpresent[row("My Documents")], 1);
    EXPECT_EQ(back.trailer.manualpresent, backup ? 1 : 0);
    bool notes = false, manual = false;
    for (const auto& file : back.files) {
      if (file.record.filename == u"Notes.txt" && file.record.programname == "My Documents") {
        notes = file.bytes == readHost(host(u"C:\\users\\alice\\Documents\\Notes.txt"));
      }
      if (file.record.programname == "Manual") manual = true;
    }
    EXPECT_TRUE(notes);
    EXPECT_EQ(manual, backup);

    // The run saved the settings, with the name as the edit now holds it.
    Settings reloaded;
    loadSettings(reloaded, edition);
    EXPECT_EQ(reloaded.backupFileName, u"Home.exe");
    fs::remove(host(archive));
  }
}

TEST_F(AutoRunTest, RefusesWhatItCannotDoYet) {
  struct Case {
    const char* what;
    void (*change)(Settings&);
    bool ran;
    std::u16string info;
  };
  const Case cases[] = {
      {"ftp", [](Settings& s) { s.destination = DestinationKind::Ftp; }, false,
       u"Sending the archive to an FTP server is not available in this version."},
      {"disc", [](Settings& s) { s.destination = DestinationKind::Disc; }, false,
       u"Burning the archive to a CD or DVD is not available in this version."},
      {"no folder", [](Settings& s) { s.destinationPath.clear(); }, false,
       u"You haven't chosen a destination path!"},
      {"file types without a saved tree", [](Settings& s) { s.selection[row("Word")] = true; },
       false,
       u"Quillo Transfer Prime was unable to load your previous file and folder selections and "
       u"is unable to perform a scheduled backup.\nPlease restart Quillo Transfer Prime and "
       u"perform a manual backup."},
      {"no collector yet", [](Settings& s) { s.selection[row("Outlook")] = true; }, true,
       u"Unable to find your Outlook PST files!"},
  };
  for (const Case& c : cases) {
    Settings saved = documentsToBackups();
    c.change(saved);
    ASSERT_TRUE(saveSettings(saved, Edition::Transfer));
    RecordingView view;
    const AutoRunOutcome out = runAutomated(setup(Edition::Transfer), view);
    EXPECT_FALSE(out.succeeded()) << c.what;
    EXPECT_EQ(out.ran, c.ran) << c.what;
    EXPECT_EQ(view.title, u"Unable to create transfer archive...") << c.what;
    EXPECT_EQ(view.info, c.info) << c.what;
    EXPECT_FALSE(fs::exists(host(u"C:\\Backups\\Home20240131.exe"))) << c.what;
  }
}

// Alice's computer with a Z: of its own instead of the host's root (a search
// walks only her drives), with a Quicken data file and its attachments.
class AutoSearchTest : public AutoRunTest {
 protected:
  AutoSearchTest() {
    recipe_.drives = {{u'C', "drive_c", u""},
                    {u'D', "drive_d", u"hd"},
                    {u'E', "drive_e", u"cdrom"},
                    {u'Z', "drive_z", u""}};
    SampleData quicken;
    quicken.name = "quicken";
    quicken.files = {{u"C:\\Money\\home.qdf", "qdf data", 0},
                     {u"C:\\Money\\attach\\bill.pdf", "pdf data", 0},
                     {u"Z:\\readme.txt", "nothing to find here", 0}};
    recipe_.data.push_back(quicken);
  }

  // What an interactive run in the backup edition does first: the search,
  // then the settings saved with the result tree.
  void searchAndSave(Settings& s) {
    ResultTree tree;
    RecordingView view;
    DiskSearch search(tree, searchPatternList(s.selection, s.checkedTypes), view);
    ASSERT_TRUE(search.searchFixedDrives());
    SaveOptions options;
    options.saveSearchTree = [&tree] {
      std::string error;
      EXPECT_TRUE(saveResultTree(resultTreeFilePath(), tree, error)) << error;
    };
    ASSERT_TRUE(saveSettings(s, Edition::Backup, options));
  }

  Settings withGroups(std::initializer_list<std::string_view> groups) {
    Settings s = documentsToBackups();
    s.selection = {};
    for (std::string_view g : groups) s.selection[row(g)] = true;
    s.checkedTypes = initialFileTypeChecks();
    // The groups were ticked after the wizard started: the tree is saved all the same.
    s.fileTypesAtLoad = false;
    return s;
  }
};

// The whole road of a scheduled backup with file types: the search and the
// tree saved by an interactive run, the unattended run searching again and
// storing, and the archive's restore program putting the files back.
TEST_F(AutoSearchTest, SearchesTheSavedTreeAgainStoresAndRestoresWhatItFinds) {
  Settings s = withGroups({"Word", "Photos", "Quicken"});
  s.encrypt = false;
  searchAndSave(s);
  // A new document in a ticked folder is found by the unattended run.
  put(u"C:\\users\\alice\\Documents\\New.doc", "new");

  RecordingView view;
  AutoRunSetup withRealStub = setup(Edition::Backup);
  withRealStub.stubPath = kStubDat;
  const AutoRunOutcome out = runAutomated(withRealStub, view);
  ASSERT_TRUE(out.succeeded()) << out.problem << wideToUtf8(out.info);
  const std::string archive = host(u"C:\\Backups\\Home20240131.exe");
  const ReadBack back = readArchive(archive);
  ASSERT_TRUE(back.ok) << back.why;
  for (const char* group : {"Word", "Photos", "Quicken"}) {
    EXPECT_EQ(back.trailer.programpresent[row(group)], 1) << group;
  }
  std::vector<std::string> stored;
  for (const auto& file : back.files) {
    stored.push_back(file.record.programname + " " + file.record.tag + " " +
                     wideToUtf8(file.record.relativefolder) + " " +
                     wideToUtf8(file.record.filename));
  }
  EXPECT_EQ(stored, (std::vector<std::string>{
                        "Photos userdir \\Pictures Holiday 001.jpg",
                        "Quicken normal C\\Money home.qdf",
                        "Quicken home.qdf attach bill.pdf",
                        "Word desktop  Minutes.doc",
                        "Word documents  Letter to Bob.doc",
                        "Word documents  New.doc",
                        "Word normal D\\Archive\\2019 Old report.doc",
                    }));

  // Gone from the computer, back from the archive where they lay.
  const std::u16string files[] = {u"C:\\users\\alice\\Pictures\\Holiday 001.jpg",
                                  u"C:\\Money\\home.qdf",
                                  u"C:\\Money\\attach\\bill.pdf",
                                  u"C:\\users\\alice\\Desktop\\Minutes.doc",
                                  u"C:\\users\\alice\\Documents\\New.doc",
                                  u"D:\\Archive\\2019\\Old report.doc"};
  std::vector<std::string> contents;
  for (const std::u16string& file : files) {
    contents.push_back(readHost(host(file)));
    ASSERT_TRUE(deleteFile(file)) << wideToUtf8(file);
  }
  fs::permissions(archive, fs::perms::owner_exec, fs::perm_options::add);
  const ProgramRun restore = runProgram({archive, "--detect", "--machine", prefix_});
  EXPECT_EQ(restore.exitCode, 0) << restore.out << restore.err;
  for (size_t i = 0; i < contents.size(); ++i) {
    EXPECT_EQ(readHost(host(files[i])), contents[i]) << wideToUtf8(files[i]);
  }
}

TEST_F(AutoSearchTest, FailsWithoutASavedTreeOrWhenNothingIsLeft) {
  Settings s = withGroups({"Quicken"});
  ASSERT_TRUE(saveSettings(s, Edition::Backup));
  RecordingView view;
  AutoRunOutcome out = runAutomated(setup(Edition::Backup), view);
  EXPECT_FALSE(out.ran);
  EXPECT_EQ(view.info, kAutomatedSearchFailedText);

  searchAndSave(s);
  ASSERT_TRUE(deleteFile(u"C:\\Money\\home.qdf"));
  out = runAutomated(setup(Edition::Backup), view);
  EXPECT_FALSE(out.ran);
  EXPECT_EQ(view.title, u"Unable to complete backup.");
  EXPECT_EQ(view.info, kNothingFoundText);
  EXPECT_FALSE(fs::exists(host(u"C:\\Backups\\Home20240131.exe")));
}

// The program as the scheduled task starts it, on a sample computer whose
// settings the wizard saved earlier; the archive then restores with the
// restore program it carries.
TEST_F(AutoRunTest, ProgramRunsUnattended) {
  const Edition edition = builtEdition();
  const bool backup = edition == Edition::Backup;
  Settings saved = documentsToBackups();
  saved.dateStamp = false;
  saved.encrypt = false;
  ASSERT_TRUE(saveSettings(saved, edition));

  const ProgramRun run = runProgram({kWizard, "-Auto", "--machine", prefix_});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  const std::string done = backup ? "The backup was created successfully!\n"
                                  : "The transfer archive was created successfully!\n";
  const std::string where = backup
                                ? "The Backup is located here:\nC:\\Backups\\Home.exe\n"
                                : "The Transfer Archive is located here:\nC:\\Backups\\Home.exe\n";
  EXPECT_NE(run.out.find(done), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(where), std::string::npos) << run.out;

  const std::string archive = host(u"C:\\Backups\\Home.exe");
  ASSERT_TRUE(fs::exists(archive));
  EXPECT_EQ(readHost(archive).substr(0, 2), readHost(kStubDat).substr(0, 2));
  EXPECT_EQ(readHost(archive).compare(0, readHost(kStubDat).size(), readHost(kStubDat)), 0);
  const ReadBack back = readArchive(archive);
  ASSERT_TRUE(back.ok) << back.why;
  EXPECT_FALSE(back.files.empty());
  const std::string log =
      readHost(host(u"C:\\users\\alice\\AppData\\Roaming\\Quillo Transfer Prime\\lastlog.html"));
  EXPECT_NE(log.find(std::string(backup ? "[Backed up]" : "[Archived]") +
                     " C:\\users\\alice\\Documents\\Notes.txt<br>\r\n"),
            std::string::npos)
      << log;

  fs::permissions(archive, fs::perms::owner_exec, fs::perm_options::add);
  const ProgramRun check = runProgram({archive, "--check", "--machine", prefix_});
  EXPECT_EQ(check.exitCode, 0) << check.out << check.err;

  // A failed run says so in its exit status.
  saved.selection[row("Outlook")] = true;
  ASSERT_TRUE(saveSettings(saved, edition));
  const ProgramRun failed = runProgram({kWizard, "-auto", "--machine", prefix_});
  EXPECT_EQ(failed.exitCode, 1) << failed.out << failed.err;
  EXPECT_NE(failed.out.find(std::string(backup ? "Unable to complete backup."
                                               : "Unable to create transfer archive...") +
                            "\nUnable to find your Outlook PST files!\n"),
            std::string::npos)
      << failed.out;
}

}  // namespace
}  // namespace zq
