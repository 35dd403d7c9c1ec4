// Backup runs on a sample computer: the archive on disk read back, the texts
// on the view, the run log, and what a failed or cancelled run leaves.
#include "archive/backup_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "backup_test_support.h"
#include "core/machine_wrapper.h"
#include "core/registry_helpers.h"
#include "testing/recording_view.h"

namespace zq {
namespace {

namespace fs = std::filesystem;
using testing::readArchive;
using testing::ReadBack;
using testing::readHost;

const std::u16string kArchive = u"C:\\Backups\\Home.exe";
const std::u16string kCompanion = u"C:\\Backups\\HomeData.dat";
const std::u16string kNotes = u"C:\\users\\alice\\Documents\\Notes.txt";
const std::u16string kLog =
    u"C:\\users\\alice\\AppData\\Roaming\\Quillo Transfer Prime\\lastlog.html";
constexpr size_t kMyDocuments = 12;
constexpr size_t kOutlook = 15;
constexpr size_t kFirefox = 5;

const std::u16string kTransferDone =
    u"You may now run the executable transfer archive on the destination computer and let the "
    u"wizard guide you through restoring your files.\n\n";

std::string randomBytes(size_t size) {
  std::mt19937 random(7);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

CollectorStep storing(std::string name, std::u16string path) {
  return {std::move(name),
          [path](Entries& e) { return e.addFile(path, u"", "main", "My Documents"); }};
}

CollectorStep failing(std::string name, std::u16string text) {
  return {std::move(name), [text](Entries& e) {
            e.setErrorText(text);
            return false;
          }};
}

class BackupRunTest : public testing::SampleComputer {
 protected:
  BackupJob job(bool backupEdition = false) {
    BackupJob j;
    j.backupEdition = backupEdition;
    j.archivePath = kArchive;
    j.stubPath = stubPath_;
    j.clock = [] { return LocalDateTime{2024, 1, 31, 14, 5, 9}; };
    return j;
  }

  // A job that stores alice's Notes.txt as her My Documents.
  BackupJob notesJob(bool backupEdition = false) {
    BackupJob j = job(backupEdition);
    j.selection[kMyDocuments] = true;
    j.collectors = {storing("My Documents", kNotes)};
    return j;
  }

  std::vector<std::string> backupFolder() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(host(u"C:\\Backups"))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  RecordingView view_;
};

TEST_F(BackupRunTest, NothingSelectedGivesTheStubAndATrailer) {
  const BackupResult r = runBackup(job(), view_);
  ASSERT_TRUE(r.succeeded) << r.problem;
  EXPECT_EQ(readHost(host(kArchive)).size(), stub_.size() + kTrailerSize);
  EXPECT_EQ(readHost(host(kArchive)).substr(0, stub_.size()), stub_);
  const ReadBack back = readArchive(host(kArchive));
  ASSERT_TRUE(back.ok) << back.why;
  EXPECT_EQ(back.trailer.recordcount, 0);
  EXPECT_EQ(back.trailer.productname, "Quillo Transfer Prime");
  EXPECT_EQ(back.trailer.versiontext, "3.2");
  EXPECT_EQ(back.trailer.programpresent, (std::array<uint8_t, kCatalogueSize>{}));
  EXPECT_EQ(backupFolder(), std::vector<std::string>{"Home.exe"});

  const std::u16string info = u"A total of 0 files were archived.\n\n" + kTransferDone +
                              u"The Transfer Archive is located here:\n" + kArchive;
  EXPECT_EQ(r.title, u"The transfer archive was created successfully!");
  EXPECT_EQ(r.info, info);
  EXPECT_EQ(view_.title, r.title);
  EXPECT_EQ(view_.info, info);
  EXPECT_EQ(view_.texts(RecordingView::Kind::ProgressText),
            (std::vector<std::u16string>{u"Initializing...", u"Backing up file information..."}));

  EXPECT_EQ(r.logPath, kLog);
  EXPECT_EQ(readHost(host(kLog)),
            "<html>\r\n"
            "<title>Quillo Transfer Prime Log</title>\r\n"
            "<body>\r\n"
            "<h1>Quillo Transfer Prime Log</h1><br>\r\n"
            "<h2>Date: 1/31/2024 2:05:09 PM</h2><br><br>\r\n"
            "--<br>\r\n"
            "The transfer archive was created successfully!<br>\r\n"
            "A total of 0 files were archived.<br><br>You may now run the executable transfer "
            "archive on the destination computer and let the wizard guide you through restoring "
            "your files.<br><br>The Transfer Archive is located here:<br>C:\\Backups\\Home.exe"
            "<br>\r\n"
            "</body></html>\r\n");
}

// What each edition says, on success and on failure.
TEST_F(BackupRunTest, EachEditionHasItsOwnWords) {
  struct Edition {
    bool backup;
    std::u16string verb, logged, title, info, failed;
    std::string logTitle;
  };
  const Edition editions[] = {
      {true, u"Backing up ", u"[Backed up] ", u"The backup was created successfully!",
       u"A total of 1 files were backed up.\n\nTo restore the backup simply run the executable "
       u"backup file on the computer you wish to restore to.\n\nThe Backup is located here:\n" +
           kArchive,
       u"Unable to complete backup.", "Zarvo Backup Prime"},
      {false, u"Archiving ", u"[Archived] ", u"The transfer archive was created successfully!",
       u"A total of 1 files were archived.\n\n" + kTransferDone +
           u"The Transfer Archive is located here:\n" + kArchive,
       u"Unable to create transfer archive...", "Quillo Transfer Prime"},
  };
  for (const Edition& e : editions) {
    RecordingView view;
    const BackupResult r = runBackup(notesJob(e.backup), view);
    ASSERT_TRUE(r.succeeded) << r.problem;
    EXPECT_EQ(r.title, e.title);
    EXPECT_EQ(r.info, e.info);
    EXPECT_EQ(view.texts(RecordingView::Kind::ProgressText).at(1), e.verb + kNotes);
    const std::string log = readHost(host(kLog));
    EXPECT_NE(log.find("<title>" + e.logTitle + " Log</title>\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(wideToUtf8(e.logged + kNotes) + "<br>\r\n"), std::string::npos) << log;

    const ReadBack back = readArchive(host(kArchive));
    ASSERT_TRUE(back.ok) << back.why;
    EXPECT_EQ(back.trailer.programpresent[kMyDocuments], 1);
    EXPECT_EQ(back.trailer.productname, "Quillo Transfer Prime");
    ASSERT_EQ(back.files.size(), 1u);
    EXPECT_EQ(back.files[0].bytes, readHost(host(kNotes)));

    BackupJob bad = job(e.backup);
    bad.selection[kOutlook] = true;
    bad.collectors = {failing("Outlook", u"Unable to find your Outlook PST files!")};
    const BackupResult f = runBackup(bad, view);
    EXPECT_FALSE(f.succeeded);
    EXPECT_EQ(f.title, e.failed);
    EXPECT_EQ(f.info, u"Unable to find your Outlook PST files!");
  }
}

TEST_F(BackupRunTest, FailingCollectorKeepsThePreviousArchive) {
  ASSERT_TRUE(runBackup(notesJob(), view_).succeeded);
  const std::string previous = readHost(host(kArchive));

  BackupJob j = notesJob();
  std::vector<std::string> called;
  j.selection[kOutlook] = j.selection[kFirefox] = true;
  // In run order: Outlook first; it succeeds but leaves a reason behind,
  // then My Documents fails, and Firefox must never be asked.
  j.collectors = {
      {"Outlook",
       [&](Entries& e) {
         called.push_back("Outlook");
         e.setErrorText(u"an add that failed after the collector had succeeded");
         return true;
       }},
      {"My Documents",
       [&](Entries& e) {
         called.push_back("My Documents");
         e.addFile(kNotes, u"", "main", "My Documents");
         e.setErrorText(u"Unable to find your My Documents folder data!");
         return false;
       }},
      {"Firefox",
       [&](Entries&) {
         called.push_back("Firefox");
         return true;
       }},
  };
  const BackupResult r = runBackup(j, view_);
  EXPECT_FALSE(r.succeeded);
  EXPECT_EQ(called, (std::vector<std::string>{"Outlook", "My Documents"}));
  EXPECT_EQ(r.info, u"Unable to find your My Documents folder data!");
  EXPECT_EQ(readHost(host(kArchive)), previous);
  EXPECT_EQ(backupFolder(), std::vector<std::string>{"Home.exe"});
  const std::string log = readHost(host(kLog));
  EXPECT_NE(log.find("--<br>\r\nUnable to create transfer archive...<br>\r\nUnable to find your "
                     "My Documents folder data!<br>\r\n</body></html>\r\n"),
            std::string::npos)
      << log;
}

TEST_F(BackupRunTest, CancelLeavesNothingNew) {
  ASSERT_TRUE(runBackup(notesJob(), view_).succeeded);
  const std::string previous = readHost(host(kArchive));
  const std::u16string big = u"C:\\users\\alice\\Documents\\big.bin";
  put(big, randomBytes(300000));

  BackupJob j = job();
  bool later = false, scheduled = false;
  j.selection[kMyDocuments] = j.selection[kOutlook] = true;
  j.collectors = {storing("Outlook", big),
                  {"My Documents", [&](Entries&) { return later = true; }}};
  j.updateSchedule = [&] { scheduled = true; };
  RecordingView view;
  view.cancelWhen = [](const RecordingView& v) { return v.pumps >= 2; };  // after a chunk
  const BackupResult r = runBackup(j, view);

  EXPECT_FALSE(r.succeeded);
  EXPECT_TRUE(r.cancelled);
  EXPECT_FALSE(later);
  EXPECT_FALSE(scheduled);
  EXPECT_EQ(r.title, u"Unable to create transfer archive...");
  EXPECT_EQ(r.info, u"");
  EXPECT_EQ(readHost(host(kArchive)), previous);
  EXPECT_EQ(backupFolder(), std::vector<std::string>{"Home.exe"});
  EXPECT_EQ(readHost(host(kLog)).find("[Archived]"), std::string::npos);
}

TEST_F(BackupRunTest, BigBodyMovesToTheCompanion) {
  BackupJob j = notesJob();
  j.companionThreshold = 1;  // every body counts as 4 GiB
  const BackupResult r = runBackup(j, view_);
  ASSERT_TRUE(r.succeeded) << r.problem << wideToUtf8(r.errorText);
  EXPECT_TRUE(r.split);
  EXPECT_EQ(r.companionPath, kCompanion);
  EXPECT_EQ(readHost(host(kArchive)), stub_);
  const ReadBack back = readArchive(host(kCompanion));
  ASSERT_TRUE(back.ok) << back.why;
  ASSERT_EQ(back.files.size(), 1u);
  EXPECT_EQ(back.files[0].bytes, readHost(host(kNotes)));
  EXPECT_EQ(r.info, u"A total of 1 files were archived.\n\n" + kTransferDone +
                        u"The transfer archive was was more than 4GB in size and had to be split "
                        u"into 2 files.\n\nThe transfer archives are located here:\n" +
                        kArchive + u"\n" + kCompanion);
  EXPECT_EQ(backupFolder(), (std::vector<std::string>{"Home.exe", "HomeData.dat"}));

  BackupJob b = notesJob(true);
  b.companionThreshold = 1;
  EXPECT_NE(
      runBackup(b, view_).info.find(
          u"on the computer you wish to restore to.  The Backup was was more than 4GB in size "
          u"and therefore had to be split into 2 files.\n\nThe backup files are located "
          u"here:\n" +
          kArchive + u"\n" + kCompanion),
      std::u16string::npos);

  // The next, smaller archive of the same name stands alone: the old
  // companion would otherwise be restored in its place.
  const BackupResult small = runBackup(notesJob(), view_);
  ASSERT_TRUE(small.succeeded);
  EXPECT_FALSE(small.split);
  EXPECT_EQ(backupFolder(), std::vector<std::string>{"Home.exe"});
  EXPECT_TRUE(readArchive(host(kArchive)).ok);
}

TEST_F(BackupRunTest, FailedCompanionMoveKeepsThePreviousArchive) {
  ASSERT_TRUE(runBackup(notesJob(), view_).succeeded);
  const std::string previous = readHost(host(kArchive));
  fs::create_directory(host(kCompanion));  // nothing can be moved there

  BackupJob j = notesJob();
  j.companionThreshold = 1;
  const BackupResult r = runBackup(j, view_);
  EXPECT_FALSE(r.succeeded);
  EXPECT_EQ(r.info, u"4GB Error.  Please contact support@mervantic.com for more information.");
  EXPECT_EQ(readHost(host(kArchive)), previous);
  EXPECT_EQ(backupFolder(), (std::vector<std::string>{"Home.exe", "HomeData.dat"}));
}

// A machine whose first rename to one path, or every delete of one path,
// fails.
class StuckPath : public MachineWrapper {
 public:
  StuckPath(Machine& target, std::u16string moveTo, std::u16string deleted = u"")
      : MachineWrapper(target), moveTo_(std::move(moveTo)), deleted_(std::move(deleted)) {}
  bool moveFile(std::u16string_view from, std::u16string_view to) override {
    if (to == moveTo_ && !failed_) {
      failed_ = true;
      return false;
    }
    return MachineWrapper::moveFile(from, to);
  }
  bool deleteFile(std::u16string_view path) override {
    return path != deleted_ && MachineWrapper::deleteFile(path);
  }

 private:
  std::u16string moveTo_;
  std::u16string deleted_;
  bool failed_ = false;
};

// A split run that fails at either move leaves the previous archive, split
// or not, and its companion exactly as they were.
TEST_F(BackupRunTest, FailedSplitLeavesThePreviousFilesAlone) {
  struct Case {
    bool previousSplit;
    std::u16string stuck;
  };
  for (const Case& c : {Case{true, kArchive}, Case{true, kCompanion}, Case{false, kArchive},
                        Case{false, kCompanion}}) {
    SCOPED_TRACE(::testing::Message() << c.previousSplit << " " << wideToUtf8(c.stuck));
    fs::remove_all(host(u"C:\\Backups"));
    BackupJob previous = job();
    previous.selection[kFirefox] = true;
    previous.collectors = {storing("Firefox", kNotes)};
    if (c.previousSplit) previous.companionThreshold = 1;
    ASSERT_TRUE(runBackup(previous, view_).succeeded);
    const std::vector<std::string> before = backupFolder();
    const std::string archive = readHost(host(kArchive));
    const std::string companion = c.previousSplit ? readHost(host(kCompanion)) : "";

    StuckPath stuck(*machine_, c.stuck);
    ScopedMachine scope(stuck);
    BackupJob j = notesJob();
    j.companionThreshold = 1;
    const BackupResult r = runBackup(j, view_);
    EXPECT_FALSE(r.succeeded);
    EXPECT_EQ(r.info, u"4GB Error.  Please contact support@mervantic.com for more information.");
    EXPECT_EQ(backupFolder(), before);
    EXPECT_TRUE(readHost(host(kArchive)) == archive);
    if (c.previousSplit) {
      EXPECT_TRUE(readHost(host(kCompanion)) == companion);
    }
  }
}

TEST_F(BackupRunTest, SplitOverASplitArchiveReplacesBoth) {
  BackupJob previous = job();
  previous.selection[kFirefox] = true;
  previous.collectors = {storing("Firefox", kNotes)};
  previous.companionThreshold = 1;
  ASSERT_TRUE(runBackup(previous, view_).succeeded);
  BackupJob j = notesJob();
  j.companionThreshold = 1;
  const BackupResult r = runBackup(j, view_);
  ASSERT_TRUE(r.succeeded) << r.problem;
  EXPECT_EQ(r.problem, "");
  EXPECT_EQ(backupFolder(), (std::vector<std::string>{"Home.exe", "HomeData.dat"}));
  const ReadBack back = readArchive(host(kCompanion));
  ASSERT_TRUE(back.ok) << back.why;
  EXPECT_EQ(back.trailer.programpresent[kFirefox], 0);
  EXPECT_EQ(back.trailer.programpresent[kMyDocuments], 1);
}

// A stale companion that cannot be deleted is told, not passed over.
TEST_F(BackupRunTest, UndeletableOldCompanionIsReported) {
  BackupJob split = notesJob();
  split.companionThreshold = 1;
  ASSERT_TRUE(runBackup(split, view_).succeeded);
  StuckPath stuck(*machine_, u"", kCompanion);
  ScopedMachine scope(stuck);
  const BackupResult r = runBackup(notesJob(), view_);
  EXPECT_TRUE(r.succeeded);
  EXPECT_NE(r.problem.find("HomeData.dat"), std::string::npos) << r.problem;
  EXPECT_TRUE(readArchive(host(kArchive)).ok);
}

TEST_F(BackupRunTest, EncryptedArchiveOpensOnlyWithItsPassphrase) {
  BackupJob j = notesJob();
  j.encrypt = true;
  j.passphrase = u"Open Sesame";
  ASSERT_TRUE(runBackup(j, view_).succeeded);
  const ReadBack back = readArchive(host(kArchive), "Open Sesame");
  ASSERT_TRUE(back.ok) << back.why;
  EXPECT_EQ(back.trailer.encrypted, 1);
  EXPECT_TRUE(checkBlockOpens(keyTextFromPassphrase("Open Sesame"), back.trailer.checkleft,
                              back.trailer.checkright));
  EXPECT_EQ(back.files.at(0).bytes, readHost(host(kNotes)));
  EXPECT_FALSE(readArchive(host(kArchive), "Close Sesame").ok);
}

TEST_F(BackupRunTest, RunGoesOnWithoutItsLog) {
  put(u"C:\\users\\alice\\AppData\\Roaming\\Quillo Transfer Prime", "a file in the folder's place");
  const BackupResult r = runBackup(notesJob(), view_);
  EXPECT_TRUE(r.succeeded);
  EXPECT_EQ(r.logPath, u"");
  EXPECT_TRUE(readArchive(host(kArchive)).ok);
}

TEST_F(BackupRunTest, MissingRestoreProgramFailsWithoutAnArchive) {
  BackupJob j = notesJob();
  j.stubPath = scratch_.sub("no-stub.dat");
  const BackupResult r = runBackup(j, view_);
  EXPECT_FALSE(r.succeeded);
  EXPECT_EQ(r.info, u"");
  EXPECT_NE(r.problem.find("no-stub.dat"), std::string::npos) << r.problem;
  EXPECT_FALSE(fs::exists(host(u"C:\\Backups")));
}

// A destination that fills up after `room` bytes of the archive.
class SmallDisk : public MachineWrapper {
 public:
  SmallDisk(Machine& target, size_t room) : MachineWrapper(target), room_(room) {}
  class Limited : public File {
   public:
    Limited(std::unique_ptr<File> file, size_t& room) : file_(std::move(file)), room_(room) {}
    size_t read(void* b, size_t n) override { return file_->read(b, n); }
    bool write(const void* b, size_t n) override {
      if (n > room_) return false;
      room_ -= n;
      return file_->write(b, n);
    }
    bool seek(uint64_t p) override { return file_->seek(p); }
    uint64_t position() const override { return file_->position(); }
    int64_t size() const override { return file_->size(); }
    bool close() override { return file_->close(); }

   private:
    std::unique_ptr<File> file_;
    size_t& room_;
  };
  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                 std::string* error) override {
    auto file = MachineWrapper::openFile(path, mode, error);
    if (!file || mode == OpenMode::Read || !path.ends_with(kPartialSuffix)) return file;
    return std::make_unique<Limited>(std::move(file), room_);
  }

 private:
  size_t room_;
};

TEST_F(BackupRunTest, FullDiskFailsAndLeavesThePreviousArchive) {
  ASSERT_TRUE(runBackup(notesJob(), view_).succeeded);
  const std::string previous = readHost(host(kArchive));
  // Room for the stub and part of the data; then for the stub and the data
  // but not the records.
  for (size_t extra : {size_t{10}, size_t{200}}) {
    SmallDisk disk(*machine_, stub_.size() + extra);
    ScopedMachine scope(disk);
    RecordingView view;
    const BackupResult r = runBackup(notesJob(), view);
    EXPECT_FALSE(r.succeeded);
    EXPECT_EQ(r.info, u"Unable to write to destination.  Is it possible the disk is full?");
    EXPECT_EQ(readHost(host(kArchive)), previous);
    EXPECT_EQ(backupFolder(), std::vector<std::string>{"Home.exe"});
  }
}

TEST_F(BackupRunTest, EndOfRunFollowsHowItWasStarted) {
  struct Case {
    bool automated, autoclose, closes, schedules;
  };
  for (const Case& c : {Case{true, true, true, false}, Case{true, false, false, false},
                        Case{false, true, false, true}, Case{false, false, false, true}}) {
    BackupJob j = job();
    j.automatedRun = c.automated;
    j.autoclose = c.autoclose;
    int saved = 0;
    bool scheduled = false;
    j.saveSettings = [&] { ++saved; };
    j.updateSchedule = [&] { scheduled = true; };
    const BackupResult r = runBackup(j, view_);
    EXPECT_EQ(r.closeProgram, c.closes);
    EXPECT_EQ(scheduled, c.schedules);
    EXPECT_EQ(saved, 1);
  }
}

TEST(RunLogDate, FollowsTheFormatPictures) {
  const LocalDateTime afternoon{2024, 1, 31, 14, 5, 9};
  const LocalDateTime morning{2009, 7, 4, 0, 30, 0};
  struct Case {
    LocalDateTime when;
    std::u16string picture, expected;
  };
  const Case cases[] = {
      {afternoon, u"M/d/yyyy", u"1/31/2024"},
      {afternoon, u"dd.MM.yy", u"31.01.24"},
      {afternoon, u"dddd, MMMM d, yyyy", u"Wednesday, January 31, 2024"},
      {morning, u"ddd d MMM yyyy", u"Sat 4 Jul 2009"},
      {afternoon, u"h:mm:ss tt", u"2:05:09 PM"},
      {afternoon, u"HH:mm:ss", u"14:05:09"},
      {morning, u"hh:mm t", u"12:30 A"},
      {afternoon, u"'at' H 'o''clock'", u"at 14 o'clock"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatDateTime(c.when, c.picture), c.expected) << wideToUtf8(c.picture);
  }
}

TEST_F(BackupRunTest, LogDateUsesTheUsersFormats) {
  EXPECT_EQ(userDateTimeText({2024, 1, 31, 14, 5, 9}), u"1/31/2024 2:05:09 PM");
  EXPECT_EQ(userDateTimeText({2024, 1, 31, 0, 0, 0}), u"1/31/2024");
  const std::u16string key = u"Control Panel\\International";
  ASSERT_TRUE(writeUserRegString(key, u"sShortDate", u"dd.MM.yyyy"));
  ASSERT_TRUE(writeUserRegString(key, u"sTimeFormat", u"HH:mm:ss"));
  EXPECT_EQ(userDateTimeText({2024, 1, 31, 14, 5, 9}), u"31.01.2024 14:05:09");
  EXPECT_EQ(userDateTimeText({2024, 1, 31, 0, 0, 1}), u"31.01.2024 00:00:01");
}

}  // namespace
}  // namespace zq
