// The entry writer over a sample computer: what addFile and addFolder store,
// read back from the archive body byte for byte, and what they refuse.
#include "archive/entry_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "archive/run_log.h"
#include "backup_test_support.h"
#include "core/machine_wrapper.h"
#include "testing/recording_view.h"

namespace zq {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::readArchive;
using testing::ReadBack;

const std::u16string kDocs = u"C:\\users\\alice\\Documents\\";

std::string randomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

// A sink that takes nothing: a full disk.
class RefusingSink : public ByteSink {
 public:
  bool write(const void*, size_t) override { return false; }
};

// One entry writer over an archive body in memory.
struct Session {
  explicit Session(EntryWriterSetup setup = {}, ByteSink* target = nullptr,
                   const std::string& passphrase = {})
      : sink(target != nullptr ? *target : memory),
        writer(sink, kStubSize, !passphrase.empty(), keyTextFromPassphrase(passphrase)),
        entries(writer, view, log, std::move(setup)) {
    memory.bytes.assign(kStubSize, 'S');
  }

  // The finished body, read back.
  ReadBack finish(const std::string& passphrase = {}) {
    EXPECT_TRUE(writer.writeEnd(tarchivetrailer{}));
    return readArchive(memory.bytes, passphrase);
  }

  static constexpr int64_t kStubSize = 100;
  MemorySink memory;
  ByteSink& sink;
  ArchiveWriter writer;
  RecordingView view;
  RunLog log;
  EntryWriter entries;
};

class EntryWriterTest : public testing::SampleComputer {};

TEST_F(EntryWriterTest, StoresFilesAsTheyAre) {
  const std::u16string folder = kDocs + u"Store\\";
  const std::string text = "Dear Bob,\r\n" + std::string(5000, 'x');
  const std::string photo = randomBytes(3000, 1);
  const std::string exact = randomBytes(65536, 2);
  put(folder + u"notes.txt", text);
  put(folder + u"photo.JPG", photo);
  put(folder + u"exact.bin", exact);
  put(folder + u"empty.txt", "");

  Session s;
  for (const char16_t* name : {u"notes.txt", u"photo.JPG", u"exact.bin", u"empty.txt"}) {
    EXPECT_TRUE(s.entries.addFile(folder + name, u"Store", "docs", "My Documents"));
  }
  EXPECT_EQ(s.entries.errorText(), u"");
  const ReadBack back = s.finish();
  ASSERT_TRUE(back.ok) << back.why;
  ASSERT_EQ(back.files.size(), 4u);

  const std::string contents[] = {text, photo, exact, ""};
  for (size_t i = 0; i < 4; ++i) {
    const tfilerecord& r = back.files[i].record;
    EXPECT_EQ(back.files[i].bytes, contents[i]) << i;
    EXPECT_EQ(r.sourcefolder, folder);
    EXPECT_EQ(r.relativefolder, u"Store");
    EXPECT_EQ(r.tag, "docs");
    EXPECT_EQ(r.programname, "My Documents");
    EXPECT_GT(r.writetime, 40000.0);
  }
  EXPECT_EQ(back.files[0].record.compressible, 1);
  EXPECT_LT(back.files[0].record.storedsize, static_cast<int64_t>(text.size()));
  EXPECT_EQ(back.files[1].record.compressible, 0);  // a media extension, in any case

  // Exactly one chunk's worth: one chunk, marked last.
  const tfilerecord& one = back.files[2].record;
  EXPECT_EQ(one.storedsize, 65536);
  tchunkheader header;
  ASSERT_TRUE(decodeChunkHeader(
      std::span<const uint8_t, kChunkHeaderSize>(&s.memory.bytes[one.dataoffset], kChunkHeaderSize),
      header, nullptr));
  EXPECT_EQ(header.lastchunk, 1);
  EXPECT_EQ(header.payloadbits, 65536u * 8);

  // An empty file: a record without chunks.
  EXPECT_EQ(back.files[3].record.filesize, -1);
  EXPECT_EQ(back.files[3].record.storedsize, 0);

  const auto texts = s.view.texts(RecordingView::Kind::ProgressText);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], u"Archiving " + folder + u"notes.txt");
  EXPECT_EQ(s.view.bars().back(), 100);
}

