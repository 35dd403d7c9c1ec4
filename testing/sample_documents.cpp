// The user's own files on the default sample computer: something for the
// file-type search, the manual selection and the demo to find.
#include <string>

#include "testing/sample_machine.h"

namespace zq {

namespace {

// 2023-05-14 10:20:30 UTC, so listings of the sample do not change from run to run.
constexpr int64_t kSampleTime = 1684059630;

// Small files that begin the way real ones of their type do.
std::string fakeDoc(const std::string& text) {
  return std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(24, '\0') + text;
}

std::string fakeJpeg() {
  std::string s("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);
  for (int i = 0; i < 600; ++i) s += static_cast<char>((i * 37) & 0xFF);
  return s + std::string("\xFF\xD9", 2);
}

std::string fakeMp3() {
  std::string s("ID3\x03\x00\x00\x00\x00\x00\x0A", 10);
  s += std::string(10, '\0');
  for (int i = 0; i < 400; ++i) s += static_cast<char>((i * 11 + 5) & 0xFF);
  return s;
}

}  // namespace

SampleData sampleUserDocuments() {
  SampleData d;
  d.name = "documents";
  const std::u16string docs = u"%USERPROFILE%\\Documents\\";
  const std::u16string desk = u"%USERPROFILE%\\Desktop\\";
  const std::u16string nethood = u"%APPDATA%\\Microsoft\\Windows\\Network Shortcuts\\";
  d.files = {
      {docs + u"Letter to Bob.doc", fakeDoc("Dear Bob, thank you for the lovely weekend."),
       kSampleTime},
      {docs + u"Budget 2023.xls", fakeDoc("Rent;Food;Car;Holidays"), kSampleTime},
      {docs + u"Notes.txt", "Buy stamps\r\nCall the garage\r\n", kSampleTime},
      {docs + u"Gr\u00fc\u00dfe an Oma.txt", "Liebe Oma,\r\nviele Gr\xfc\xdf" "e!\r\n",
       kSampleTime},
      {docs + u"Projects\\Garden\\Plan.txt", "Roses by the fence, beans at the back.\r\n",
       kSampleTime},
      {u"%USERPROFILE%\\Pictures\\Holiday 001.jpg", fakeJpeg(), kSampleTime},
      {u"%USERPROFILE%\\Music\\Evening Song.mp3", fakeMp3(), kSampleTime},
      {desk + u"Shopping list.txt", "Milk\r\nBread\r\nApples\r\n", kSampleTime},
      {desk + u"Minutes.doc", fakeDoc("Minutes of the club meeting"), kSampleTime},
      {u"%USERPROFILE%\\Favorites\\Example.url",
       "[InternetShortcut]\r\nURL=http://www.example.com/\r\n", kSampleTime},
      // A network place: a folder with a marker desktop.ini and its target.lnk.
      {nethood + u"Backups on nas\\desktop.ini",
       "[.ShellClassInfo]\r\nCLSID2={0AFACED1-E828-11D1-9187-B532F1E9575D}\r\nFlags=2\r\n",
       kSampleTime},
      {u"D:\\Archive\\2019\\Old report.doc", fakeDoc("Annual report 2019"), kSampleTime},
      {u"E:\\readme.txt", "Holiday photos 2022\r\n", kSampleTime},
  };
  d.shortcuts = {
      {desk + u"Notes.lnk", docs + u"Notes.txt"},
      {nethood + u"Backups on nas\\target.lnk", u"\\\\nas\\backups\\%USERNAME%"},
  };
  return d;
}

SampleData sampleDocumentsFolderAt(std::u16string folder) {
  SampleData documents;
  documents.name = "documents folder moved";
  documents.folders = {folder};
  const std::u16string key = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  documents.values = {sampleText(RegRoot::CurrentUser, key + u"User Shell Folders", u"Personal",
                                 folder, kRegExpandSz),
                      sampleText(RegRoot::CurrentUser, key + u"Shell Folders", u"Personal",
                                 folder)};
  return documents;
}

}  // namespace zq
