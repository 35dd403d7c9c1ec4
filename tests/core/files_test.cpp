#include "core/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/dos_time.h"
#include "core/find_data.h"
#include "core/text.h"
#include "core/text_file.h"
#include "tests/core/prefix_fixture.h"

namespace zq {
namespace {

constexpr char16_t kDocs[] = u"C:\\users\\alice\\Documents";

std::u16string docs(std::u16string_view below) { return std::u16string(kDocs) + u"\\" + std::u16string(below); }

TEST(FileNames, IsDeviceName) {
  struct Case {
    const char16_t* path;
    bool device;
  };
  const std::vector<Case> cases = {
      {u"LPT3", true},          {u"lpt9", true},          {u"COM1", true},
      {u"com4", true},          {u"AUX", true},           {u"C:\\x\\COM2", true},
      {u"\\com3", true},        {u"C:\\x\\aux", true},    {u"C:\\x\\LPT1", true},
      {u"COM5", false},         {u"C:\\x\\COM5", false},  {u"LPT0", false},
      {u"COM10", false},        {u"C:\\x\\COM2.txt", false}, {u"C:\\x\\myaux", false},
      {u"C:\\AUX\\file", false}, {u"NUL", false},         {u"AU", false},
      {u"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isDeviceName(c.path), c.device) << wideToUtf8(c.path);
}

class Files : public PrefixFixture {};

TEST_F(Files, FolderAndFileExistence) {
  struct Case {
    std::u16string path;
    bool folder, file;
  };
  const std::vector<Case> cases = {
      {u"C:", true, false},
      {u"C:\\", true, false},
      {u"q:", true, false},  // a bare drive is taken as it is, without asking the disk
      {u"Q:\\", true, false},
      {kDocs, true, false},
      {docs(u""), true, false},
      {u"c:\\USERS\\Alice\\documents\\NOTES.TXT", false, true},
      {docs(u"COM5"), false, true},
      {docs(u"COM2"), false, false},  // exists on disk, but the name is a device
      {u"LPT3", false, false},
      {docs(u"missing.txt"), false, false},
      {u"C:\\no\\such\\folder\\", false, false},
      {u"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(folderExists(c.path), c.folder) << wideToUtf8(c.path);
    EXPECT_EQ(fileExists(c.path), c.file) << wideToUtf8(c.path);
  }
}

TEST_F(Files, ForceFoldersCreatesEveryMissingParent) {
  EXPECT_TRUE(forceFolders(u"C:\\users\\alice\\a\\b\\c\\"));
  EXPECT_TRUE(folderExists(u"C:\\users\\alice\\a\\b\\c"));
  EXPECT_TRUE(forceFolders(u"C:\\users\\alice\\a\\b\\c"));  // existing: still true
  EXPECT_TRUE(forceFolders(u"C:\\"));
  EXPECT_FALSE(forceFolders(docs(u"notes.txt\\sub")));  // a file stands in the way
  EXPECT_FALSE(forceFolders(u""));
}

TEST_F(Files, SizeOfFileIsMinusOneForMissingEmptyAndFolders) {
  EXPECT_EQ(sizeOfFile(docs(u"notes.txt")), 7);
  EXPECT_EQ(sizeOfFile(docs(u"Empty.txt")), -1);
  EXPECT_EQ(sizeOfFile(docs(u"missing.txt")), -1);
  EXPECT_EQ(sizeOfFile(kDocs), -1);

  // Past 4 GiB the full 64-bit size comes back (a sparse file: no disk used).
  const int64_t big = (int64_t(5) << 30) + 3;
  const std::string hostBig = host("drive_c/users/alice/Documents/big.bin");
  const int fd = ::open(hostBig.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, big), 0);
  ASSERT_EQ(::pwrite(fd, "end", 3, big - 3), 3);
  ::close(fd);
  EXPECT_EQ(sizeOfFile(docs(u"big.bin")), big);

  tfile file;
  ASSERT_TRUE(openForRead(file, docs(u"big.bin")));
  EXPECT_EQ(fileSizeOf(file), big);
  char buffer[16] = {};
  size_t count = sizeof buffer;
  EXPECT_EQ(readAt(file, buffer, count, uint64_t(big - 3)), 3u);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(std::string(buffer, 3), "end");
  EXPECT_TRUE(atEndOfFile(file));
  EXPECT_TRUE(closeFile(file));
}

TEST_F(Files, WriteReadAndAppend) {
  const std::u16string path = u"C:\\users\\alice\\New\\Deep\\data.bin";
  tfile file;
  ASSERT_TRUE(openForWrite(file, path));  // creates New\Deep
  EXPECT_TRUE(writeBlock(file, "0123456789", 10));
  EXPECT_EQ(filePosition(file), 10u);
  EXPECT_TRUE(closeFile(file));
  EXPECT_FALSE(file.isOpen());

  ASSERT_TRUE(openForAppend(file, path, 0));  // 0: at the end
  EXPECT_TRUE(writeBlock(file, "ab", 2));
  closeFile(file);
  ASSERT_TRUE(openForAppend(file, path, 3));  // elsewhere: overwrite from there
  EXPECT_TRUE(writeBlock(file, "X", 1));
  closeFile(file);
  EXPECT_EQ(readHostFile("drive_c/users/alice/New/Deep/data.bin"), "012X456789ab");
  EXPECT_FALSE(openForAppend(file, docs(u"missing.bin"), 0));
  EXPECT_FALSE(file.isOpen());

  ASSERT_TRUE(openForRead(file, path));
  EXPECT_FALSE(writeBlock(file, "no", 2));  // opened for reading only
  char buffer[8] = {};
  size_t count = 4;
  EXPECT_EQ(readAt(file, buffer, count, 8), 4u);
  EXPECT_EQ(std::string(buffer, count), "89ab");
  count = 4;
  EXPECT_EQ(readBlock(file, buffer, count), 0u);  // at the end
  EXPECT_EQ(count, 0u);
  EXPECT_TRUE(atEndOfFile(file));
  EXPECT_TRUE(seekTo(file, 0));
  EXPECT_FALSE(atEndOfFile(file));
  closeFile(file);

  // A closed file reads nothing and writes nothing.
  count = 4;
  EXPECT_EQ(readBlock(file, buffer, count), 0u);
  EXPECT_FALSE(writeBlock(file, "x", 1));
  EXPECT_EQ(fileSizeOf(file), -1);
}

TEST_F(Files, CopyFile) {
  writeHostFile("drive_c/users/alice/Documents/notes.txt", "fresh text");
  const int64_t stamp = 1600000000;
  const timespec times[2] = {{stamp, 0}, {stamp, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, host("drive_c/users/alice/Documents/notes.txt").c_str(), times, 0), 0);

  const std::u16string target = u"C:\\users\\alice\\Backup\\Sub\\notes.txt";
  writeHostFile("drive_c/users/alice/Documents/old.txt", "an older and longer text");
  ASSERT_TRUE(copyFile(docs(u"notes.txt"), target));  // creates Backup\Sub
  EXPECT_EQ(readHostFile("drive_c/users/alice/Backup/Sub/notes.txt"), "fresh text");
  EXPECT_EQ(writeTimeOf(target), writeTimeOf(docs(u"notes.txt")));
  ASSERT_TRUE(copyFile(docs(u"notes.txt"), docs(u"old.txt")));  // replaces, shorter
  EXPECT_EQ(readHostFile("drive_c/users/alice/Documents/old.txt"), "fresh text");

  // Onto itself (here under another spelling) it must fail without harm.
  EXPECT_FALSE(copyFile(docs(u"notes.txt"), u"C:\\USERS\\alice\\documents\\Notes.TXT"));
  ASSERT_EQ(::link(host("drive_c/users/alice/Documents/notes.txt").c_str(),
                   host("drive_c/users/alice/Documents/hardlink.txt").c_str()),
            0);
  EXPECT_FALSE(copyFile(docs(u"notes.txt"), docs(u"hardlink.txt")));
  EXPECT_EQ(readHostFile("drive_c/users/alice/Documents/notes.txt"), "fresh text");

  EXPECT_FALSE(copyFile(docs(u"missing.txt"), u"C:\\users\\alice\\Backup\\missing.txt"));
  EXPECT_FALSE(fileExists(u"C:\\users\\alice\\Backup\\missing.txt"));
  EXPECT_FALSE(copyFile(kDocs, u"C:\\users\\alice\\Backup\\folder"));  // not a file
}

TEST_F(Files, MoveDeleteAttributesAndTimes) {
  EXPECT_TRUE(moveFile(docs(u"notes.txt"), docs(u"moved.txt")));
  EXPECT_FALSE(fileExists(docs(u"notes.txt")));
  EXPECT_TRUE(fileExists(docs(u"moved.txt")));
  EXPECT_TRUE(deleteFile(docs(u"moved.txt")));
  EXPECT_FALSE(fileExists(docs(u"moved.txt")));
  EXPECT_FALSE(deleteFile(docs(u"moved.txt")));

  const std::u16string inbox = docs(u"Mail\\Inbox.dbx");
  EXPECT_TRUE(setAttributesOf(inbox, kAttrReadOnly | kAttrArchive));
  EXPECT_EQ(attributesOf(inbox) & (kAttrReadOnly | kAttrDirectory), uint32_t{kAttrReadOnly});
  EXPECT_TRUE(attributesOf(kDocs) & kAttrDirectory);
  EXPECT_EQ(attributesOf(docs(u"missing.txt")), 0u);

  // Times come at the 2-second resolution of DOS times: an odd second is
  // taken down to the even one before it.
  const int64_t stamp = 1600000001;
  const timespec times[2] = {{stamp, 0}, {stamp, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, host("drive_c/users/alice/Documents/Mail/Inbox.dbx").c_str(),
                        times, 0),
            0);
  EXPECT_EQ(writeTimeOf(inbox), fileTimeToDays(unixToFileTime(stamp - 1)));
  EXPECT_EQ(accessTimeOf(inbox), writeTimeOf(inbox));
  EXPECT_GT(creationTimeOf(inbox), 0.0);
  EXPECT_EQ(writeTimeOf(docs(u"missing.txt")), 0.0);
}

TEST_F(Files, IsNtfsVolume) {
  EXPECT_TRUE(isNtfsVolume(u"C:\\"));
  EXPECT_TRUE(isNtfsVolume(u"c:"));
  EXPECT_FALSE(isNtfsVolume(u"D:\\"));  // the CD
  EXPECT_FALSE(isNtfsVolume(u"Q:\\"));
  EXPECT_FALSE(isNtfsVolume(u""));
}

// ---------------------------------------------------------------- find data

std::vector<std::u16string> listNames(std::u16string_view pattern) {
  std::vector<std::u16string> names;
  tfinddata fd;
  for (bool more = findFirst(fd, pattern); more; more = findNext(fd)) names.push_back(fd.name);
  findClose(fd);
  return names;
}

TEST_F(Files, FindFirstMatchesLikeWindows) {
  const std::u16string mail = docs(u"Mail\\");
  struct Case {
    std::u16string pattern;
    std::vector<std::u16string> names;
  };
  const std::vector<Case> cases = {
      {mail + u"*", {u"Inbox.dbx", u"outbox.wab", u"Sent.DBX"}},
      {mail + u"*.*", {u"Inbox.dbx", u"outbox.wab", u"Sent.DBX"}},
      {mail + u"*.dbx", {u"Inbox.dbx", u"Sent.DBX"}},
      {mail + u"?nbox.*", {u"Inbox.dbx"}},
      {mail + u"*box*", {u"Inbox.dbx", u"outbox.wab"}},
      {mail + u"INBOX.DBX", {u"Inbox.dbx"}},
      {mail + u"*.pst", {}},
      {u"C:\\*", {u"Program Files", u"users", u"windows"}},
      {u"C:\\no such folder\\*", {}},
      {mail, {}},  // no name part
  };
  for (const Case& c : cases) EXPECT_EQ(listNames(c.pattern), c.names) << wideToUtf8(c.pattern);
}

TEST_F(Files, FindDataDescribesEachEntry) {
  tfinddata fd;
  ASSERT_TRUE(findFirst(fd, docs(u"*")));
  bool sawFolder = false, sawNotes = false;
  do {
    if (fd.name == u"Mail") {
      sawFolder = true;
      EXPECT_TRUE(fd.isFolder);
      EXPECT_TRUE(fd.attributes & kAttrDirectory);
      EXPECT_EQ(fd.size, 0);
    }
    if (fd.name == u"notes.txt") {
      sawNotes = true;
      EXPECT_FALSE(fd.isFolder);
      EXPECT_EQ(fd.size, 7);
      EXPECT_EQ(fd.writeTime, writeTimeOf(docs(u"notes.txt")));
      EXPECT_GT(fd.writeTime, 0.0);
    }
  } while (findNext(fd));
  EXPECT_TRUE(sawFolder);
  EXPECT_TRUE(sawNotes);
  EXPECT_FALSE(findNext(fd));  // stays at the end
  findClose(fd);
  EXPECT_FALSE(findNext(fd));
}

// ---------------------------------------------------------------- text files

TEST_F(Files, TextFilesAreWrittenAsAnsiWithCrLf) {
  ttextfile text;
  ASSERT_TRUE(createTextFile(text, u"C:\\users\\alice\\Logs\\log.html"));  // creates Logs
  EXPECT_TRUE(writeTextLine(text, u"<html>"));
  EXPECT_TRUE(writeTextLine(text, u"Grüße €"));
  EXPECT_TRUE(writeTextLine(text, u"日本"));  // not in code page 1252
  EXPECT_TRUE(writeTextLine(text, std::string_view("\xE9t\xE9")));  // bytes as they are
  EXPECT_FALSE(textFileEnded(text));
  closeTextFile(text);
  EXPECT_TRUE(textFileEnded(text));
  EXPECT_EQ(readHostFile("drive_c/users/alice/Logs/log.html"),
            "<html>\r\nGr\xFC\xDF" "e \x80\r\n??\r\n\xE9t\xE9\r\n");
}

TEST_F(Files, TextFilesAreReadInEveryEncoding) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> lines;
  };
  const std::vector<Case> cases = {
      {"ansi crlf", "one\r\ntwo\r\n", {u"one", u"two"}},
      {"ansi lf, last line unended", "one\ntwo", {u"one", u"two"}},
      {"ansi 1252", "Gr\xFC\xDF" "e \x80", {u"Grüße €"}},
      {"blank lines kept", "a\r\n\r\n\nb\r\n", {u"a", u"", u"", u"b"}},
      {"inner cr kept", "a\rb\r\n", {u"a\rb"}},
      {"empty", "", {}},
      {"utf-16le", std::string("\xFF\xFE" "a\0\xFC\0\r\0\n\0b\0", 12), {u"aü", u"b"}},
      {"utf-16be", std::string("\xFE\xFF\0a\x20\xAC\0\n\0b\0\n", 12), {u"a€", u"b"}},
      {"utf-16le odd byte dropped", std::string("\xFF\xFE" "a\0b", 5), {u"a"}},
      {"utf-16le bom only", std::string("\xFF\xFE", 2), {}},
      {"utf-8", "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F" "e\nx", {u"Grüße", u"x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeHostFile("drive_c/users/alice/Documents/in.txt", c.bytes);
    ttextfile text;
    ASSERT_TRUE(openTextFile(text, docs(u"in.txt")));
    std::vector<std::u16string> lines;
    std::u16string line;
    while (readTextLine(text, line)) lines.push_back(line);
    EXPECT_EQ(lines, c.lines);
    EXPECT_TRUE(textFileEnded(text));
    closeTextFile(text);
  }
  ttextfile text;
  EXPECT_FALSE(openTextFile(text, docs(u"missing.txt")));
  std::u16string line;
  EXPECT_FALSE(readTextLine(text, line));
}

TEST_F(Files, LongTextLinesCrossTheReadAhead) {
  // Lines longer than the read-ahead, in UTF-16 so that a unit could be cut.
  const std::u16string longLine(70001, u'x');
  std::string bytes = "\xFF\xFE";
  for (const std::u16string& l : {longLine, std::u16string(u"short"), longLine}) {
    for (char16_t c : l + u"\r\n") {
      bytes += static_cast<char>(c & 0xFF);
      bytes += static_cast<char>(c >> 8);
    }
  }
  writeHostFile("drive_c/users/alice/Documents/long.txt", bytes);
  ttextfile text;
  ASSERT_TRUE(openTextFile(text, docs(u"long.txt")));
  std::u16string line;
  ASSERT_TRUE(readTextLine(text, line));
  EXPECT_EQ(line, longLine);
  ASSERT_TRUE(readTextLine(text, line));
  EXPECT_EQ(line, u"short");
  ASSERT_TRUE(readTextLine(text, line));
  EXPECT_EQ(line, longLine);
  EXPECT_FALSE(readTextLine(text, line));
  closeTextFile(text);
}

}  // namespace
}  // namespace zq