TEST_F(EntryWriterTest, NeverStoresTheArchiveItself) {
  const std::u16string out = u"C:\\Out\\";
  put(out + u"Backup.exe", "the archive being written");
  put(out + u"other.txt", "other");
  ASSERT_EQ(::symlink(host(out + u"Backup.exe").c_str(), host(out + u"alias.bin").c_str()), 0);
  ASSERT_EQ(::link(host(out + u"Backup.exe").c_str(), host(out + u"hard.dat").c_str()), 0);

  Session s;
  s.entries.protectFile(out + u"Backup.exe");
  EXPECT_TRUE(s.entries.addFile(u"c:\\OUT\\backup.EXE", u"", "normal", "Manual"));
  EXPECT_TRUE(s.entries.addFile(out + u"alias.bin", u"", "normal", "Manual"));
  EXPECT_TRUE(s.entries.addFolder(out, u"*", u"", u"", "normal", "Manual", true));
  const ReadBack back = s.finish();
  ASSERT_TRUE(back.ok) << back.why;
  ASSERT_EQ(back.files.size(), 1u);
  EXPECT_EQ(back.files[0].record.filename, u"other.txt");
}

// A machine on which every file is locked against reading.
class LockedFiles : public MachineWrapper {
 public:
  using MachineWrapper::MachineWrapper;
  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                 std::string* error) override {
    if (mode == OpenMode::Read) return nullptr;
    return MachineWrapper::openFile(path, mode, error);
  }
};

TEST_F(EntryWriterTest, LockedFileIsRefusedButEmptyOneIsNeverOpened) {
  const std::u16string pst = kDocs + u"Outlook\\Outlook.pst";
  put(pst, "mail");
  put(kDocs + u"Outlook\\empty.pst", "");
  LockedFiles locked(*machine_);
  ScopedMachine scope(locked);

  Session s;
  EXPECT_TRUE(s.entries.addFile(kDocs + u"Outlook\\empty.pst", u"", "pst", "Outlook"));
  EXPECT_FALSE(s.entries.addFile(pst, u"", "pst", "Outlook"));
  EXPECT_EQ(s.entries.errorText(),
            u"An error occured accessing your Outlook data...\n\nAccess denied to:\n" + pst +
                u"\n\nMake sure you close any programs that might be accessing this file and "
                u"then try again.");
  const ReadBack back = s.finish();
  ASSERT_EQ(back.files.size(), 1u);
  EXPECT_EQ(back.files[0].record.filesize, -1);
}

// Files that say they hold data and then yield none.
class UnreadableFiles : public MachineWrapper {
 public:
  using MachineWrapper::MachineWrapper;
  class Empty : public File {
    size_t read(void*, size_t) override { return 0; }
    bool write(const void*, size_t) override { return false; }
    bool seek(uint64_t) override { return true; }
    uint64_t position() const override { return 0; }
    int64_t size() const override { return 10; }
    bool close() override { return true; }
  };
  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                 std::string* error) override {
    if (mode == OpenMode::Read) return std::make_unique<Empty>();
    return MachineWrapper::openFile(path, mode, error);
  }
};

TEST_F(EntryWriterTest, ReadAndWriteFailuresSayWhy) {
  const std::u16string path = kDocs + u"main.db";
  put(path, "0123456789");
  {
    UnreadableFiles unreadable(*machine_);
    ScopedMachine scope(unreadable);
    Session s;
    EXPECT_FALSE(s.entries.addFile(path, u"", "main", "Skype"));
    EXPECT_EQ(
        s.entries.errorText(),
        u"An error occured accessing your Skype data...\n\nUnable to read from file: \n" + path);
    EXPECT_FALSE(s.entries.destinationFailed());
  }
  RefusingSink full;
  Session s({}, &full);
  EXPECT_FALSE(s.entries.addFile(path, u"", "main", "Skype"));
  EXPECT_EQ(s.entries.errorText(),
            u"Unable to write to destination.  Is it possible the disk is full?");
  EXPECT_TRUE(s.entries.destinationFailed());
  // Nothing more goes into a body the destination broke off.
  put(kDocs + u"empty", "");
  EXPECT_FALSE(s.entries.addFile(kDocs + u"empty", u"", "main", "Skype"));
}

TEST_F(EntryWriterTest, NamesOfNoFileFailWithoutReason) {
  put(kDocs + u"COM1", "a device name");
  Session s;
  for (const std::u16string& path :
       {kDocs + u"missing.txt", kDocs, kDocs + u"COM1", std::u16string(u"Q:\\nowhere.txt")}) {
    EXPECT_FALSE(s.entries.addFile(path, u"", "normal", "Manual")) << wideToUtf8(path);
    EXPECT_EQ(s.entries.errorText(), u"");
  }
  EXPECT_FALSE(s.entries.addFolder(kDocs + u"missing", u"*", u"", u"", "t", "Manual", true));
  EXPECT_EQ(s.finish().files.size(), 0u);
}

