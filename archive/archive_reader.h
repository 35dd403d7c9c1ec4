// Reading an archive body: the trailer, the passphrase check, the records and
// the restoring of one file from its chunks. Nothing read from the body is
// trusted before it is checked against the body's size, and nothing is
// allocated by a number read from it; every fault comes back as a reason
// that names the structure ("record 3: data offset 123 lies outside the data
// area ...").
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/byte_io.h"
#include "archive/format.h"
#include "core/blowfish.h"

namespace zq {

// True when `keyText` deciphers the stored check block to the known block.
bool checkBlockOpens(std::string_view keyText, uint32_t checkleft, uint32_t checkright);

enum class RestoreOutcome {
  Restored,   // every chunk of the file went to the sink
  Cancelled,  // stopped after a chunk; what was written stays
  Failed,     // damage or a refused write; the reason says which
};

struct RestoreHooks {
  // Asked after every chunk; true stops the file there.
  std::function<bool()> cancelled;
  // Told after every chunk: bytes restored so far of the record's filesize.
  std::function<void(uint64_t restored, int64_t filesize)> chunkRestored;
};

class ArchiveReader {
 public:
  // The body stays owned by the caller and must outlive the reader.
  explicit ArchiveReader(ByteSource& body);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Reads and checks the trailer: the body holds at least a trailer, the
  // trailer begins with the marker and its records fit in the body. False
  // with a reason when the body is not an archive.
  bool open(std::string* why);
  const tarchivetrailer& trailer() const { return trailer_; }
  bool encrypted() const { return trailer_.encrypted != 0; }

  // For an encrypted archive: checks the key text against the check block
  // and, when it is right, keeps a cipher keyed with it for records and
  // payloads. False (and nothing kept) for a wrong key text.
  bool useKeyText(std::string_view keyText);

  // Reads (and, encrypted, deciphers) the records. False with a reason when
  // the archive is not open, is encrypted without an accepted key text, or a
  // record cannot be read. A record without the marker ends the list: it and
  // every later one are left out and `note` says so; the result is true.
  bool readRecords(std::string* note);
  const std::vector<tfilerecord>& records() const { return records_; }

  // Where the data stream ends and the record area begins.
  int64_t dataEnd() const { return dataEnd_; }

  // Writes the restored bytes of record `index` to `sink`. An empty file
  // (filesize 0 or less) writes nothing and succeeds.
  RestoreOutcome restoreFile(size_t index, ByteSink& sink, const RestoreHooks& hooks = {},
                             std::string* why = nullptr);

 private:
  ByteSource& body_;
  int64_t bodySize_ = -1;
  int64_t dataEnd_ = 0;
  bool open_ = false;
  tarchivetrailer trailer_;
  std::unique_ptr<tblowfish> cipher_;
  std::vector<tfilerecord> records_;
  std::vector<uint8_t> payload_;
  std::vector<uint8_t> decoded_;
};

}  // namespace zq
