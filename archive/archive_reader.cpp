#include "archive/archive_reader.h"

#include "core/smufflz.h"

namespace zq {
namespace {

void setWhy(std::string* why, std::string text) {
  if (why != nullptr) *why = std::move(text);
}

std::string recordLabel(size_t index) { return "record " + std::to_string(index); }

std::string chunkLabel(size_t index, int64_t offset) {
  return recordLabel(index) + ", chunk at offset " + std::to_string(offset);
}

}  // namespace

bool checkBlockOpens(std::string_view keyText, uint32_t checkleft, uint32_t checkright) {
  tblowfish cipher;
  cipher.setKey(keyText);
  cipher.decryptBlock(checkleft, checkright);
  return checkleft == kCheckBlockLeft && checkright == kCheckBlockRight;
}

ArchiveReader::ArchiveReader(ByteSource& body) : body_(body) {}
ArchiveReader::~ArchiveReader() = default;

bool ArchiveReader::open(std::string* why) {
  open_ = false;
  cipher_.reset();
  records_.clear();
  bodySize_ = body_.size();
  if (bodySize_ < static_cast<int64_t>(kTrailerSize)) {
    setWhy(why, bodySize_ < 0 ? std::string("the body's size cannot be read")
                              : "a body of " + std::to_string(bodySize_) +
                                    " bytes is too short to hold a trailer (" +
                                    std::to_string(kTrailerSize) + " bytes)");
    return false;
  }
  TrailerBytes bytes;
  const uint64_t at = static_cast<uint64_t>(bodySize_) - kTrailerSize;
  if (body_.readAt(at, bytes.data(), bytes.size()) != bytes.size()) {
    setWhy(why, "the trailer at offset " + std::to_string(at) + " cannot be read");
    return false;
  }
  std::string reason;
  tarchivetrailer trailer;
  if (!decodeTrailer(bytes, trailer, &reason)) {
    setWhy(why, "trailer: " + reason);
    return false;
  }
  // The records must fit between the start of the body and the trailer.
  const int64_t room = bodySize_ - static_cast<int64_t>(kTrailerSize);
  if (trailer.recordcount > room / static_cast<int64_t>(kFileRecordSize)) {
    setWhy(why, "trailer: record count " + std::to_string(trailer.recordcount) +
                    " does not fit in a body of " + std::to_string(bodySize_) + " bytes");
    return false;
  }
  trailer_ = std::move(trailer);
  dataEnd_ = room - trailer_.recordcount * static_cast<int64_t>(kFileRecordSize);
  open_ = true;
  return true;
}

bool ArchiveReader::useKeyText(std::string_view keyText) {
  if (!open_ || !checkBlockOpens(keyText, trailer_.checkleft, trailer_.checkright)) return false;
  cipher_ = std::make_unique<tblowfish>();
  cipher_->setKey(keyText);
  return true;
}

bool ArchiveReader::readRecords(std::string* note) {
  records_.clear();
  setWhy(note, {});
  if (!open_) {
    setWhy(note, "the archive is not open");
    return false;
  }
  if (encrypted() && !cipher_) {
    setWhy(note, "the archive is encrypted and no passphrase has been accepted");
    return false;
  }
  FileRecordBytes bytes;
  const int64_t count = trailer_.recordcount;
  for (int64_t i = 0; i < count; ++i) {
    const int64_t at = recordOffset(bodySize_, count, i);
    if (body_.readAt(static_cast<uint64_t>(at), bytes.data(), bytes.size()) != bytes.size()) {
      records_.clear();
      setWhy(note, recordLabel(static_cast<size_t>(i)) + " at offset " + std::to_string(at) +
                       " cannot be read");
      return false;
    }
    if (cipher_) cipher_->decryptBytes(bytes.data(), bytes.size());
    tfilerecord record;
    std::string reason;
    if (!decodeFileRecord(bytes, record, &reason)) {
      setWhy(note, recordLabel(static_cast<size_t>(i)) + ": " + reason +
                       "; the list ends there (" + std::to_string(count - i) + " of " +
                       std::to_string(count) + " records not used)");
      break;
    }
    records_.push_back(std::move(record));
  }
  return true;
}

RestoreOutcome ArchiveReader::restoreFile(size_t index, ByteSink& sink, const RestoreHooks& hooks,
                                          std::string* why) {
  if (index >= records_.size()) {
    setWhy(why, recordLabel(index) + " does not exist");
    return RestoreOutcome::Failed;
  }
  const tfilerecord& record = records_[index];
  if (record.filesize <= 0) return RestoreOutcome::Restored;

  const std::string label = recordLabel(index);
  const std::string areaEnd = " (the data area ends at " + std::to_string(dataEnd_) + ")";
  if (record.dataoffset < 0 || record.dataoffset > dataEnd_) {
    setWhy(why, label + ": data offset " + std::to_string(record.dataoffset) +
                    " lies outside the data area" + areaEnd);
    return RestoreOutcome::Failed;
  }
  if (record.storedsize < 0 || record.storedsize > dataEnd_ - record.dataoffset) {
    setWhy(why, label + ": stored size " + std::to_string(record.storedsize) +
                    " does not fit in the data area" + areaEnd);
    return RestoreOutcome::Failed;
  }

  payload_.resize(kMaxChunkBytes);
  decoded_.resize(tsmufflz::kDecodeCapacity);
  int64_t position = record.dataoffset;
  int64_t consumed = 0;  // stored payload bytes so far
  int64_t restored = 0;
  bool sawLast = false;
  // The chain ends at the chunk marked last, or when the stored bytes reach
  // storedsize.
  while (consumed < record.storedsize) {
    if (position > dataEnd_ - static_cast<int64_t>(kChunkHeaderSize)) {
      setWhy(why, chunkLabel(index, position) + ": the header lies beyond the data area" + areaEnd);
      return RestoreOutcome::Failed;
    }
    ChunkHeaderBytes headerBytes;
    if (body_.readAt(static_cast<uint64_t>(position), headerBytes.data(), headerBytes.size()) !=
        headerBytes.size()) {
      setWhy(why, chunkLabel(index, position) + ": the header cannot be read");
      return RestoreOutcome::Failed;
    }
    tchunkheader header;
    std::string reason;
    if (!decodeChunkHeader(headerBytes, header, &reason)) {
      setWhy(why, chunkLabel(index, position) + ": " + reason);
      return RestoreOutcome::Failed;
    }
    const int64_t stored = static_cast<int64_t>(storedPayloadLength(header.payloadbits));
    const int64_t payloadAt = position + static_cast<int64_t>(kChunkHeaderSize);
    if (stored > record.storedsize - consumed) {
      setWhy(why, chunkLabel(index, position) + ": its " + std::to_string(stored) +
                      "-byte payload runs past the stored size " +
                      std::to_string(record.storedsize));
      return RestoreOutcome::Failed;
    }
    if (stored > dataEnd_ - payloadAt) {
      setWhy(why, chunkLabel(index, position) + ": its " + std::to_string(stored) +
                      "-byte payload runs past the data area" + areaEnd);
      return RestoreOutcome::Failed;
    }
    const size_t n = static_cast<size_t>(stored);
    if (body_.readAt(static_cast<uint64_t>(payloadAt), payload_.data(), n) != n) {
      setWhy(why, chunkLabel(index, position) + ": the payload cannot be read");
      return RestoreOutcome::Failed;
    }
    if (cipher_) cipher_->decryptBytes(payload_.data(), n);

    const uint8_t* out = payload_.data();
    uint32_t length = header.payloadbits / 8;
    if (header.compressed == 1) {
      length = header.payloadbits;
      tsmufflz::decompressBlock(payload_.data(), n, decoded_.data(), length);
      out = decoded_.data();
    }
    if (static_cast<int64_t>(length) > record.filesize - restored) {
      setWhy(why, label + ": the chunks decode to more than the file size " +
                      std::to_string(record.filesize));
      return RestoreOutcome::Failed;
    }
    if (length > 0 && !sink.write(out, length)) {
      setWhy(why, label + ": the restored data could not be written");
      return RestoreOutcome::Failed;
    }
    restored += length;
    consumed += stored;
    position = payloadAt + stored;
    if (hooks.chunkRestored) hooks.chunkRestored(static_cast<uint64_t>(restored), record.filesize);
    if (header.lastchunk == 1) {
      sawLast = true;
      break;
    }
    if (hooks.cancelled && hooks.cancelled()) return RestoreOutcome::Cancelled;
  }
  // Stored bytes that run out before the chunk marked last and before the
  // file's size is reached: a damaged record, not a whole file. Restoring it
  // would replace a good file with a cut one.
  if (!sawLast && restored != record.filesize) {
    setWhy(why, label + ": the chunks end after " + std::to_string(restored) + " of " +
                    std::to_string(record.filesize) + " bytes, before the last chunk");
    return RestoreOutcome::Failed;
  }
  return RestoreOutcome::Restored;
}

}  // namespace zq
