#include "archive/format.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

#include "archive/catalogue_names.h"
#include "archive/chunk_writer.h"
#include "archive/companion.h"
#include "core/text.h"

namespace zq {
namespace {

// Offsets below are written as plain numbers, as the layout table gives
// them, so that a wrong named offset in the code shows up here.

uint64_t little(const uint8_t* p, int width) {
  uint64_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

bool isMarkerAt(const uint8_t* p) {
  return p[0] == 16 && std::string(reinterpret_cast<const char*>(p + 1), 16) == "CHING BONG POWER";
}

// Every byte outside the given [begin, end) ranges must be zero.
template <size_t N>
void expectZeroOutside(const std::array<uint8_t, N>& bytes,
                       std::vector<std::pair<size_t, size_t>> used) {
  std::vector<bool> inField(N, false);
  for (auto [begin, end] : used) {
    for (size_t i = begin; i < end; ++i) inField[i] = true;
  }
  for (size_t i = 0; i < N; ++i) {
    if (!inField[i]) {
      ASSERT_EQ(bytes[i], 0) << "reserved byte " << i;
    }
  }
}

TEST(Layout, ChunkHeader) {
  tchunkheader header{1, 0x00071234, 1};
  ChunkHeaderBytes bytes;
  bytes.fill(0xEE);
  encodeChunkHeader(header, bytes);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_TRUE(isMarkerAt(&bytes[1]));
  EXPECT_EQ(little(&bytes[20], 4), 0x00071234u);
  EXPECT_EQ(bytes[24], 1);
  expectZeroOutside(bytes, {{0, 18}, {20, 25}});

  tchunkheader back;
  ASSERT_TRUE(decodeChunkHeader(bytes, back, nullptr));
  EXPECT_EQ(back.compressed, 1);
  EXPECT_EQ(back.payloadbits, 0x00071234u);
  EXPECT_EQ(back.lastchunk, 1);
}

TEST(Layout, FileRecord) {
  tfilerecord record;
  record.tag = "mail";
  record.programname = "Thunderbird";
  record.filename = u"Inbox.msf";
  record.relativefolder = u"Mail\\Local Folders";
  record.sourcefolder = u"C:\\Users\\x\\";
  record.filesize = -1;
  record.compressible = 1;
  record.storedsize = 0x1122334455;
  record.attributes = 0x27;
  record.creationtime = 1.5;
  record.writetime = 39000.75;
  record.accesstime = -2.0;
  record.dataoffset = 0x0102030405060708;
  FileRecordBytes bytes;
  bytes.fill(0xEE);
  encodeFileRecord(record, bytes);

  EXPECT_TRUE(isMarkerAt(&bytes[0]));
  EXPECT_EQ(bytes[17], 4);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[18]), 4), "mail");
  EXPECT_EQ(bytes[273], 11);
  EXPECT_EQ(bytes[274], 'T');
  EXPECT_EQ(little(&bytes[334], 2), u'I');
  EXPECT_EQ(little(&bytes[2382], 2), u'M');
  EXPECT_EQ(little(&bytes[4430], 2), u'C');
  EXPECT_EQ(little(&bytes[6480], 8), 0xFFFFFFFFFFFFFFFFu);
  EXPECT_EQ(bytes[6488], 1);
  EXPECT_EQ(little(&bytes[6496], 8), 0x1122334455u);
  EXPECT_EQ(bytes[6505], 0x27);
  EXPECT_EQ(little(&bytes[6512], 8), 0x3FF8000000000000u);  // 1.5
  EXPECT_EQ(little(&bytes[6536], 8), 0x0102030405060708u);
  expectZeroOutside(bytes, {{0, 17 + 1 + 4},
                            {273, 273 + 1 + 11},
                            {334, 334 + 2 * 9},
                            {2382, 2382 + 2 * 18},
                            {4430, 4430 + 2 * 11},
                            {6480, 6489},
                            {6496, 6504},
                            {6505, 6506},
                            {6512, 6544}});

  tfilerecord back;
  ASSERT_TRUE(decodeFileRecord(bytes, back, nullptr));
  EXPECT_EQ(back.tag, record.tag);
  EXPECT_EQ(back.programname, record.programname);
  EXPECT_EQ(back.filename, record.filename);
  EXPECT_EQ(back.relativefolder, record.relativefolder);
  EXPECT_EQ(back.sourcefolder, record.sourcefolder);
  EXPECT_EQ(back.filesize, -1);
  EXPECT_EQ(back.storedsize, record.storedsize);
  EXPECT_EQ(back.attributes, 0x27);
  EXPECT_EQ(back.creationtime, 1.5);
  EXPECT_EQ(back.writetime, 39000.75);
  EXPECT_EQ(back.accesstime, -2.0);
  EXPECT_EQ(back.dataoffset, record.dataoffset);
}

