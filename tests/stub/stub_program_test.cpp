// The restore program as the user meets it: stub.dat with an archive body
// behind it, run as a process against the target computer.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/archive_reader.h"
#include "core/dos_time.h"
#include "stub/stub_texts.h"
#include "stub_test_support.h"
#include "testing/run_program.h"

namespace zq {
namespace {

using stubtest::ArchiveRecipe;
using stubtest::Stored;
using stubtest::TargetComputer;
using testing::Bytes;

const std::vector<Stored>& sampleFiles() {
  static const std::vector<Stored> files = {
      {"Manual", "desktop", u"", u"C:\\users\\alice\\Desktop\\", u"report.doc", "report"},
      {"Manual", "documents", u"\\taxes", u"C:\\users\\alice\\Documents\\taxes\\", u"2010.txt",
       std::string(150000, 't')},
      {"Manual", "normal", u"C\\Data\\", u"C:\\Data\\", u"a.txt", "data"},
      {"Word", "desktop", u"", u"C:\\users\\alice\\Desktop\\", u"letter.doc", "letter"},
  };
  return files;
}

ArchiveRecipe sampleRecipe(std::string passphrase = {}) {
  ArchiveRecipe recipe;
  recipe.files = sampleFiles();
  recipe.passphrase = std::move(passphrase);
  return recipe;
}

// Where the sample files go on the target computer when detected.
const std::pair<std::u16string, std::string> kDetected[] = {
    {u"C:\\users\\bob\\Desktop\\report.doc", "report"},
    {u"D:\\Bob Papers\\taxes\\2010.txt", std::string(150000, 't')},
    {u"C:\\Data\\a.txt", "data"},
    {u"C:\\users\\bob\\Desktop\\letter.doc", "letter"},
};

class StubProgram : public ::testing::Test {
 protected:
  // The archive executable `name` in the scratch folder: stub.dat + body.
  std::string makeArchive(const ArchiveRecipe& recipe, const std::string& name = "Restore.exe") {
    const Bytes front = stubtest::readHostFile(stubtest::stubProgram());
    EXPECT_GT(front.size(), 1000u);
    const std::string path = target.dir().sub(name);
    stubtest::writeHostFile(path, stubtest::buildBody(recipe, front), true);
    return path;
  }
  ProgramRun run(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), {program, "--machine", target.prefix()});
    return runProgram(args);
  }
  std::string passphraseFile(const std::string& text) {
    const std::string path = target.dir().sub("passphrase.txt");
    stubtest::writeText(path, text + "\n");
    return path;
  }
  bool nothingRestored() {
    for (const auto& [where, bytes] : kDetected) {
      if (target.content(where) != "<missing>") return false;
    }
    return true;
  }

  TargetComputer target;
};

TEST_F(StubProgram, DetectModeRestoresToTheTargetComputersOwnFolders) {
  const std::string archive = makeArchive(sampleRecipe());
  const ProgramRun result = run(archive, {"--detect"});
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  for (const auto& [where, bytes] : kDetected) {
    EXPECT_EQ(target.content(where), bytes) << wideToUtf8(where);
    FileInfo info;
    ASSERT_TRUE(target.machine().fileInfo(where, info));
    EXPECT_EQ(fileTimeToDays(info.writeTime), stubtest::sampleWriteTime());
  }
  EXPECT_NE(result.out.find("Welcome to the Quillo Transfer Prime Restore Wizard!"),
            std::string::npos);
  EXPECT_NE(result.out.find(wideToUtf8(stubtext::kRestoredTitle)), std::string::npos);
  EXPECT_NE(result.out.find("  Word: restored, 1 file restored"), std::string::npos);
  EXPECT_NE(result.out.find("  Manually selected files: restored, 3 files restored"),
            std::string::npos);
  // The targets are shown before the run.
  EXPECT_LT(result.out.find("      D:\\Bob Papers\\taxes"), result.out.find("Restoring "));
}

