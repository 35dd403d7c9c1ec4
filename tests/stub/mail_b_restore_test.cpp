// The restorers of Thunderbird, Eudora, IncrediMail and PocoMail on archives
// made to order: what they refuse, what they move aside, and that a planning
// run changes nothing.
#include <gtest/gtest.h>

#include "core/files.h"
#include "core/machine_wrapper.h"
#include "core/registry_helpers.h"
#include "core/strings.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"
#include "testing/recording_view.h"
#include "tests/stub/stub_test_support.h"

namespace zq {
namespace {

using stubtest::ArchiveRecipe;
using stubtest::Stored;
using stubtest::TargetComputer;

ArchiveRecipe recipeOf(std::vector<Stored> files) {
  ArchiveRecipe recipe;
  recipe.files = std::move(files);
  return recipe;
}

struct OpenArchive {
  explicit OpenArchive(std::vector<Stored> files)
      : body(stubtest::buildBody(recipeOf(std::move(files)), testing::seededStub(300))),
        source(body),
        reader(source) {
    std::string why;
    EXPECT_TRUE(reader.open(&why)) << why;
    EXPECT_TRUE(reader.readRecords(&why)) << why;
    list = buildRestoreList(reader.trailer());
  }
  testing::Bytes body;
  MemorySource source;
  ArchiveReader reader;
  std::vector<RestoreListEntry> list;
};

void writeFile(std::u16string_view path, const std::string& content) {
  tfile file;
  ASSERT_TRUE(openForWrite(file, path));
  ASSERT_TRUE(writeBlock(file, content.data(), content.size()));
  ASSERT_TRUE(closeFile(file));
}

const std::u16string kEudora = u"D:\\Bob Eudora";

// Bob's classic Eudora, found through his command line.
void installEudora() {
  ASSERT_TRUE(writeUserRegString(u"Software\\Qualcomm\\Eudora\\CommandLine", u"current",
                                 u"\"C:\\Eudora\\Eudora.exe\" \"D:\\Bob Eudora\""));
  writeFile(kEudora + u"\\eudora.ini", "[Settings]\r\nRealName=Bob\r\n");
  writeFile(kEudora + u"\\In.mbx", "bob's inbox");
}

const std::u16string kIm = u"C:\\users\\bob\\AppData\\Local\\IM\\";
const std::u16string kImDefault = u"{B0B0000D-0000-4000-8000-00000000000D}";
const std::u16string kImOther = u"{B0B00000-0000-4000-8000-000000000001}";

void installIncrediMail() {
  ASSERT_TRUE(writeUserRegString(u"Software\\IncrediMail", u"ApplicationPath", kIm));
  ASSERT_TRUE(writeUserRegString(u"Software\\IncrediMail\\Identities", u"", kImDefault));
  ASSERT_TRUE(
      writeUserRegString(u"Software\\IncrediMail\\Identities\\" + kImOther, u"Name", u"Work"));
  ASSERT_TRUE(
      writeUserRegString(u"Software\\IncrediMail\\Identities\\" + kImDefault, u"Name", u"Bob"));
  writeFile(kIm + u"Identities\\" + kImDefault + u"\\Messages.imm", "bob's mail");
  writeFile(kIm + u"Identities\\" + kImOther + u"\\Messages.imm", "bob's work mail");
}

void installPocoMail() {
  ASSERT_TRUE(writeUserRegString(u"Software\\Poco Systems Inc\\PocoMail 5", u"Path",
                                 u"C:\\Program Files\\PocoMail 5"));
  writeFile(u"C:\\Program Files\\PocoMail 5\\pocosystem.ini",
            "[Program]\r\nDataPath=D:\\Poco Data\r\n");
  writeFile(u"D:\\Poco Data\\poco.ini", "[Program]\r\nMailPath=D:\\Bob Mail\r\n");
}

// Opens of files for writing fail below one folder, as when a running
// program holds them.
class LockedFolder : public MachineWrapper {
 public:
  LockedFolder(Machine& target, std::u16string folder)
      : MachineWrapper(target), folder_(lowerText(folder)) {}
  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                 std::string* error) override {
    if (mode != OpenMode::Read && lowerText(path).starts_with(folder_)) {
      if (error != nullptr) *error = "the file is in use";
      return nullptr;
    }
    return MachineWrapper::openFile(path, mode, error);
  }