TEST_F(EntryWriterTest, LongTextsAreCutToTheirFields) {
  // Three 200-character folder names: a path far over 520 units.
  std::u16string folder = u"C:\\";
  for (char16_t c : {u'a', u'b', u'c'}) folder += std::u16string(200, c) + u"\\";
  put(folder + u"file.txt", "data");
  const std::string program(70, 'P');
  const std::string tag(300, 't');

  Session s;
  ASSERT_TRUE(s.entries.addFile(folder + u"file.txt", u"", tag, program));
  const ReadBack back = s.finish();
  ASSERT_TRUE(back.ok) << back.why;
  const tfilerecord& r = back.files.at(0).record;
  EXPECT_EQ(r.sourcefolder, folder.substr(0, 520));
  EXPECT_EQ(r.programname, program.substr(0, 60));
  EXPECT_EQ(r.tag, tag.substr(0, 255));
  EXPECT_EQ(back.files[0].bytes, "data");

  // The progress line shows the path's end, within the line.
  const std::u16string shown = s.view.texts(RecordingView::Kind::ProgressText).at(0);
  EXPECT_EQ(shown, u"Archiving ...\\file.txt");
}

TEST_F(EntryWriterTest, EncryptedOneByteFileIsOneBlock) {
  put(kDocs + u"one", "1");
  Session s({}, nullptr, "secret words");
  ASSERT_TRUE(s.entries.addFile(kDocs + u"one", u"", "normal", "Manual"));
  const ReadBack back = s.finish("secret words");
  ASSERT_TRUE(back.ok) << back.why;
  EXPECT_EQ(back.files.at(0).record.storedsize, 8);
  EXPECT_EQ(back.files[0].bytes, "1");
}

// The walk over one small tree, with the masks and exclusions collectors use.
TEST_F(EntryWriterTest, FolderWalkTakesMasksAndExclusions) {
  const std::u16string root = kDocs + u"Root";
  for (const char16_t* name : {u"a.txt", u"b.log", u"cache\\c.txt", u"Sub\\d.txt",
                               u"Sub\\cache\\e.txt", u"Sub\\Deeper\\f.TXT"}) {
    put(root + u"\\" + name, "x");
  }
  struct Case {
    std::u16string masks, exclusions, start;
    bool recurse;
    std::vector<std::u16string> stored;  // relativefolder|filename, in walk order
  };
  const Case cases[] = {
      {u"*.txt",
       u"",
       u"",
       true,
       {u"|a.txt", u"cache|c.txt", u"Sub\\cache|e.txt", u"Sub|d.txt", u"Sub\\Deeper|f.TXT"}},
      {u"*.txt", u"CACHE", u"", true, {u"|a.txt", u"Sub|d.txt", u"Sub\\Deeper|f.TXT"}},
      {u"*", u"", u"", false, {u"|a.txt", u"|b.log"}},
      {u"*", u"*", u"", true, {}},
      {u"*.txt;*.log", u"sub;cache", u"profile", true, {u"profile|a.txt", u"profile|b.log"}},
      {u"*.txt",
       u"cache",
       u"profile",
       true,
       {u"profile|a.txt", u"profile\\Sub|d.txt", u"profile\\Sub\\Deeper|f.TXT"}},
  };
  for (const Case& c : cases) {
    Session s;
    EXPECT_TRUE(
        s.entries.addFolder(root, c.masks, c.exclusions, c.start, "t", "Manual", c.recurse));
    std::vector<std::u16string> stored;
    for (const auto& file : s.finish().files) {
      stored.push_back(file.record.relativefolder + u"|" + file.record.filename);
    }
    EXPECT_EQ(stored, c.stored) << wideToUtf8(c.masks) << " / " << wideToUtf8(c.exclusions);
  }
}

