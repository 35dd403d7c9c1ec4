// Damage done to a real archive, one field at a time: every change must give
// one precise reaction from the reader, and none may crash it or make it
// write more than a record's file size.
#include <gtest/gtest.h>

#include <functional>

#include "archive/archive_reader.h"
#include "archive/format.h"
#include "archive_test_support.h"

namespace zq {
namespace {

using testing::Bytes;
using testing::Content;
using testing::seededBytes;

constexpr size_t kStub = 256;
constexpr char kPassphrase[] = "correct horse";

std::vector<testing::TestFile> sampleFiles(size_t firstSize) {
  return {{u"a.txt", seededBytes(firstSize, 1, Content::Text)},  // compressed chunks
          {u"b.bin", seededBytes(13, 2, Content::Random)},      // one stored chunk
          {u"empty.txt", {}},
          {u"c.bin", seededBytes(20, 3, Content::Random)}};
}

// Opens, checks the passphrase, reads the records and restores every file.
// Returns "ok" or the first fault, prefixed with the stage that found it.
std::string react(const Bytes& body, bool encrypted = false) {
  MemorySource source(body);
  ArchiveReader reader(source);
  std::string why;
  if (!reader.open(&why)) return "open: " + why;
  if (reader.encrypted() && !reader.useKeyText(keyTextFromPassphrase(encrypted ? kPassphrase : "")))
    return "passphrase refused";
  if (!reader.readRecords(&why)) return "records: " + why;
  if (!why.empty()) return "records: " + why;
  for (size_t i = 0; i < reader.records().size(); ++i) {
    NullSink sink;
    const RestoreOutcome outcome = reader.restoreFile(i, sink, {}, &why);
    const int64_t filesize = reader.records()[i].filesize;
    EXPECT_LE(static_cast<int64_t>(sink.written), filesize < 0 ? 0 : filesize);
    if (outcome != RestoreOutcome::Restored) return "restore: " + why;
  }
  return "ok";
}

void putLittle(Bytes& body, int64_t at, uint64_t value, int width) {
  for (int i = 0; i < width; ++i) body[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Where things are in the undamaged body.
struct Layout {
  explicit Layout(const Bytes& body, bool encrypted = false) : size(static_cast<int64_t>(body.size())) {
    MemorySource source(body);
    ArchiveReader reader(source);
    std::string why;
    EXPECT_TRUE(reader.open(&why)) << why;
    if (encrypted) {
      EXPECT_TRUE(reader.useKeyText(keyTextFromPassphrase(kPassphrase)));
    }
    EXPECT_TRUE(reader.readRecords(&why)) << why;
    records = reader.records();
    dataEnd = reader.dataEnd();
    trailer = size - 896;
  }
  int64_t record(int i) const {
    return recordOffset(size, static_cast<int64_t>(records.size()), i);
  }
  int64_t size;
  int64_t dataEnd;
  int64_t trailer;
  std::vector<tfilerecord> records;
};

struct Damage {
  std::string what;
  std::function<void(Bytes&)> apply;
  std::string reaction;  // exact, or a prefix when it ends in "..."
};

void expectReaction(const Bytes& body, const Damage& d, bool encrypted) {
  Bytes damaged = body;
  d.apply(damaged);
  const std::string got = react(damaged, encrypted);
  if (d.reaction.size() > 3 && d.reaction.ends_with("...")) {
    const std::string prefix = d.reaction.substr(0, d.reaction.size() - 3);
    EXPECT_EQ(got.substr(0, prefix.size()), prefix) << d.what << "\n  got: " << got;
  } else {
    EXPECT_EQ(got, d.reaction) << d.what;
  }
}

TEST(Damage, EachCheckedFieldGivesOnePreciseReaction) {
  const Bytes body = testing::buildArchive(sampleFiles(70000), {}, kStub);
  ASSERT_EQ(react(body), "ok");
  const Layout at(body);
  ASSERT_EQ(at.records.size(), 4u);
  const auto& r = at.records;
  const std::string size = std::to_string(at.size);
  const std::string areaEnd = " (the data area ends at " + std::to_string(at.dataEnd) + ")";
  auto field = [&](int record, size_t offset) { return at.record(record) + offset; };
  using namespace record_field;

  const Damage cases[] = {
      // The trailer.
      {"trailer length byte", [&](Bytes& b) { b[at.trailer] = 0; },
       "open: trailer: marker missing (length byte 0x00 instead of 0x10)"},
      {"trailer marker text", [&](Bytes& b) { b[at.trailer + 5] ^= 0x20; },
       "open: trailer: marker text differs at byte 5"},
      {"body shorter than a trailer", [&](Bytes& b) { b.resize(895); },
       "open: a body of 895 bytes is too short to hold a trailer (896 bytes)"},
      {"last byte cut", [&](Bytes& b) { b.pop_back(); }, "open: trailer: marker..."},
      {"byte appended", [&](Bytes& b) { b.push_back(0x10); }, "open: trailer: marker..."},
      {"record count inflated", [&](Bytes& b) { putLittle(b, at.trailer + 872, 1ull << 40, 8); },
       "open: trailer: record count 1099511627776 does not fit in a body of " + size + " bytes"},
      {"record count negative", [&](Bytes& b) { putLittle(b, at.trailer + 872, ~0ull, 8); },
       "open: trailer: record count -1 is negative"},
      {"record count one too many", [&](Bytes& b) { putLittle(b, at.trailer + 872, 5, 8); },
       "records: record 0: marker..."},
      // The records.
      {"record 1 marker", [&](Bytes& b) { b[field(1, kMarker) + 3] ^= 1; },
       "records: record 1: marker text differs at byte 3; the list ends there (3 of 4 records "
       "not used)"},
      {"last record marker", [&](Bytes& b) { b[field(3, kMarker)] = 0; },
       "records: record 3: marker missing (length byte 0x00 instead of 0x10); the list ends "
       "there (1 of 4 records not used)"},
      {"data offset past the data area",
       [&](Bytes& b) { putLittle(b, field(0, kDataOffset), at.dataEnd + 1, 8); },
       "restore: record 0: data offset " + std::to_string(at.dataEnd + 1) +
           " lies outside the data area" + areaEnd},
      {"data offset negative", [&](Bytes& b) { putLittle(b, field(0, kDataOffset), -8, 8); },
       "restore: record 0: data offset -8 lies outside the data area" + areaEnd},
      {"data offset one off",
       [&](Bytes& b) { putLittle(b, field(0, kDataOffset), r[0].dataoffset + 1, 8); },
       "restore: record 0, chunk at offset 257: marker missing (length byte 0x43 instead of 0x10)"},
      {"stored size past the data area",
       [&](Bytes& b) { putLittle(b, field(0, kStoredSize), at.dataEnd, 8); },
       "restore: record 0: stored size " + std::to_string(at.dataEnd) +
           " does not fit in the data area" + areaEnd},
      {"stored size negative", [&](Bytes& b) { putLittle(b, field(0, kStoredSize), -1, 8); },
       "restore: record 0: stored size -1 does not fit in the data area" + areaEnd},
      {"stored size too small", [&](Bytes& b) { putLittle(b, field(1, kStoredSize), 8, 8); },
       "restore: record 1, chunk at offset " + std::to_string(r[1].dataoffset) +
           ": its 16-byte payload runs past the stored size 8"},
      {"file size too small", [&](Bytes& b) { putLittle(b, field(1, kFileSize), 5, 8); },
       "restore: record 1: the chunks decode to more than the file size 5"},
      // The chunks.
      {"chunk marker", [&](Bytes& b) { b[r[1].dataoffset + 1] = 0; },
       "restore: record 1, chunk at offset " + std::to_string(r[1].dataoffset) +
           ": marker missing (length byte 0x00 instead of 0x10)"},
      {"payload longer than a chunk",
       [&](Bytes& b) { putLittle(b, r[0].dataoffset + 20, 524289, 4); },
       "restore: record 0, chunk at offset 256: payload of 524289 bits is longer than a chunk "
       "can be (524288 bits)"},
      {"payload past the stored size",
       [&](Bytes& b) { putLittle(b, r[3].dataoffset + 20, 524288, 4); },
       "restore: record 3, chunk at offset " + std::to_string(r[3].dataoffset) +
           ": its 65536-byte payload runs past the stored size 24"},
      {"payload past the data area",
       [&](Bytes& b) {
         putLittle(b, field(3, kStoredSize), 52, 8);
         putLittle(b, r[3].dataoffset + 20, 8 * 48, 4);
       },
       "restore: record 3, chunk at offset " + std::to_string(r[3].dataoffset) +
           ": its 48-byte payload runs past the data area" + areaEnd},
      {"a chunk removed from the data stream",
       [&](Bytes& b) { b.erase(b.begin() + r[1].dataoffset, b.begin() + r[1].dataoffset + 44); },
       "restore: record 1, chunk at offset " + std::to_string(r[1].dataoffset) +
           ": its 24-byte payload runs past the stored size 16"},
  };
  for (const auto& d : cases) expectReaction(body, d, false);

  // Without its last-chunk mark, record 0's chain still ends with its stored
  // bytes and never runs on into the next file's chunks.
  int64_t chunk = r[0].dataoffset;
  for (;;) {
    tchunkheader header;
    ASSERT_TRUE(decodeChunkHeader(std::span<const uint8_t, 28>(&body[chunk], 28), header, nullptr));
    if (header.lastchunk == 1) break;
    chunk += 28 + static_cast<int64_t>(storedPayloadLength(header.payloadbits));
  }
  expectReaction(body, {"last-chunk mark cleared", [&](Bytes& b) { b[chunk + 24] = 0; }, "ok"},
                 false);
}

TEST(Damage, EncryptedArchiveReactions) {
  const Bytes body = testing::buildArchive(sampleFiles(3000), kPassphrase, kStub);
  ASSERT_EQ(react(body, true), "ok");
  const Layout at(body, true);
  const Damage cases[] = {
      {"check block", [&](Bytes& b) { b[at.trailer + 884] ^= 1; }, "passphrase refused"},
      // Read as plain, the enciphered records have no marker.
      {"encrypted flag cleared", [&](Bytes& b) { b[at.trailer + 880] = 0; },
       "records: record 0: marker..."},
  };
  for (const auto& d : cases) expectReaction(body, d, true);
}

// The bytes the reader trusts least (the trailer, the fixed part of every
// record, every chunk header), each changed in three ways, one at a time: the
// reader must stay inside its buffers (the sanitizer build watches) and never
// write more than a file's size (react checks), and every change to a marker
// must be noticed.
TEST(Damage, NoSingleByteChangeCrashesTheReader) {
  const Bytes body = testing::buildArchive(sampleFiles(100), {}, 64);
  const Layout at(body);
  struct Position {
    int64_t at;
    bool marker;
  };
  std::vector<Position> positions;
  for (int64_t i = at.trailer; i < at.size; ++i) positions.push_back({i, i < at.trailer + 17});
  for (int rec = 0; rec < 4; ++rec) {
    for (int64_t i = 0; i < 17; ++i) positions.push_back({at.record(rec) + i, true});
    for (int64_t i = 6478; i < 6544; ++i) positions.push_back({at.record(rec) + i, false});
  }
  for (const auto& record : at.records) {
    if (record.storedsize == 0) continue;
    for (int64_t i = 0; i < 28; ++i) {
      positions.push_back({record.dataoffset + i, i >= 1 && i < 18});
    }
  }
  for (const auto& position : positions) {
    for (uint8_t change : {uint8_t{0x01}, uint8_t{0x80}, uint8_t{0xFF}}) {
      Bytes damaged = body;
      damaged[position.at] ^= change;
      const std::string reaction = react(damaged);
      if (position.marker) {
        EXPECT_NE(reaction, "ok") << "marker byte at " << position.at;
      }
    }
  }
}

}  // namespace
}  // namespace zq
