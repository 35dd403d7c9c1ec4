#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "archive/archive_reader.h"
#include "archive/chunk_writer.h"
#include "archive/format.h"
#include "archive_test_support.h"

namespace zq {
namespace {

using testing::Bytes;
using testing::Content;
using testing::MemoryFile;
using testing::TestFile;
using testing::buildArchive;
using testing::seededBytes;

struct ChunkSeen {
  int64_t offset;
  tchunkheader header;
};

// The chunk chain of a record, walked in a plain body: to the chunk marked
// last or to the end of the stored bytes.
std::vector<ChunkSeen> chunksOf(const Bytes& body, const tfilerecord& record) {
  std::vector<ChunkSeen> chunks;
  if (record.storedsize == 0) return chunks;
  int64_t at = record.dataoffset;
  int64_t stored = 0;
  while (stored < record.storedsize) {
    tchunkheader header;
    EXPECT_TRUE(decodeChunkHeader(std::span<const uint8_t, kChunkHeaderSize>(&body[at], 28),
                                  header, nullptr));
    chunks.push_back({at, header});
    stored += static_cast<int64_t>(storedPayloadLength(header.payloadbits));
    at += 28 + static_cast<int64_t>(storedPayloadLength(header.payloadbits));
    if (header.lastchunk == 1) break;
  }
  return chunks;
}

// Opens a body (with the passphrase when encrypted) and reads its records.
struct Opened {
  explicit Opened(const Bytes& body, const std::string& passphrase = {})
      : source(body), reader(source) {
    std::string why;
    ok = reader.open(&why);
    EXPECT_TRUE(ok) << why;
    if (ok && reader.encrypted()) {
      ok = reader.useKeyText(keyTextFromPassphrase(passphrase));
      EXPECT_TRUE(ok) << "passphrase refused";
    }
    if (ok) {
      ok = reader.readRecords(&why) && why.empty();
      EXPECT_TRUE(ok) << why;
    }
  }
  Bytes restore(size_t index) {
    MemorySink sink;
    std::string why;
    EXPECT_EQ(reader.restoreFile(index, sink, {}, &why), RestoreOutcome::Restored) << why;
    return sink.bytes;
  }
  MemorySource source;
  ArchiveReader reader;
  bool ok = false;
};

TEST(Writing, EmptyArchiveIsTheStubAndTheTrailer) {
  const Bytes body = buildArchive({}, {}, 777);
  ASSERT_EQ(body.size(), 777u + 896);
  EXPECT_TRUE(std::equal(body.begin(), body.begin() + 777, testing::seededStub(777).begin()));
  Opened opened(body);
  ASSERT_TRUE(opened.ok);
  EXPECT_EQ(opened.reader.trailer().recordcount, 0);
  EXPECT_EQ(opened.reader.trailer().productname, "Quillo Transfer Prime");
  EXPECT_EQ(opened.reader.dataEnd(), 777);
  EXPECT_TRUE(opened.reader.records().empty());
}

TEST(Writing, EmptyFileHasNoChunksAndTheNextFilesOffset) {
  const Bytes body = buildArchive({{u"a.txt", seededBytes(100, 1, Content::Text)},
                                   {u"empty.txt", {}},
                                   {u"b.txt", seededBytes(50, 2, Content::Text)}});
  Opened opened(body);
  ASSERT_TRUE(opened.ok);
  const auto& records = opened.reader.records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].filesize, -1);
  EXPECT_EQ(records[1].storedsize, 0);
  EXPECT_EQ(records[1].dataoffset, records[2].dataoffset);
  EXPECT_EQ(records[0].dataoffset, 512);
  EXPECT_TRUE(opened.restore(1).empty());
  EXPECT_EQ(opened.restore(2), seededBytes(50, 2, Content::Text));
}