TEST_F(StubProgram, ChosenFolderTakesAHostOrAWindowsPath) {
  const std::string archive = makeArchive(sampleRecipe());
  const std::string hostFolder = target.dir().sub("restored");
  const struct {
    std::string option;
    std::u16string root;  // the same folder as a Windows path
  } cases[] = {
      {hostFolder, target.machine().windowsPath(hostFolder)},
      {"C:\\Restore", u"C:\\Restore"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    const ProgramRun result = run(archive, {"--target", c.option});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(target.content(c.root + u"\\Manual\\Desktop\\report.doc"), "report");
    EXPECT_EQ(target.content(c.root + u"\\Manual\\Documents\\taxes\\2010.txt"),
              std::string(150000, 't'));
    EXPECT_EQ(target.content(c.root + u"\\Manual\\C\\Data\\a.txt"), "data");
    EXPECT_EQ(target.content(c.root + u"\\Word\\Desktop\\letter.doc"), "letter");
  }
  EXPECT_TRUE(nothingRestored());
}

TEST_F(StubProgram, EncryptedArchiveNeedsTheRightPassphrase) {
  const std::string archive = makeArchive(sampleRecipe("Secret Words"));
  const struct {
    std::string passphrase;
    int exitCode;
  } cases[] = {
      {"Secret Birds", 3},
      {"Secr", 3},  // too short to be tried
      {"", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.passphrase);
    const ProgramRun result =
        run(archive, {"--detect", "--passphrase-file", passphraseFile(c.passphrase)});
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    EXPECT_NE(result.err.find("Incorrect passphrase!"), std::string::npos);
    EXPECT_TRUE(nothingRestored());
  }
  // No passphrase at all (the input ends): nothing happens.
  ProgramRun result = run(archive, {"--detect"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find(wideToUtf8(stubtext::kPassphrasePrompt)), std::string::npos);
  EXPECT_TRUE(nothingRestored());

  result = run(archive, {"--detect", "--passphrase-file", passphraseFile("Secret Words")});
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  for (const auto& [where, bytes] : kDetected) EXPECT_EQ(target.content(where), bytes);
}

TEST_F(StubProgram, WithoutAnArchiveItSaysSoAndEndsWithStatusTwo) {
  const Bytes front = stubtest::readHostFile(stubtest::stubProgram());
  Bytes withTail = front;
  withTail.insert(withTail.end(), 5000, 0x10);  // a tail that only looks like a length byte
  for (const Bytes& bytes : {front, withTail}) {
    const std::string path = target.dir().sub("plain.exe");
    stubtest::writeHostFile(path, bytes, true);
    const ProgramRun result = run(path, {"--detect"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(wideToUtf8(stubtext::kNoData)), std::string::npos) << result.err;
  }
}

TEST_F(StubProgram, CompanionFileHoldsTheBody) {
  const std::string body = makeArchive(sampleRecipe(), "HomeData.dat");
  stubtest::writeHostFile(target.dir().sub("Home.exe"),
                          stubtest::readHostFile(stubtest::stubProgram()), true);
  ProgramRun result = run(target.dir().sub("Home.exe"), {"--detect"});
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_EQ(target.content(kDetected[0].first), kDetected[0].second);

  // Renamed, the program looks for "OtherData.dat" and finds no archive.
  std::filesystem::rename(target.dir().sub("Home.exe"), target.dir().sub("Other.exe"));
  result = run(target.dir().sub("Other.exe"), {"--info"});
  EXPECT_EQ(result.exitCode, 2);
}

TEST_F(StubProgram, CheckNamesEachDamagedFile) {
  const Bytes front = stubtest::readHostFile(stubtest::stubProgram());
  const Bytes body = stubtest::buildBody(sampleRecipe(), front);
  MemorySource source(body);
  ArchiveReader reader(source);
  std::string why;
  ASSERT_TRUE(reader.open(&why) && reader.readRecords(&why)) << why;
  const auto& records = reader.records();
  const std::string path = target.dir().sub("Check.exe");

  stubtest::writeHostFile(path, body, true);
  ProgramRun result = run(path, {"--check"});
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_NE(result.out.find("4 files checked, 0 problems found"), std::string::npos) << result.out;

  Bytes damaged = body;
  damaged[static_cast<size_t>(records[1].dataoffset) + 3] ^= 0x20;  // a chunk header's marker
  const size_t sizeField =
      static_cast<size_t>(recordOffset(static_cast<int64_t>(body.size()), 4, 3)) +
      record_field::kFileSize;
  damaged[sizeField] += 1;  // the record says one byte more than its chunks hold
  stubtest::writeHostFile(path, damaged, true);
  result = run(path, {"--check"});
  EXPECT_EQ(result.exitCode, 1) << result.out;
  EXPECT_NE(result.out.find("damaged: Manual: C:\\users\\alice\\Documents\\taxes\\2010.txt: "),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("size differs: Word: C:\\users\\alice\\Desktop\\letter.doc: "),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("4 files checked, 2 problems found"), std::string::npos);
  EXPECT_TRUE(nothingRestored());
}

TEST_F(StubProgram, InfoAndListTellWhatTheArchiveHoldsAndWhereItGoes) {
  const std::string archive = makeArchive(sampleRecipe("Secret Words"));
  ProgramRun result = run(archive, {"--info"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "Product: Quillo Transfer Prime\n"
            "Version: 3.2\n"
            "Encrypted: yes\n"
            "Records: 4\n"
            "Holds: Manually selected files, Word\n");

  result = run(archive, {"--list", "--passphrase-file", passphraseFile("Secret Words")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("program\ttag\trelative folder\tsource folder\tfile name\tsize\t"
                            "stored size\n"),
            std::string::npos);
  EXPECT_NE(result.out.find("Manual\tdocuments\t\\taxes\tC:\\users\\alice\\Documents\\taxes\\\t"
                            "2010.txt\t150000\t"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  Word: 1 file into\n      C:\\users\\bob\\Desktop\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("      C:\\Data\n"), std::string::npos);

  result = run(archive, {"--list", "--target", "E:\\Out", "--passphrase-file",
                         passphraseFile("Secret Words")});
  EXPECT_NE(result.out.find("      E:\\Out\\Manual\\C\\Data\n"), std::string::npos) << result.out;
  EXPECT_TRUE(nothingRestored());
}

TEST_F(StubProgram, OnlyRestoresTheNamedEntries) {
  const std::string archive = makeArchive(sampleRecipe());
  ProgramRun result = run(archive, {"--detect", "--only", "Chrome"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("no entry \"Chrome\""), std::string::npos);

  result = run(archive, {"--detect", "--only", "word"});
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_EQ(target.content(u"C:\\users\\bob\\Desktop\\letter.doc"), "letter");
  EXPECT_EQ(target.content(u"C:\\users\\bob\\Desktop\\report.doc"), "<missing>");
}

TEST_F(StubProgram, RefusedEntryFailsTheRunAndWritesNothingOutside) {
  ArchiveRecipe recipe;
  recipe.files = {{"Manual", "normal", u"..\\..\\..", u"C:\\x\\", u"escape.txt", "x"},
                {"Word", "desktop", u"", u"C:\\a\\", u"letter.doc", "letter"}};
  const std::string archive = makeArchive(recipe);
  const std::string folder = target.dir().sub("out");
  const ProgramRun result = run(archive, {"--target", folder});
  EXPECT_EQ(result.exitCode, 1) << result.out;
  EXPECT_NE(result.out.find("not restored: Manual: escape.txt: refused"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  Manually selected files: failed, 0 files restored"),
            std::string::npos);
  EXPECT_NE(result.out.find("  Word: restored, 1 file restored"), std::string::npos);
  for (const auto& path : stubtest::filesBelow(target.dir().path())) {
    EXPECT_EQ(path.find("escape.txt"), std::string::npos) << path;
  }
}

TEST_F(StubProgram, BadArgumentsEndWithStatusTwo) {
  const std::string archive = makeArchive(sampleRecipe());
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--bogus"},
                                               {"--detect", "--target", "C:\\x"},
                                               {"--target"},
                                               {"--info", "--list"},
                                               {"--check", "--detect"},
                                               {"--detect", "--passphrase-file"}}) {
    const ProgramRun result = run(archive, args);
    EXPECT_EQ(result.exitCode, 2) << args[0];
  }
  EXPECT_TRUE(nothingRestored());
}

}  // namespace
}  // namespace zq
