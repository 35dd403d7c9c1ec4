// The restore engine in-process, against the target computer: where each
// location tag sends a file in both destination modes, the Quicken rule,
// program and tag selection, the outcome of a run, and what happens to the
// user's existing files when a restore fails or is cancelled.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/dos_time.h"
#include "core/machine_wrapper.h"
#include "stub/restore_list.h"
#include "stub/restore_run.h"
#include "stub/stub_texts.h"
#include "stub_test_support.h"
#include "testing/recording_view.h"

namespace zq {
namespace {

using stubtest::ArchiveRecipe;
using stubtest::Stored;
using stubtest::TargetComputer;

// An archive body in memory, opened with its records read.
struct OpenArchive {
  explicit OpenArchive(const ArchiveRecipe& recipe)
      : body(stubtest::buildBody(recipe, testing::seededStub(300))), source(body), reader(source) {
    std::string why;
    EXPECT_TRUE(reader.open(&why)) << why;
    if (reader.encrypted()) {
      EXPECT_TRUE(reader.useKeyText(keyTextFromPassphrase(recipe.passphrase)));
    }
    EXPECT_TRUE(reader.readRecords(&why)) << why;
    list = buildRestoreList(reader.trailer());
  }
  RunOutcome run(ProgressView& view, RestoreChoices choices = {}) {
    return runRestore(reader, list, choices, view);
  }