TEST(Writing, ChunkBoundariesAndPadding) {
  struct Case {
    size_t size;
    std::vector<uint32_t> bits;  // per chunk; the last one carries lastchunk 1
    int64_t storedsize;
  };
  const Case cases[] = {
      {13, {104}, 16},
      {65536, {524288}, 65536},
      {65537, {524288, 8}, 65544},
      {200000, {524288, 524288, 524288, 8 * (200000 - 3 * 65536)}, 3 * 65536 + 3392},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const Bytes data = seededBytes(c.size, 5, Content::Random);  // never shrinks
    const Bytes body = buildArchive({{u"data.bin", data}});
    Opened opened(body);
    ASSERT_TRUE(opened.ok);
    const tfilerecord& record = opened.reader.records()[0];
    EXPECT_EQ(record.storedsize, c.storedsize);
    const auto chunks = chunksOf(body, record);
    ASSERT_EQ(chunks.size(), c.bits.size());
    for (size_t i = 0; i < chunks.size(); ++i) {
      EXPECT_EQ(chunks[i].header.compressed, 0);
      EXPECT_EQ(chunks[i].header.payloadbits, c.bits[i]);
      EXPECT_EQ(chunks[i].header.lastchunk, i + 1 == chunks.size() ? 1 : 0);
    }
    // The padding after the last byte is zero; the records start right after.
    const int64_t lastPayload = chunks.back().offset + 28;
    const size_t used = c.bits.back() / 8;
    const size_t stored = static_cast<size_t>(storedPayloadLength(c.bits.back()));
    for (size_t i = used; i < stored; ++i) EXPECT_EQ(body[lastPayload + i], 0);
    EXPECT_EQ(lastPayload + static_cast<int64_t>(stored), opened.reader.dataEnd());
    EXPECT_EQ(opened.restore(0), data);
  }
}

TEST(Writing, CompressionIsTriedOnlyForNonMediaAndKeptOnlyWhenShorter) {
  struct Case {
    std::u16string name;
    Content content;
    uint8_t compressible;
    uint8_t compressed;
  };
  const Case cases[] = {
      {u"PHOTO.JPG", Content::Text, 0, 0},   // would shrink, but is never offered
      {u"notes.txt", Content::Random, 1, 0},  // offered, does not shrink
      {u"notes.txt", Content::Text, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(wideToUtf8(c.name));
    const Bytes data = seededBytes(3000, 8, c.content);
    const Bytes body = buildArchive({{c.name, data}});
    Opened opened(body);
    ASSERT_TRUE(opened.ok);
    const tfilerecord& record = opened.reader.records()[0];
    EXPECT_EQ(record.compressible, c.compressible);
    const auto chunks = chunksOf(body, record);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].header.compressed, c.compressed);
    if (c.compressed == 1) {
      EXPECT_LT(chunks[0].header.payloadbits, 8u * 3000);
    } else {
      EXPECT_EQ(chunks[0].header.payloadbits, 8u * 3000);
    }
    EXPECT_EQ(opened.restore(0), data);
  }
}

TEST(Encryption, TrailerIsPlainWhileRecordsAndPayloadsAreNot) {
  const Bytes data = seededBytes(13, 3, Content::Random);
  const Bytes body = buildArchive({{u"secret.jpg", data}}, "correct horse");
  MemorySource source(body);
  ArchiveReader reader(source);
  std::string why;
  ASSERT_TRUE(reader.open(&why)) << why;
  EXPECT_TRUE(reader.encrypted());
  EXPECT_EQ(reader.trailer().productname, "Quillo Transfer Prime");
  EXPECT_EQ(reader.trailer().programpresent[25], 1);

  // The chunk header stays plain; its payload and the record do not.
  const int64_t payloadAt = 512 + 28;
  EXPECT_FALSE(std::equal(data.begin(), data.end(), body.begin() + payloadAt));
  std::string markerWhy;
  EXPECT_FALSE(checkMarker(std::span<const uint8_t, kMarkerSize>(&body[reader.dataEnd()], 17),
                           &markerWhy));

  EXPECT_FALSE(reader.readRecords(&why));
  EXPECT_EQ(why, "the archive is encrypted and no passphrase has been accepted");
  EXPECT_FALSE(reader.useKeyText(keyTextFromPassphrase("wrong horse")));
  EXPECT_FALSE(reader.readRecords(&why));
  EXPECT_TRUE(checkBlockOpens(keyTextFromPassphrase("correct horsf"), reader.trailer().checkleft,
                              reader.trailer().checkright))
      << "the last character never enters the key";
  ASSERT_TRUE(reader.useKeyText(keyTextFromPassphrase("correct horse")));
  ASSERT_TRUE(reader.readRecords(&why)) << why;
  ASSERT_EQ(reader.records().size(), 1u);
  EXPECT_EQ(reader.records()[0].filename, u"secret.jpg");
  MemorySink sink;
  EXPECT_EQ(reader.restoreFile(0, sink, {}, &why), RestoreOutcome::Restored) << why;
  EXPECT_EQ(sink.bytes, data);
}

