// Writing an archive body front to back: the chunks of every stored file,
// then the records and the trailer. The caller has already written the
// restore program's bytes to the sink and says how many there were.
//
// The entry writer around this (existence checks, user texts, progress, the
// log) and the run (companion move, uploads) build on it; this layer knows
// nothing of windows or messages.
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
#include "core/smufflz.h"

namespace zq {

class File;

// Files of these types are already compressed; their chunks are stored as
// they are. The extension includes the dot and is compared in lower case.
bool isMediaExtension(std::u16string_view extension);
// A file name's compressibility: its extension (from the last ".") is not a
// media extension.
bool isCompressibleName(std::u16string_view fileName);

enum class StoreOutcome {
  Stored,       // every chunk written; the record joined the list
  Cancelled,    // stopped before a chunk; the record joined the list as far as written
  ReadFailed,   // the file could not be read; no record
  WriteFailed,  // the sink refused bytes; no record, the body is unusable
};

struct StoreHooks {
  // Asked before every chunk; true stops the file where it is.
  std::function<bool()> cancelled;
  // Told after every chunk: the file's read position and current size.
  std::function<void(uint64_t position, int64_t size)> chunkStored;
};

class ArchiveWriter {
 public:
  // `sink` receives the body after the restore program's `stubSize` bytes.
  // With `encrypt`, payloads and records are enciphered with the key of
  // `keyText` (an empty key text gives the zero key, as the cipher does).
  ArchiveWriter(ByteSink& sink, int64_t stubSize, bool encrypt = false,
                std::string_view keyText = {});
  ~ArchiveWriter();
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;

  // The running body length: the next file's data offset.
  int64_t bodyLength() const { return bodyLength_; }
  bool encrypted() const { return cipher_ != nullptr; }
  const std::vector<tfilerecord>& records() const { return records_; }

  // Stores one file as chunks of at most 65536 bytes. `record` carries the
  // names, tag, attributes, times, `filesize` (-1 or 0: empty, no chunks, and
  // `file` is not touched) and `compressible`; the writer sets `dataoffset`
  // and `storedsize`. `file` is open for reading at its start. Should the
  // file have grown while it was read, `filesize` becomes the number of
  // bytes stored, so that the record never claims less than its chunks hold.
  StoreOutcome storeFile(tfilerecord record, File* file, const StoreHooks& hooks = {},
                         std::string* why = nullptr);

  // Writes the records (enciphered when encrypted) and the trailer. From
  // `trailer` it takes productname, versiontext, programpresent and
  // manualpresent; it sets recordcount, encrypted and the check block.
  bool writeEnd(const tarchivetrailer& trailer, std::string* why = nullptr);

  // After writeEnd: the body has reached 4 GiB and belongs in the companion.
  bool needsCompanion() const;

 private:
  bool put(const void* data, size_t count);

  ByteSink& sink_;
  int64_t bodyLength_;
  std::unique_ptr<tblowfish> cipher_;
  uint32_t checkLeft_ = 0;
  uint32_t checkRight_ = 0;
  tsmufflz codec_;
  std::vector<uint8_t> input_;
  std::vector<uint8_t> output_;
  std::vector<tfilerecord> records_;
};

}  // namespace zq
