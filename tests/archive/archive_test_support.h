// Small pieces the archive tests share: an in-memory file for the writer to
// read, seeded test data, and a builder of whole archive bodies.
#pragma once

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/byte_io.h"
#include "archive/chunk_writer.h"
#include "archive/format.h"
#include "core/blowfish.h"
#include "core/machine.h"
#include "core/text.h"

namespace zq::testing {

using Bytes = std::vector<uint8_t>;

// A read-only file over bytes in memory. `growOnFirstRead` bytes are added
// after the first read, like a log file written to while it is stored;
// `failAfterReads` makes every later read yield nothing.
class MemoryFile : public File {
 public:
  explicit MemoryFile(Bytes bytes) : bytes_(std::move(bytes)) {}
  size_t growOnFirstRead = 0;
  int failAfterReads = -1;

  size_t read(void* buffer, size_t count) override {
    if (failAfterReads >= 0 && reads_ >= failAfterReads) return 0;
    ++reads_;
    const size_t n = position_ < bytes_.size() ? std::min(count, bytes_.size() - position_) : 0;
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    if (growOnFirstRead > 0) {
      bytes_.resize(bytes_.size() + growOnFirstRead, 'g');
      growOnFirstRead = 0;
    }
    return n;
  }
  bool write(const void*, size_t) override { return false; }
  bool seek(uint64_t position) override {
    position_ = position;
    return true;
  }
  uint64_t position() const override { return position_; }
  int64_t size() const override { return static_cast<int64_t>(bytes_.size()); }
  bool close() override { return true; }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  size_t position_ = 0;
  int reads_ = 0;
};

enum class Content { Random, Text };

// Reproducible data: random bytes (never shrink) or text made of words
// (shrinks well).
inline Bytes seededBytes(size_t size, uint32_t seed, Content content) {
  std::mt19937 random(seed);
  Bytes out;
  out.reserve(size);
  static const char* kWords[] = {"mail ", "folder ", "inbox ", "the ", "archive ", "restore ",
                                 "contact ", "\r\n", "settings ", "profile "};
  while (out.size() < size) {
    if (content == Content::Random) {
      out.push_back(static_cast<uint8_t>(random()));
    } else {
      for (const char* c = kWords[random() % 10]; *c && out.size() < size; ++c) out.push_back(*c);
    }
  }
  return out;
}

inline Bytes seededStub(size_t size) {
  Bytes stub = seededBytes(size, 99, Content::Random);
  if (size >= 2) stub[0] = 'M', stub[1] = 'Z';
  return stub;
}

struct TestFile {
  std::u16string name;
  Bytes bytes;
};

inline tfilerecord recordFor(const TestFile& file, const std::string& programname = "Manual") {
  tfilerecord record;
  record.tag = "normal";
  record.programname = programname;
  record.filename = file.name;
  record.relativefolder = u"Data\\Sub";
  record.sourcefolder = u"C:\\Data\\Sub\\";
  record.filesize = file.bytes.empty() ? -1 : static_cast<int64_t>(file.bytes.size());
  record.compressible = isCompressibleName(file.name) ? 1 : 0;
  record.attributes = 0x21;
  record.creationtime = 40000.5;
  record.writetime = 40001.25;
  record.accesstime = 40002.0;
  return record;
}

inline tarchivetrailer trailerFields() {
  tarchivetrailer trailer;
  trailer.productname = "Quillo Transfer Prime";
  trailer.versiontext = "3.2";
  trailer.programpresent[25] = 1;
  trailer.manualpresent = 1;
  return trailer;
}

// A whole body: stub, the files' chunks, records and trailer. An empty
// passphrase means no encryption.
inline Bytes buildArchive(const std::vector<TestFile>& files, const std::string& passphrase = {},
                          size_t stubSize = 512) {
  MemorySink sink;
  const Bytes stub = seededStub(stubSize);
  sink.write(stub.data(), stub.size());
  ArchiveWriter writer(sink, static_cast<int64_t>(stub.size()), !passphrase.empty(),
                       keyTextFromPassphrase(passphrase));
  for (const auto& file : files) {
    MemoryFile input(file.bytes);
    writer.storeFile(recordFor(file), &input);
  }
  writer.writeEnd(trailerFields());
  return sink.bytes;
}

}  // namespace zq::testing