TEST(Reading, BytesAfterTheTrailerMeanNoArchive) {
  Bytes body = buildArchive({{u"a.txt", seededBytes(100, 1, Content::Text)}});
  body.push_back(0);
  MemorySource source(body);
  ArchiveReader reader(source);
  std::string why;
  EXPECT_FALSE(reader.open(&why));
  EXPECT_EQ(why.rfind("trailer: marker", 0), 0u) << why;
}

class SeededRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(SeededRoundTrip, EveryFileComesBackByteForByte) {
  std::vector<TestFile> files;
  const size_t sizes[] = {0, 1, 7, 8, 9, 13, 4096, 65535, 65536, 65537, 140000};
  uint32_t seed = 20;
  for (size_t size : sizes) {
    for (Content content : {Content::Random, Content::Text}) {
      const std::u16string name = u"f" + utf8ToWide(std::to_string(seed)) +
                                  (seed % 3 == 0 ? u".png" : u".dat");
      files.push_back({name, seededBytes(size, seed++, content)});
    }
  }
  const Bytes body = buildArchive(files, GetParam());
  Opened opened(body, GetParam());
  ASSERT_TRUE(opened.ok);
  const auto& records = opened.reader.records();
  ASSERT_EQ(records.size(), files.size());
  int64_t expectedOffset = 512;
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(wideToUtf8(files[i].name));
    const tfilerecord expected = testing::recordFor(files[i]);
    const tfilerecord& r = records[i];
    EXPECT_EQ(r.filename, expected.filename);
    EXPECT_EQ(r.tag, "normal");
    EXPECT_EQ(r.programname, "Manual");
    EXPECT_EQ(r.relativefolder, expected.relativefolder);
    EXPECT_EQ(r.sourcefolder, expected.sourcefolder);
    EXPECT_EQ(r.filesize, expected.filesize);
    EXPECT_EQ(r.compressible, expected.compressible);
    EXPECT_EQ(r.attributes, 0x21);
    EXPECT_EQ(r.writetime, 40001.25);
    EXPECT_EQ(r.dataoffset, expectedOffset);
    EXPECT_EQ(opened.restore(i), files[i].bytes);
    // Each chunk adds its header; storedsize counts payloads only.
    const int64_t chunks = (static_cast<int64_t>(files[i].bytes.size()) + 65535) / 65536;
    expectedOffset += r.storedsize + 28 * chunks;
  }
  EXPECT_EQ(expectedOffset, opened.reader.dataEnd());
}

INSTANTIATE_TEST_SUITE_P(Archive, SeededRoundTrip, ::testing::Values("", "correct horse"),
                         [](const auto& info) { return info.param.empty() ? "Plain" : "Encrypted"; });

TEST(Writing, CancelKeepsTheRecordWithTheChunksSoFarWhichNoReaderTakesForWhole) {
  const Bytes data = seededBytes(150000, 4, Content::Random);
  MemorySink sink;
  ArchiveWriter writer(sink, 0);
  MemoryFile file(data);
  int asked = 0;
  StoreHooks hooks;
  hooks.cancelled = [&] { return ++asked > 1; };  // stop before the second chunk
  EXPECT_EQ(writer.storeFile(testing::recordFor({u"big.bin", data}), &file, hooks),
            StoreOutcome::Cancelled);
  ASSERT_EQ(writer.records().size(), 1u);
  EXPECT_EQ(writer.records()[0].storedsize, 65536);
  ASSERT_TRUE(writer.writeEnd(testing::trailerFields()));

  Opened opened(sink.bytes);
  ASSERT_TRUE(opened.ok);
  EXPECT_EQ(chunksOf(sink.bytes, opened.reader.records()[0]).front().header.lastchunk, 0);
  // Such a record never reaches a finished archive (a cancelled run writes no
  // records); a reader that meets one refuses to pass a cut file off as whole.
  MemorySink restored;
  std::string why;
  EXPECT_EQ(opened.reader.restoreFile(0, restored, {}, &why), RestoreOutcome::Failed);
  EXPECT_NE(why.find("the chunks end after 65536 of 150000 bytes"), std::string::npos) << why;
}