 private:
  std::u16string folder_;
};

TEST(EudoraRestore, SuccessOnlyWhenTheDataFolderCameBack) {
  const Stored mailbox{"Eudora", "main", u"", u"D:\\Eudora Mail\\", u"In.mbx", "alice's inbox"};
  const Stored attachment{"Eudora", "attachments", u"", u"D:\\Att\\", u"a.doc", "doc"};
  {
    SCOPED_TRACE("no data folder in the archive");
    TargetComputer target;
    installEudora();
    OpenArchive archive({attachment});
    RecordingView view;
    RestoreRun run(archive.reader, view, {});
    restoreEudora(run, "Eudora");
    EXPECT_FALSE(run.restored);
    EXPECT_EQ(run.errortext, u"Your Eudora data files could not be found!");
    // Nothing to bring: bob's data stays where it is.
    EXPECT_EQ(target.content(kEudora + u"\\In.mbx"), "bob's inbox");
    EXPECT_FALSE(folderExists(kEudora + u".old"));
  }
  {
    SCOPED_TRACE("a mailbox that cannot be written");
    TargetComputer target;
    installEudora();
    OpenArchive archive({mailbox});
    LockedFolder locked(target.machine(), kEudora + u"\\");
    ScopedMachine scope(locked);
    RecordingView view;
    RestoreRun run(archive.reader, view, {});
    restoreEudora(run, "Eudora");
    EXPECT_FALSE(run.restored);
    EXPECT_EQ(run.errortext, u"Your Eudora data files could not be found!");
    EXPECT_EQ(target.content(kEudora + u".old\\In.mbx"), "bob's inbox");
  }
}

// The attachment folder is named by the archive's own eudora.ini.
TEST(EudoraRestore, AnAttachmentFolderThatIsNoPlainAbsolutePathGetsNothing) {
  for (std::string folder : {"D:\\Elsewhere\\..\\Elsewhere", "Elsewhere", "D:\\Elsewhere"}) {
    SCOPED_TRACE(folder);
    TargetComputer target;
    installEudora();
    ASSERT_TRUE(forceFolders(u"D:\\Elsewhere"));
    OpenArchive archive({
        {"Eudora", "main", u"", u"D:\\E\\", u"eudora.ini",
         "[Settings]\r\nAutoReceiveAttachmentsDirectory=" + folder + "\r\n"},
        {"Eudora", "attachments", u"", u"D:\\Elsewhere\\", u"a.doc", "doc"},
    });
    RecordingView view;
    RestoreRun run(archive.reader, view, {});
    restoreEudora(run, "Eudora");
    EXPECT_TRUE(run.restored);
    EXPECT_EQ(target.content(u"D:\\Elsewhere\\a.doc"),
              folder == "D:\\Elsewhere" ? "doc" : "<missing>");
  }
}

// The newer Eudora's archive holds Thunderbird's tags: it comes back the
// Thunderbird way whatever the target has, below a chosen folder as well.
TEST(EudoraRestore, ThunderbirdDataComesBackTheThunderbirdWay) {
  const std::vector<Stored> files = {
      {"Eudora", "thunderbird", u"", u"C:\\users\\alice\\AppData\\Roaming\\Thunderbird\\",
       u"profiles.ini", "[Profile0]\r\n"},
      {"Eudora", "otherthunderbird", u"D\\Mail", u"D:\\Mail\\", u"Inbox", "inbox"},
  };
  TargetComputer target;
  OpenArchive archive(files);
  RecordingView view;
  RestoreChoices chosen;
  chosen.detectFolder = false;
  chosen.destinationPath = u"D:\\Restored";
  RestoreRun inChosen(archive.reader, view, chosen);
  restoreEudora(inChosen, "Eudora");
  EXPECT_TRUE(inChosen.restored);
  EXPECT_EQ(target.content(u"D:\\Restored\\Thunderbird\\profiles.ini"), "[Profile0]\r\n");
  EXPECT_EQ(target.content(u"D:\\Restored\\Thunderbird\\D\\Mail\\Inbox"), "inbox");

  RestoreRun detected(archive.reader, view, {});
  restoreEudora(detected, "Eudora");
  EXPECT_TRUE(detected.restored);
  EXPECT_EQ(target.content(u"C:\\users\\bob\\AppData\\Roaming\\Thunderbird\\profiles.ini"),
            "[Profile0]\r\n");
  EXPECT_EQ(target.content(u"D:\\Mail\\Inbox"), "inbox");
}

TEST(IncrediMailRestore, OnlyIdentitiesTheArchiveFillsAreMovedAside) {
  TargetComputer target;
  installIncrediMail();
  OpenArchive archive({{"IncrediMail", "default", u"", u"C:\\a\\", u"Messages.imm", "alice's"}});
  RecordingView view;
  RestoreRun run(archive.reader, view, {});
  restoreIncrediMail(run, "IncrediMail");
  EXPECT_TRUE(run.restored);
  EXPECT_EQ(target.content(kIm + u"Identities\\" + kImDefault + u"\\Messages.imm"), "alice's");
  EXPECT_EQ(target.content(kIm + u"Identities\\" + kImDefault + u".old\\Messages.imm"),
            "bob's mail");
  EXPECT_EQ(target.content(kIm + u"Identities\\" + kImOther + u"\\Messages.imm"),
            "bob's work mail");
  EXPECT_FALSE(folderExists(kIm + u"Identities\\" + kImOther + u".old"));
}

TEST(PalmDesktopRestore, TheTargetsPalmFolderOrTheSourceFolders) {
  const std::vector<Stored> files = {
      {"Palm Desktop", "main", u"AliceS\\address", u"C:\\Program Files\\Palm\\AliceS\\address\\",
       u"address.dat", "addresses"},
      {"Palm Desktop", "users", u"", u"C:\\Program Files\\Palm\\", u"users.dat", "users"},
  };
  const struct {
    const char* name;
    std::u16string path;    // the target's "Path" value; empty: none
    std::u16string folder;  // where the files land
  } cases[] = {
      {"below Program Files on Windows 7", u"C:\\Program Files\\Palm",
       u"C:\\users\\bob\\AppData\\Local\\VirtualStore\\Program Files\\Palm\\"},
      {"elsewhere", u"D:\\Palm", u"D:\\Palm\\"},
      {"not installed", u"", u"C:\\Program Files\\Palm\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TargetComputer target;
    if (!c.path.empty()) {
      ASSERT_TRUE(
          writeUserRegString(u"Software\\U.S. Robotics\\Pilot Desktop\\Core", u"Path", c.path));
    }
    OpenArchive archive(files);
    RecordingView view;
    RestoreRun run(archive.reader, view, {});
    restorePalmDesktop(run, "Palm Desktop");
    EXPECT_TRUE(run.restored);
    EXPECT_EQ(target.content(c.folder + u"AliceS\\address\\address.dat"), "addresses");
    EXPECT_EQ(target.content(c.folder + u"users.dat"), "users");
  }
}

// A disk that fills up once the restored poco.ini is written, or that
// refuses to rename the new poco.ini text.
class PocoIniTrouble : public MachineWrapper {
 public:
  enum class Fault { None, Write, Rename };
  PocoIniTrouble(Machine& target, Fault fault) : MachineWrapper(target), fault_(fault) {}

  class Full : public File {
   public:
    explicit Full(std::unique_ptr<File> file) : file_(std::move(file)) {}
    size_t read(void* b, size_t n) override { return file_->read(b, n); }
    bool write(const void*, size_t) override { return false; }
    bool seek(uint64_t p) override { return file_->seek(p); }
    uint64_t position() const override { return file_->position(); }
    int64_t size() const override { return file_->size(); }
    bool close() override { return file_->close(); }

   private:
    std::unique_ptr<File> file_;
  };

  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                 std::string* error) override {
    auto file = MachineWrapper::openFile(path, mode, error);
    if (!file || fault_ != Fault::Write || mode == OpenMode::Read) return file;
    // The restore writes the archive's poco.ini under a name of its own and
    // renames it; only the text written after it is refused.
    if (!path.ends_with(u"poco.ini") && !isNew(path)) return file;
    return std::make_unique<Full>(std::move(file));
  }
  bool moveFile(std::u16string_view from, std::u16string_view to) override {
    if (fault_ == Fault::Rename && isNew(from)) return false;
    return MachineWrapper::moveFile(from, to);
  }

 private:
  static bool isNew(std::u16string_view path) { return path.ends_with(u"poco.ini.partial"); }
  Fault fault_;
};

// The restored poco.ini gets the target's folders; a disk that cannot take
// the new text leaves the archive's poco.ini whole and the restore failed.
TEST(PocoMailRestore, TheNewSettingsLandWholeOrNotAtAll) {
  using Fault = PocoIniTrouble::Fault;
  const std::string alices = "[Program]\r\nMailPath=Mail\r\n";
  struct Case {
    Fault fault;
    bool restored;
    std::string ini, bak;
  };
  const Case cases[] = {
      {Fault::None, true, "[Program]\r\nMailPath=D:\\Bob Mail\r\n", alices},
      {Fault::Write, false, alices, "<missing>"},
      {Fault::Rename, false, alices, "<missing>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault));
    TargetComputer target;
    installPocoMail();
    OpenArchive archive({{"PocoMail", "main", u"", u"C:\\p\\", u"poco.ini", alices}});
    PocoIniTrouble trouble(target.machine(), c.fault);
    ScopedMachine scope(trouble);
    RecordingView view;
    RestoreRun run(archive.reader, view, {});
    restorePocoMail(run, "PocoMail");
    EXPECT_EQ(run.restored, c.restored);
    EXPECT_EQ(target.content(u"D:\\Poco Data\\poco.ini"), c.ini);
    EXPECT_EQ(target.content(u"D:\\Poco Data\\poco.bak"), c.bak);
    EXPECT_EQ(target.content(u"D:\\Poco Data\\poco.ini.partial"), "<missing>");
  }
}

// Seeing where files would go moves nothing aside and rewrites no settings.
TEST(MailBRestorePlan, APlanChangesNothing) {
  TargetComputer target;
  installEudora();
  installIncrediMail();
  installPocoMail();
  OpenArchive archive({
      {"Eudora", "main", u"", u"D:\\E\\", u"In.mbx", "alice's inbox"},
      {"IncrediMail", "default", u"", u"C:\\a\\", u"Messages.imm", "alice's"},
      {"IncrediMail", "profile0", u"", u"C:\\b\\", u"Messages.imm", "alice's work"},
      {"PocoMail", "main", u"", u"C:\\p\\", u"poco.ini", "[Program]\r\nMailPath=Mail\r\n"},
      {"PocoMail", "mailpath", u"", u"C:\\p\\Mail\\", u"Inbox.mbx", "mail"},
  });
  const std::vector<ProgramPlan> plans = planRestore(archive.reader, archive.list, {});
  ASSERT_EQ(plans.size(), 3u);
  for (const ProgramPlan& plan : plans) {
    EXPECT_TRUE(plan.restorable) << plan.name << ": " << wideToUtf8(plan.errortext);
  }
  EXPECT_EQ(target.content(kEudora + u"\\In.mbx"), "bob's inbox");
  EXPECT_FALSE(folderExists(kEudora + u".old"));
  EXPECT_FALSE(folderExists(kIm + u"Identities\\" + kImDefault + u".old"));
  EXPECT_FALSE(folderExists(kIm + u"Identities\\" + kImOther + u".old"));
  EXPECT_EQ(target.content(u"D:\\Poco Data\\poco.ini"), "[Program]\r\nMailPath=D:\\Bob Mail\r\n");
  EXPECT_EQ(target.content(u"D:\\Poco Data\\poco.bak"), "<missing>");
}

}  // namespace
}  // namespace zq
