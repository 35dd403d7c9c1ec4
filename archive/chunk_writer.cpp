#include "archive/chunk_writer.h"

#include <cstring>

#include "archive/companion.h"
#include "core/machine.h"
#include "core/text.h"

namespace zq {
namespace {

// Room for the largest payload (65536 bytes) plus one spare block.
constexpr size_t kBufferSize = kMaxChunkBytes + 8;

void setWhy(std::string* why, std::string text) {
  if (why != nullptr) *why = std::move(text);
}

// Reads until count bytes are in or the file yields nothing more.
size_t readUpTo(File& file, uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const size_t n = file.read(buffer + done, count - done);
    if (n == 0) break;
    done += n;
  }
  return done;
}

}  // namespace

bool isMediaExtension(std::u16string_view extension) {
  static constexpr std::u16string_view kMedia[] = {u".mp3",  u".jpg", u".wma", u".mpg",
                                                   u".jpeg", u".jpe", u".png", u".gif"};
  const std::u16string lower = wideLower(extension);
  for (auto media : kMedia) {
    if (lower == media) return true;
  }
  return false;
}

bool isCompressibleName(std::u16string_view fileName) {
  const size_t dot = fileName.rfind(u'.');
  if (dot == std::u16string_view::npos) return true;
  return !isMediaExtension(fileName.substr(dot));
}

ArchiveWriter::ArchiveWriter(ByteSink& sink, int64_t stubSize, bool encrypt,
                             std::string_view keyText)
    : sink_(sink), bodyLength_(stubSize), input_(kBufferSize), output_(kBufferSize) {
  if (encrypt) {
    cipher_ = std::make_unique<tblowfish>();
    cipher_->setKey(keyText);
    // The check block is made before any data, as readers expect it.
    checkLeft_ = kCheckBlockLeft;
    checkRight_ = kCheckBlockRight;
    cipher_->encryptBlock(checkLeft_, checkRight_);
  }
}

ArchiveWriter::~ArchiveWriter() = default;

bool ArchiveWriter::put(const void* data, size_t count) { return sink_.write(data, count); }

StoreOutcome ArchiveWriter::storeFile(tfilerecord record, File* file, const StoreHooks& hooks,
                                      std::string* why) {
  record.dataoffset = bodyLength_;
  record.storedsize = 0;
  if (record.filesize <= 0) {
    records_.push_back(std::move(record));
    return StoreOutcome::Stored;
  }
  if (file == nullptr) {
    setWhy(why, "no open file to read");
    return StoreOutcome::ReadFailed;
  }

  StoreOutcome outcome = StoreOutcome::Stored;
  int64_t bytesRead = 0;
  for (;;) {
    if (hooks.cancelled && hooks.cancelled()) {
      outcome = StoreOutcome::Cancelled;
      break;
    }
    const int64_t sizeBefore = file->size();
    if (sizeBefore < 0) {
      setWhy(why, "the file's size cannot be read");
      return StoreOutcome::ReadFailed;
    }
    if (static_cast<int64_t>(file->position()) >= sizeBefore) break;

    const size_t n = readUpTo(*file, input_.data(), kMaxChunkBytes);
    if (n == 0) {
      setWhy(why, "reading at position " + std::to_string(file->position()) + " yielded nothing");
      return StoreOutcome::ReadFailed;
    }
    bytesRead += static_cast<int64_t>(n);

    tchunkheader header;
    header.payloadbits = static_cast<uint32_t>(8 * n);
    const int64_t sizeAfter = file->size();
    header.lastchunk = static_cast<int64_t>(file->position()) >= sizeAfter ? 1 : 0;

    uint8_t* payload = input_.data();
    size_t used = n;
    if (record.compressible == 1) {
      uint32_t bits = static_cast<uint32_t>(n);
      if (codec_.compressBlock(input_.data(), output_.data(), bits)) {
        payload = output_.data();
        header.compressed = 1;
        header.payloadbits = bits;
        used = (bits + 7) / 8;
      }
    }
    // Padding up to whole blocks is zero, so no stale bytes of an earlier
    // chunk (or file) reach the archive.
    const size_t stored = static_cast<size_t>(storedPayloadLength(header.payloadbits));
    std::memset(payload + used, 0, stored - used);
    if (cipher_) cipher_->encryptBytes(payload, stored);

    ChunkHeaderBytes headerBytes;
    encodeChunkHeader(header, headerBytes);
    if (!put(headerBytes.data(), headerBytes.size()) || !put(payload, stored)) {
      setWhy(why, "the destination did not take the data");
      return StoreOutcome::WriteFailed;
    }
    record.storedsize += static_cast<int64_t>(stored);
    bodyLength_ += static_cast<int64_t>(kChunkHeaderSize + stored);
    if (hooks.chunkStored) hooks.chunkStored(file->position(), sizeAfter);
    if (header.lastchunk == 1) break;
  }
  if (bytesRead > record.filesize) record.filesize = bytesRead;
  records_.push_back(std::move(record));
  return outcome;
}

bool ArchiveWriter::writeEnd(const tarchivetrailer& trailer, std::string* why) {
  FileRecordBytes recordBytes;
  for (const auto& record : records_) {
    encodeFileRecord(record, recordBytes);
    if (cipher_) cipher_->encryptBytes(recordBytes.data(), recordBytes.size());
    if (!put(recordBytes.data(), recordBytes.size())) {
      setWhy(why, "the destination did not take the file records");
      return false;
    }
    bodyLength_ += static_cast<int64_t>(kFileRecordSize);
  }

  tarchivetrailer end = trailer;
  end.recordcount = static_cast<int64_t>(records_.size());
  end.encrypted = cipher_ ? 1 : 0;
  end.checkleft = cipher_ ? checkLeft_ : 0;
  end.checkright = cipher_ ? checkRight_ : 0;
  TrailerBytes trailerBytes;
  encodeTrailer(end, trailerBytes);
  if (!put(trailerBytes.data(), trailerBytes.size())) {
    setWhy(why, "the destination did not take the trailer");
    return false;
  }
  bodyLength_ += static_cast<int64_t>(kTrailerSize);
  return true;
}

bool ArchiveWriter::needsCompanion() const { return zq::needsCompanion(bodyLength_); }

}  // namespace zq