  testing::Bytes body;
  MemorySource source;
  ArchiveReader reader;
  std::vector<RestoreListEntry> list;
};

ArchiveRecipe recipeOf(std::vector<Stored> files) {
  ArchiveRecipe recipe;
  recipe.files = std::move(files);
  return recipe;
}

RestoreChoices chosenFolder(std::u16string folder) {
  RestoreChoices choices;
  choices.detectFolder = false;
  choices.destinationPath = std::move(folder);
  return choices;
}

// ---------------------------------------------------------------- locations

struct Placement {
  Stored file;
  std::u16string detected;  // where it goes when the destination is detected
  std::u16string chosen;    // below the chosen folder C:\Restore
};

const std::vector<Placement>& placements() {
  static const std::vector<Placement> table = {
      {{"Manual", "desktop", u"", u"C:\\users\\alice\\Desktop\\", u"report.doc", "report"},
       u"C:\\users\\bob\\Desktop\\report.doc",
       u"C:\\Restore\\Manual\\Desktop\\report.doc"},
      {{"Manual", "documents", u"\\taxes", u"C:\\users\\alice\\Documents\\taxes\\", u"2010.txt",
        "taxes"},
       u"D:\\Bob Papers\\taxes\\2010.txt",
       u"C:\\Restore\\Manual\\Documents\\taxes\\2010.txt"},
      {{"Manual", "appdata", u"\\Mozilla\\x", u"C:\\users\\alice\\AppData\\Roaming\\Mozilla\\x\\",
        u"prefs.js", "prefs"},
       u"C:\\users\\bob\\AppData\\Roaming\\Mozilla\\x\\prefs.js",
       u"C:\\Restore\\Manual\\AppData\\Mozilla\\x\\prefs.js"},
      {{"Manual", "localappdata", u"\\Cache", u"C:\\users\\alice\\AppData\\Local\\Cache\\",
        u"c.bin", std::string(70000, 'c')},
       u"C:\\users\\bob\\AppData\\Local\\Cache\\c.bin",
       u"C:\\Restore\\Manual\\LocalAppData\\Cache\\c.bin"},
      {{"Manual", "programfiles", u"\\Tool", u"C:\\Program Files\\Tool\\", u"tool.ini", "[t]",
        0x21},
       u"C:\\Program Files\\Tool\\tool.ini",
       u"C:\\Restore\\Manual\\Program Files\\Tool\\tool.ini"},
      {{"Manual", "userdir", u"\\.config", u"C:\\users\\alice\\.config\\", u"u.txt", ""},
       u"C:\\users\\bob\\.config\\u.txt",
       u"C:\\Restore\\Manual\\UserDir\\.config\\u.txt"},
      {{"Manual", "normal", u"C\\Data\\", u"C:\\Data\\", u"a.txt", "data"},
       u"C:\\Data\\a.txt",
       u"C:\\Restore\\Manual\\C\\Data\\a.txt"},
      // A name near the host's limit still gets its temporary file.
      {{"Manual", "desktop", u"", u"C:\\a\\", std::u16string(250, u'L') + u".txt", "long"},
       u"C:\\users\\bob\\Desktop\\" + std::u16string(250, u'L') + u".txt",
       u"C:\\Restore\\Manual\\Desktop\\" + std::u16string(250, u'L') + u".txt"},
      {{"Word", "desktop", u"\\Letters", u"C:\\users\\alice\\Desktop\\Letters\\", u"letter.doc",
        "letter"},
       u"C:\\users\\bob\\Desktop\\Letters\\letter.doc",
       u"C:\\Restore\\Word\\Desktop\\Letters\\letter.doc"},
  };
  return table;
}

TEST(LocationRestore, EachTagGoesToItsPlaceInBothModes) {
  ArchiveRecipe recipe;
  for (const auto& p : placements()) recipe.files.push_back(p.file);
  for (const bool detect : {true, false}) {
    SCOPED_TRACE(detect ? "detected destination" : "chosen folder");
    TargetComputer target;
    OpenArchive archive(recipe);
    RecordingView view;
    const RunOutcome outcome =
        archive.run(view, detect ? RestoreChoices{} : chosenFolder(u"C:\\Restore"));
    EXPECT_TRUE(outcome.restored) << wideToUtf8(outcome.text);
    EXPECT_EQ(view.title, stubtext::kRestoredTitle);
    ASSERT_EQ(outcome.programs.size(), 2u);
    EXPECT_EQ(outcome.programs[0].name, "Word");  // programs in table order, manual last
    EXPECT_EQ(outcome.programs[1].files, 8u);

    for (const auto& p : placements()) {
      const std::u16string& where = detect ? p.detected : p.chosen;
      SCOPED_TRACE(wideToUtf8(where));
      EXPECT_EQ(target.content(where), p.file.bytes);
      FileInfo info;
      ASSERT_TRUE(target.machine().fileInfo(where, info));
      EXPECT_EQ(fileTimeToDays(info.writeTime), stubtest::sampleWriteTime());
      EXPECT_EQ(info.attributes & kAttrReadOnly, p.file.attributes & kAttrReadOnly);
    }
    // Nothing but the targets and their folders: no temporary files left.
    for (const auto& path : stubtest::filesBelow(target.prefix())) {
      EXPECT_EQ(path.find(".zqtmp"), std::string::npos) << path;
    }
  }
}

TEST(LocationRestore, UnknownSpecialFolderFailsInsteadOfFallingBackToTheSource) {
  TargetComputer target;
  // A machine that knows no desktop folder.
  class NoDesktop : public MachineWrapper {
   public:
    using MachineWrapper::MachineWrapper;
    std::u16string specialFolder(SpecialFolder folder) override {
      return folder == SpecialFolder::Desktop ? u"" : MachineWrapper::specialFolder(folder);
    }
    bool readValue(RegRoot, std::u16string_view, std::u16string_view, RegValue&) override {
      return false;
    }
  } machine(target.machine());
  ScopedMachine scoped(machine);
  OpenArchive archive(recipeOf({placements()[0].file}));
  RecordingView view;
  const RunOutcome outcome = archive.run(view);
  EXPECT_FALSE(outcome.restored);
  EXPECT_EQ(target.content(u"C:\\users\\alice\\Desktop\\report.doc"), "<missing>");
  ASSERT_EQ(outcome.programs.size(), 1u);
  ASSERT_EQ(outcome.programs[0].problems.size(), 1u);
  EXPECT_NE(outcome.programs[0].problems[0].find("desktop folder"), std::string::npos);
}

TEST(LocationRestore, QuickenDataFileBringsItsAttachmentsAlong) {
  TargetComputer target;
  OpenArchive archive(recipeOf({
      {"Quicken", "documents", u"\\money", u"C:\\users\\alice\\Documents\\money\\", u"home.qdf",
       "qdf"},
      {"Quicken", "home.qdf", u"attach", u"C:\\users\\alice\\Documents\\money\\attach\\",
       u"receipt.pdf", "pdf"},
      {"Quicken", "home.qdf", u"attach\\2010", u"C:\\x\\", u"old.pdf", "old"},
      // A data file whose attachments hold itself: the chain must end.
      {"Quicken", "documents", u"", u"C:\\x\\", u"loop.qdf", "loop"},
      {"Quicken", "loop.qdf", u"", u"C:\\x\\", u"loop.qdf", "loop"},
  }));
  RecordingView view;
  EXPECT_TRUE(archive.run(view).restored);
  EXPECT_EQ(target.content(u"D:\\Bob Papers\\money\\home.qdf"), "qdf");
  EXPECT_EQ(target.content(u"D:\\Bob Papers\\money\\attach\\receipt.pdf"), "pdf");
  EXPECT_EQ(target.content(u"D:\\Bob Papers\\money\\attach\\2010\\old.pdf"), "old");
  EXPECT_EQ(target.content(u"D:\\Bob Papers\\loop.qdf"), "loop");
}

// An attachment that cannot be put back is a failed restore, although the
// data file itself came back.
TEST(LocationRestore, AFailedAttachmentFailsTheProgram) {
  TargetComputer target;
  OpenArchive archive(recipeOf({
      {"Quicken", "documents", u"\\money", u"C:\\users\\alice\\Documents\\money\\",
       u"home.qdf", "qdf"},
      {"Quicken", "home.qdf", u"..", u"C:\\x\\", u"escape.pdf", "pdf"},
  }));
  RecordingView view;
  const RunOutcome outcome = archive.run(view);
  EXPECT_FALSE(outcome.restored);
  ASSERT_EQ(outcome.programs.size(), 1u);
  EXPECT_FALSE(outcome.programs[0].restored);
  EXPECT_FALSE(outcome.programs[0].errortext.empty());
  EXPECT_EQ(target.content(u"D:\\Bob Papers\\money\\home.qdf"), "qdf");
}

// ---------------------------------------------------------------- selection

TEST(RestoreEntries, SelectsByExactProgramAndTagMask) {
  TargetComputer target;
  OpenArchive archive(recipeOf({
      {"Outlook", "mail", u"", u"C:\\s\\", u"outlook.pst", "pst"},
      {"Outlook", "Contacts", u"", u"C:\\s\\", u"contacts.wab", "wab"},
      {"Outlook", "rules", u"", u"C:\\s\\", u"rules.rwz", "rwz"},
      {"Outlook Express", "mail", u"", u"C:\\s\\", u"inbox.dbx", "dbx"},
      {"outlook", "mail", u"", u"C:\\s\\", u"lower.pst", "lower"},
  }));
  RecordingView view;
  RestoreRun run(archive.reader, view, {});
  EXPECT_TRUE(run.restoreEntries(u"C:\\Out", u"MAIL;cont*", false, "Outlook"));
  EXPECT_EQ(target.content(u"C:\\Out\\outlook.pst"), "pst");
  EXPECT_EQ(target.content(u"C:\\Out\\contacts.wab"), "wab");
  EXPECT_EQ(target.content(u"C:\\Out\\rules.rwz"), "<missing>");
  EXPECT_EQ(target.content(u"C:\\Out\\inbox.dbx"), "<missing>");
  EXPECT_EQ(target.content(u"C:\\Out\\lower.pst"), "<missing>");
  EXPECT_EQ(run.filesRestored(), 2u);

  // Nothing matched: the caller's initial result comes back.
  EXPECT_FALSE(run.restoreEntries(u"C:\\Out", u"calendar", false, "Outlook"));
  EXPECT_TRUE(run.restoreEntries(u"C:\\Out", u"calendar", true, "Outlook"));
  EXPECT_TRUE(run.restoreEntries(u"C:\\All", u"*", false, "Outlook"));
  EXPECT_EQ(target.content(u"C:\\All\\rules.rwz"), "rwz");

  EXPECT_EQ(run.findEntryFileName(u"CONTACTS"), u"contacts.wab");
  EXPECT_EQ(run.findEntryFileName(u"calendar"), u"");
}

TEST(RestoreEntries, ShortensLongPathsAtAFolderBoundary) {
  TargetComputer target;
  OpenArchive archive(ArchiveRecipe{});
  RecordingView view;  // 7 pixels a unit: 245 pixels, 35 units, are left after "Restoring "
  RestoreRun run(archive.reader, view, {});
  const std::u16string prefix = u"Restoring ";
  const struct {
    std::u16string path;
    std::u16string shown;
  } cases[] = {
      {u"", u""},
      {u"C:\\short\\a.txt", u"C:\\short\\a.txt"},
      {std::u16string(35, u'x'), std::u16string(35, u'x')},
      {u"C:\\users\\bob\\Documents\\Letters\\2010\\march.doc",
       u"...\\Documents\\Letters\\2010\\march.doc"},
      {u"C:\\" + std::u16string(40, u'y'), u"..." + std::u16string(33, u'y')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run.shortenPath(c.path, prefix), c.shown) << wideToUtf8(c.path);
    EXPECT_LE(view.textWidth(run.shortenPath(c.path, prefix)), 245 + 2 * 7);
  }
}

// ---------------------------------------------------------------- outcome

TEST(RunOutcome, SucceedsOnlyWhenEveryRestorerThatRanSucceeded) {
  TargetComputer target;
  OpenArchive archive(recipeOf({
      {"Manual", "desktop", u"", u"C:\\a\\", u"a.txt", "a"},
      {"Thunderbird", "profile", u"", u"C:\\t\\", u"prefs.js", "t"},
  }));
  ASSERT_EQ(archive.list.size(), 2u);

  {  // A program this version cannot restore makes the run fail, with its text.
    RecordingView view;
    const RunOutcome outcome = archive.run(view);
    EXPECT_FALSE(outcome.restored);
    EXPECT_EQ(view.title, stubtext::kFailedTitle);
    ASSERT_EQ(outcome.programs.size(), 2u);
    EXPECT_EQ(outcome.programs[0].name, "Thunderbird");
    EXPECT_FALSE(outcome.programs[0].restored);
    EXPECT_EQ(outcome.text, outcome.programs[0].errortext);
    EXPECT_TRUE(outcome.programs[1].restored);  // the manual selection still went back
    EXPECT_EQ(outcome.programs[1].files, 1u);
  }
  {  // Only the manual selection ticked.
    archive.list[1].ticked = false;
    RecordingView view;
    const RunOutcome outcome = archive.run(view);
    EXPECT_TRUE(outcome.restored);
    EXPECT_EQ(view.title, stubtext::kRestoredTitle);
  }
  {  // Nothing ticked: no restorer ran, which is no success.
    archive.list[0].ticked = false;
    RecordingView view;
    const RunOutcome outcome = archive.run(view);
    EXPECT_FALSE(outcome.restored);
    EXPECT_EQ(view.title, stubtext::kFailedTitle);
    EXPECT_EQ(outcome.text, u"");
  }
}

// ---------------------------------------------------------------- the user's files

// A machine whose new files fail: a write after `goodWrites` writes, or the close.
class FailingMachine : public MachineWrapper {
 public:
  enum class Fault { Write, Close };
  FailingMachine(Machine& target, Fault fault) : MachineWrapper(target), fault_(fault) {}

  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                 std::string* error) override {
    auto file = MachineWrapper::openFile(path, mode, error);
    if (!file || mode == OpenMode::Read || mode == OpenMode::Append) return file;
    return std::make_unique<Failing>(std::move(file), fault_);
  }