TEST(Layout, Trailer) {
  tarchivetrailer trailer;
  trailer.productname = "Quillo Transfer Prime";
  trailer.versiontext = "3.2";
  trailer.programpresent[0] = 1;
  trailer.programpresent[33] = 1;
  trailer.manualpresent = 1;
  trailer.recordcount = 0x123456789A;
  trailer.encrypted = 1;
  trailer.checkleft = 0xA1B2C3D4;
  trailer.checkright = 0x01020304;
  TrailerBytes bytes;
  bytes.fill(0xEE);
  encodeTrailer(trailer, bytes);

  EXPECT_TRUE(isMarkerAt(&bytes[0]));
  EXPECT_EQ(bytes[17], 21);
  EXPECT_EQ(bytes[18], 'Q');
  EXPECT_EQ(bytes[536], 3);
  EXPECT_EQ(bytes[537], '3');
  EXPECT_EQ(bytes[578], 1);
  EXPECT_EQ(bytes[611], 1);
  EXPECT_EQ(bytes[612], 1);
  EXPECT_EQ(little(&bytes[872], 8), 0x123456789Au);
  EXPECT_EQ(bytes[880], 1);
  EXPECT_EQ(little(&bytes[884], 4), 0xA1B2C3D4u);
  EXPECT_EQ(little(&bytes[888], 4), 0x01020304u);
  expectZeroOutside(bytes, {{0, 17 + 1 + 21},
                            {536, 536 + 1 + 3},
                            {578, 579},
                            {611, 613},
                            {872, 881},
                            {884, 892}});

  tarchivetrailer back;
  ASSERT_TRUE(decodeTrailer(bytes, back, nullptr));
  EXPECT_EQ(back.productname, trailer.productname);
  EXPECT_EQ(back.versiontext, "3.2");
  EXPECT_EQ(back.programpresent, trailer.programpresent);
  EXPECT_EQ(back.manualpresent, 1);
  EXPECT_EQ(back.recordcount, trailer.recordcount);
  EXPECT_EQ(back.encrypted, 1);
  EXPECT_EQ(back.checkleft, trailer.checkleft);
  EXPECT_EQ(back.checkright, trailer.checkright);
}

TEST(Layout, MarkerIsCheckedFirstAndExactly) {
  struct Case {
    size_t byte;
    uint8_t value;
    const char* why;
  };
  const Case cases[] = {
      {0, 0x00, "marker missing (length byte 0x00 instead of 0x10)"},
      {0, 0x11, "marker missing (length byte 0x11 instead of 0x10)"},
      {1, 'c', "marker text differs at byte 1"},
      {16, 'r', "marker text differs at byte 16"},
  };
  for (const auto& c : cases) {
    TrailerBytes bytes;
    encodeTrailer(tarchivetrailer{}, bytes);
    bytes[c.byte] = c.value;
    tarchivetrailer out;
    std::string why;
    EXPECT_FALSE(decodeTrailer(bytes, out, &why));
    EXPECT_EQ(why, c.why);
  }
}

TEST(Layout, PayloadLongerThanAChunkIsRefused) {
  ChunkHeaderBytes bytes;
  tchunkheader out;
  std::string why;
  encodeChunkHeader({0, 65536 * 8, 1}, bytes);
  EXPECT_TRUE(decodeChunkHeader(bytes, out, &why));
  encodeChunkHeader({0, 65536 * 8 + 1, 1}, bytes);
  EXPECT_FALSE(decodeChunkHeader(bytes, out, &why));
  EXPECT_EQ(why, "payload of 524289 bits is longer than a chunk can be (524288 bits)");
}

TEST(Layout, StoredPayloadLengthIsWholeBlocks) {
  EXPECT_EQ(storedPayloadLength(0), 0u);
  EXPECT_EQ(storedPayloadLength(1), 8u);
  EXPECT_EQ(storedPayloadLength(8), 8u);
  EXPECT_EQ(storedPayloadLength(64), 8u);
  EXPECT_EQ(storedPayloadLength(65), 16u);
  EXPECT_EQ(storedPayloadLength(104), 16u);
  EXPECT_EQ(storedPayloadLength(0xFFFFFFFF), 0x20000000u);
}

// ---------------------------------------------------------------- texts

TEST(Texts, ShortStringsAreCutAndClamped) {
  uint8_t field[61];
  encodeShortString(std::string(70, 'x'), 60, field);
  EXPECT_EQ(field[0], 60);
  EXPECT_EQ(decodeShortString(field, 60), std::string(60, 'x'));
  // A length byte above the field's capacity is clamped to it.
  field[0] = 255;
  EXPECT_EQ(decodeShortString(field, 60).size(), 60u);
  encodeShortString("\xE9t\xE9", 60, field);  // ANSI bytes pass unchanged
  EXPECT_EQ(decodeShortString(field, 60), "\xE9t\xE9");
  EXPECT_EQ(field[4], 0);
}