TEST_F(EntryWriterTest, FolderLinksBackUpThePathAreSkipped) {
  // Root holds a link to itself (deep down) and a second road to Inner,
  // whose files are stored once, by the road walked first.
  const std::u16string root = kDocs + u"Root";
  put(root + u"\\x.txt", "x");
  put(root + u"\\Inner\\y.txt", "y");
  ASSERT_EQ(::symlink(host(root).c_str(), host(root + u"\\Inner\\loop").c_str()), 0);
  ASSERT_EQ(::symlink(host(root + u"\\Inner").c_str(), host(root + u"\\Twin").c_str()), 0);

  Session s;
  EXPECT_TRUE(s.entries.addFolder(root, u"*", u"", u"", "t", "Manual", true));
  std::vector<std::u16string> stored;
  for (const auto& file : s.finish().files) {
    stored.push_back(file.record.relativefolder + u"|" + file.record.filename);
  }
  EXPECT_EQ(stored, (std::vector<std::u16string>{u"Inner|y.txt", u"|x.txt"}));
}

// Every level holds a folder and a second link to it: walking each road
// would double the work at every level. Each folder is walked once.
TEST_F(EntryWriterTest, FoldersReachedByManyRoadsAreWalkedOnce) {
  constexpr int kLevels = 8;
  std::u16string level = kDocs + u"Deep";
  std::u16string relative;
  std::vector<std::u16string> expected;
  for (int i = 0; i <= kLevels; ++i) {
    const std::u16string name = u"f" + utf8ToWide(std::to_string(i)) + u".txt";
    put(level + u"\\" + name, "x");
    expected.push_back(relative + u"|" + name);
    if (i == kLevels) break;
    fs::create_directory(host(level + u"\\A"));
    ASSERT_EQ(::symlink(host(level + u"\\A").c_str(), host(level + u"\\B").c_str()), 0);
    level += u"\\A";
    relative += relative.empty() ? u"A" : u"\\A";
  }

  // Counts the folders listed.
  class Counting : public MachineWrapper {
   public:
    using MachineWrapper::MachineWrapper;
    bool listFolder(std::u16string_view path, std::vector<FolderEntry>& out) override {
      ++listed;
      return MachineWrapper::listFolder(path, out);
    }
    int listed = 0;
  } counting(*machine_);
  ScopedMachine scope(counting);

  Session s;
  EXPECT_TRUE(s.entries.addFolder(kDocs + u"Deep", u"*.txt", u"", u"", "t", "Manual", true));
  std::vector<std::u16string> stored;
  for (const auto& file : s.finish().files) {
    stored.push_back(file.record.relativefolder + u"|" + file.record.filename);
  }
  std::sort(stored.begin(), stored.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(stored, expected);
  EXPECT_EQ(counting.listed, kLevels + 1);
}

TEST_F(EntryWriterTest, MessengerSettingsBringTheirLogFolder) {
  const std::u16string profile = kDocs + u"Aim\\";
  put(profile + u"settings.xml", "<logs/>");
  put(kDocs + u"AimLogs\\2024\\chat.html", "hi");
  std::u16string askedFor;
  EntryWriterSetup setup;
  setup.aimLogSettings = [&](const std::u16string& file, std::u16string& folder, std::string& tag) {
    askedFor = file;
    folder = kDocs + u"AimLogs";
    tag = "aimlogs";
    return true;
  };
  Session s(setup);
  EXPECT_TRUE(s.entries.addFolder(profile, u"*.xml", u"", u"", "aim", "AIM", true));
  EXPECT_EQ(askedFor, profile + u"settings.xml");
  const ReadBack back = s.finish();
  ASSERT_EQ(back.files.size(), 2u);
  EXPECT_EQ(back.files[1].record.tag, "aimlogs");
  EXPECT_EQ(back.files[1].record.relativefolder, u"2024");
  EXPECT_EQ(back.files[1].bytes, "hi");
}

TEST(ShortenPath, KeepsTheEndThatFits) {
  // 7 pixels a unit: 64 units fit the empty line, 54 after "Archiving ".
  const std::u16string folders = u"C:\\" + std::u16string(70, u'a') + u"\\name.txt";
  const std::u16string noSlash = u"C:\\" + std::u16string(90, u'b');
  struct Case {
    std::u16string path, prefix, expected;
  };
  const Case cases[] = {
      {u"", u"", u""},
      {u"C:\\short\\path.txt", u"Archiving ", u"C:\\short\\path.txt"},
      {std::u16string(64, u'f'), u"", std::u16string(64, u'f')},
      {folders, u"", u"...\\name.txt"},
      {noSlash, u"", u"..." + std::u16string(61, u'b')},
      {noSlash, u"Archiving ", u"..." + std::u16string(51, u'b')},
  };
  RecordingView view;
  for (const Case& c : cases) {
    EXPECT_EQ(shortenPath(c.path, c.prefix, view), c.expected) << wideToUtf8(c.path);
  }
}

}  // namespace
}  // namespace zq