 private:
  class Failing : public File {
   public:
    Failing(std::unique_ptr<File> file, Fault fault) : file_(std::move(file)), fault_(fault) {}
    size_t read(void* b, size_t n) override { return file_->read(b, n); }
    bool write(const void* b, size_t n) override {
      // The first chunk goes in; the disk is full at the second.
      if (fault_ == Fault::Write && writes_++ >= 1) return false;
      return file_->write(b, n);
    }
    bool seek(uint64_t p) override { return file_->seek(p); }
    uint64_t position() const override { return file_->position(); }
    int64_t size() const override { return file_->size(); }
    bool close() override { return file_->close() && fault_ != Fault::Close; }

   private:
    std::unique_ptr<File> file_;
    Fault fault_;
    int writes_ = 0;
  };
  Fault fault_;
};

TEST(UserFiles, FailedWriteOrCloseLeavesTheOldFileUntouched) {
  for (const auto fault : {FailingMachine::Fault::Write, FailingMachine::Fault::Close}) {
    TargetComputer target;
    const std::string old = target.host(u"C:\\users\\bob\\Desktop") + "/big.bin";
    stubtest::writeText(old, "the user's own data");
    FailingMachine machine(target.machine(), fault);
    ScopedMachine scoped(machine);
    OpenArchive archive(
        recipeOf({{"Manual", "desktop", u"", u"C:\\a\\", u"big.bin", std::string(200000, 'n')}}));
    RecordingView view;
    const RunOutcome outcome = archive.run(view);
    EXPECT_FALSE(outcome.restored);
    EXPECT_EQ(stubtest::readText(old), "the user's own data");
    EXPECT_EQ(stubtest::filesBelow(target.host(u"C:\\users\\bob\\Desktop")),
              std::vector<std::string>{old});
    ASSERT_EQ(outcome.programs.at(0).problems.size(), 1u);
    EXPECT_EQ(view.info, std::u16string(stubtext::kLocationErrorStart) + u"Manual" +
                             std::u16string(stubtext::kLocationErrorEnd));
  }
}

TEST(UserFiles, CancelInTheMiddleKeepsTheOldFileAndStartsNoOther) {
  TargetComputer target;
  const std::string desktop = target.host(u"C:\\users\\bob\\Desktop");
  stubtest::writeText(desktop + "/big.bin", "old big");
  stubtest::writeText(desktop + "/next.txt", "old next");
  OpenArchive archive(recipeOf({
      {"Manual", "desktop", u"", u"C:\\a\\", u"big.bin", std::string(200000, 'n')},
      {"Manual", "desktop", u"", u"C:\\a\\", u"next.txt", "new next"},
  }));
  RecordingView view;
  view.cancelWhen = [](const RecordingView& v) { return !v.bars().empty() && v.bars().back() > 0; };
  const RunOutcome outcome = archive.run(view);
  EXPECT_FALSE(outcome.restored);
  EXPECT_EQ(stubtest::readText(desktop + "/big.bin"), "old big");
  EXPECT_EQ(stubtest::readText(desktop + "/next.txt"), "old next");
  EXPECT_EQ(stubtest::filesBelow(desktop).size(), 2u);
}

// Cancel between two small files (each one chunk, so no cancel inside a
// file): what was written stays, what was not is not claimed.
TEST(UserFiles, CancelBetweenFilesIsNotASuccess) {
  TargetComputer target;
  OpenArchive archive(recipeOf({
      {"My Documents", "documents", u"", u"C:\\a\\", u"first.txt", "first"},
      {"My Documents", "documents", u"", u"C:\\a\\", u"second.txt", "second"},
  }));
  RecordingView view;
  // The user cancels the moment the first file is in place.
  view.cancelWhen = [&target](const RecordingView&) {
    return target.content(u"D:\\Bob Papers\\first.txt") == "first";
  };
  const RunOutcome outcome = archive.run(view);
  EXPECT_FALSE(outcome.restored);
  EXPECT_EQ(target.content(u"D:\\Bob Papers\\second.txt"), "<missing>");
}

TEST(UserFiles, ReadOnlyTargetIsReplacedAndEmptyFilesAreCreated) {
  TargetComputer target;
  const std::string desktop = target.host(u"C:\\users\\bob\\Desktop");
  stubtest::writeText(desktop + "/locked.txt", "old");
  ASSERT_TRUE(
      target.machine().setAttributes(u"C:\\users\\bob\\Desktop\\locked.txt", kAttrReadOnly));
  OpenArchive archive(recipeOf({
      {"Manual", "desktop", u"", u"C:\\a\\", u"locked.txt", "new", 0x21},
      {"Manual", "desktop", u"", u"C:\\a\\", u"empty.txt", ""},
  }));
  RecordingView view;
  EXPECT_TRUE(archive.run(view).restored);
  EXPECT_EQ(stubtest::readText(desktop + "/locked.txt"), "new");
  FileInfo info;
  ASSERT_TRUE(target.machine().fileInfo(u"C:\\users\\bob\\Desktop\\locked.txt", info));
  EXPECT_TRUE(info.attributes & kAttrReadOnly);
  ASSERT_TRUE(target.machine().fileInfo(u"C:\\users\\bob\\Desktop\\empty.txt", info));
  EXPECT_EQ(info.size, 0u);
}

}  // namespace
}  // namespace zq