TEST(Texts, WideArraysKeepAtMost520UnitsAndWholePairs) {
  const std::u16string pair = u"\U0001F600";  // two units
  struct Case {
    std::u16string text;
    size_t kept;
  };
  const Case cases[] = {
      {std::u16string(520, u'a'), 520},
      {std::u16string(600, u'a'), 520},
      {std::u16string(519, u'a') + pair, 519},        // the pair would be split: cut at 519
      {std::u16string(518, u'a') + pair + u"b", 520},  // the pair ends at 520: kept whole
  };
  for (const auto& c : cases) {
    uint8_t field[kWideArrayBytes];
    encodeWideArray(c.text, field);
    const std::u16string back = decodeWideArray(field);
    EXPECT_EQ(back, c.text.substr(0, c.kept));
    EXPECT_EQ(field[2 * c.kept], 0);
  }
}

TEST(Texts, WideArrayReaderStopsAtNulAndAtTheArrayEnd) {
  uint8_t field[kWideArrayBytes];
  for (size_t i = 0; i < kWideArrayBytes; i += 2) field[i] = 'z', field[i + 1] = 0;
  EXPECT_EQ(decodeWideArray(field).size(), 1024u);  // no NUL: never past the array
  field[10] = 0;
  EXPECT_EQ(decodeWideArray(field), u"zzzzz");
}

// ---------------------------------------------------------------- names and rules

TEST(Catalogue, OrderIsTheArchiveContract) {
  EXPECT_EQ(kCatalogueNames.size(), 34u);
  EXPECT_EQ(kCatalogueNames[0], "Access");
  EXPECT_EQ(kCatalogueNames[9], "Internet Explorer");
  EXPECT_EQ(kCatalogueNames[10], "IncrediMail");
  EXPECT_EQ(kCatalogueNames[14], "Outlook Express");
  EXPECT_EQ(kCatalogueNames[15], "Outlook");
  EXPECT_EQ(kCatalogueNames[25], "Thunderbird");
  EXPECT_EQ(kCatalogueNames[33], "Yahoo Messenger");
  std::set<std::string_view> unique(kCatalogueNames.begin(), kCatalogueNames.end());
  EXPECT_EQ(unique.size(), 34u);
  EXPECT_EQ(catalogueIndex("Skype"), 24);
  EXPECT_EQ(catalogueIndex("skype"), -1);
  EXPECT_EQ(catalogueIndex("Manual"), -1);
}

TEST(Compressibility, MediaExtensionsInAnyCase) {
  const std::pair<std::u16string_view, bool> cases[] = {
      {u"PHOTO.JPG", false}, {u"a.jpeg", false},    {u"b.Jpe", false},  {u"song.MP3", false},
      {u"x.wma", false},     {u"clip.mpg", false},  {u"i.png", false},  {u"anim.GIF", false},
      {u".png", false},      {u"notes.txt", true},  {u"a.jpgx", true},  {u"photo.jpg.txt", true},
      {u"README", true},     {u"movie.mp4", true},  {u"a.mpeg", true},
  };
  for (auto [name, compressible] : cases) {
    EXPECT_EQ(isCompressibleName(name), compressible) << wideToUtf8(name);
  }
}

TEST(Companion, PathRule) {
  EXPECT_EQ(companionPath(u"D:\\Backups\\Monday.exe"), u"D:\\Backups\\MondayData.dat");
  EXPECT_EQ(companionPath(u"D:\\Backups\\Monday"), u"D:\\Backups\\MoData.dat");
  EXPECT_EQ(companionPath(u"abc"), u"Data.dat");
  EXPECT_EQ(companionHostPath("/srv/Home.exe"), "/srv/HomeData.dat");
  // Four characters, not four bytes.
  EXPECT_EQ(companionHostPath("/srv/\xC3\x9C" "bung\xE2\x82\xAC\xE2\x82\xAC.e"),
            "/srv/\xC3\x9C" "bungData.dat");
  EXPECT_FALSE(needsCompanion((int64_t{1} << 32) - 1));
  EXPECT_TRUE(needsCompanion(int64_t{1} << 32));
}

TEST(Companion, LocateBodyFindsTheCompanionOfASplitArchive) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("zq_locate_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string exe = (dir / "Home.exe").string();
  const std::string companion = (dir / "HomeData.dat").string();
  std::ofstream(exe) << "stub";
  EXPECT_EQ(locateBody(exe), exe);
  fs::create_directory(companion);  // a folder of that name does not count
  EXPECT_EQ(locateBody(exe), exe);
  fs::remove(companion);
  std::ofstream(companion) << "body";
  EXPECT_EQ(locateBody(exe), companion);
  // A newer archive that holds its own data (it ends in a trailer) is its own
  // body, even beside a companion left from an older, split archive.
  {
    TrailerBytes trailer;
    encodeTrailer(tarchivetrailer{}, trailer);
    std::ofstream out(exe, std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(trailer.data()), trailer.size());
  }
  EXPECT_EQ(locateBody(exe), exe);
  // Renamed: the companion under the old name is not found.
  const std::string renamed = (dir / "Away.exe").string();
  fs::rename(exe, renamed);
  EXPECT_EQ(locateBody(renamed), renamed);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zq