TEST(Writing, AFileThatGrowsWhileStoredStaysRestorable) {
  const Bytes data = seededBytes(70000, 6, Content::Random);
  MemorySink sink;
  ArchiveWriter writer(sink, 0);
  MemoryFile file(data);
  file.growOnFirstRead = 100;
  EXPECT_EQ(writer.storeFile(testing::recordFor({u"log.bin", data}), &file), StoreOutcome::Stored);
  EXPECT_EQ(writer.records()[0].filesize, 70100);
  ASSERT_TRUE(writer.writeEnd(testing::trailerFields()));
  Opened opened(sink.bytes);
  ASSERT_TRUE(opened.ok);
  EXPECT_EQ(opened.restore(0), file.bytes());
}

// A sink that refuses everything after a number of bytes.
class FullDisk : public ByteSink {
 public:
  explicit FullDisk(size_t room) : room_(room) {}
  bool write(const void*, size_t count) override {
    if (count > room_) return false;
    room_ -= count;
    return true;
  }

 private:
  size_t room_;
};

TEST(Writing, ReadAndWriteFailuresLeaveNoRecord) {
  const Bytes data = seededBytes(100000, 9, Content::Random);
  {
    MemorySink sink;
    ArchiveWriter writer(sink, 0);
    MemoryFile file(data);
    file.failAfterReads = 1;  // the second chunk's read yields nothing
    std::string why;
    EXPECT_EQ(writer.storeFile(testing::recordFor({u"a.bin", data}), &file, {}, &why),
              StoreOutcome::ReadFailed);
    EXPECT_EQ(why, "reading at position 65536 yielded nothing");
    EXPECT_TRUE(writer.records().empty());
  }
  {
    FullDisk sink(1000);
    ArchiveWriter writer(sink, 0);
    MemoryFile file(data);
    EXPECT_EQ(writer.storeFile(testing::recordFor({u"a.bin", data}), &file),
              StoreOutcome::WriteFailed);
    EXPECT_TRUE(writer.records().empty());
    EXPECT_EQ(writer.bodyLength(), 0);
  }
}

TEST(Writing, CompanionDecisionFollowsTheBodyLength) {
  MemorySink sink;
  ArchiveWriter small(sink, 1000);
  ASSERT_TRUE(small.writeEnd(testing::trailerFields()));
  EXPECT_FALSE(small.needsCompanion());
  // A stub size just under 4 GiB stands in for a large body.
  NullSink nothing;
  ArchiveWriter large(nothing, (int64_t{1} << 32) - 896);
  ASSERT_TRUE(large.writeEnd(testing::trailerFields()));
  EXPECT_EQ(large.bodyLength(), int64_t{1} << 32);
  EXPECT_TRUE(large.needsCompanion());
}

TEST(HostFiles, WrittenAndReadBack) {
  namespace fs = std::filesystem;
  const fs::path path = fs::temp_directory_path() / ("zq_host_" + std::to_string(::getpid()) + ".exe");
  const Bytes data = seededBytes(70000, 12, Content::Text);
  {
    const Bytes stub = testing::seededStub(300);
    HostFileSink sink;
    std::string why;
    ASSERT_TRUE(sink.open(path.string(), HostFileSink::Mode::Truncate, &why)) << why;
    ASSERT_TRUE(sink.write(stub.data(), stub.size()));
    ArchiveWriter writer(sink, 300, true, keyTextFromPassphrase("host"));
    MemoryFile file(data);
    ASSERT_EQ(writer.storeFile(testing::recordFor({u"a.txt", data}), &file), StoreOutcome::Stored);
    ASSERT_TRUE(writer.writeEnd(testing::trailerFields()));
    ASSERT_TRUE(sink.close(&why)) << why;
  }
  HostFileSource source;
  std::string why;
  ASSERT_TRUE(source.open(path.string(), &why)) << why;
  ArchiveReader reader(source);
  ASSERT_TRUE(reader.open(&why)) << why;
  ASSERT_TRUE(reader.useKeyText(keyTextFromPassphrase("host")));
  ASSERT_TRUE(reader.readRecords(&why)) << why;
  MemorySink restored;
  EXPECT_EQ(reader.restoreFile(0, restored, {}, &why), RestoreOutcome::Restored) << why;
  EXPECT_EQ(restored.bytes, data);
  source.close();
  fs::remove(path);
}

}  // namespace
}  // namespace zq
