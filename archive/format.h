// The archive's byte layout: the chunk header, the file record and the
// trailer, with their sizes and field offsets, and explicit little-endian
// encoders and decoders. Writer and restore program both use this one
// definition; the layout must stay exact to the byte.
//
// An archive body is: the restore program's bytes, then every file's chunks
// (header + payload), then one record per file, then the trailer. Every
// offset stored in it counts from the first byte of the body.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "archive/catalogue_names.h"

namespace zq {

// ---------------------------------------------------------------- sizes

inline constexpr size_t kChunkHeaderSize = 28;
inline constexpr size_t kFileRecordSize = 6544;
inline constexpr size_t kTrailerSize = 896;

// The marker opens every header, record and trailer: a short string whose
// length byte is 16, then these 16 characters.
inline constexpr std::string_view kMarkerText = "CHING BONG POWER";
inline constexpr size_t kMarkerSize = 17;

// A chunk carries at most this many bytes of the source file, and a payload
// (padding included) is never longer.
inline constexpr uint32_t kMaxChunkBytes = 65536;
inline constexpr uint32_t kMaxPayloadBits = kMaxChunkBytes * 8;

// Wide arrays: 1024 UTF-16 units, of which a writer fills at most 520.
inline constexpr size_t kWideArrayUnits = 1024;
inline constexpr size_t kWideArrayBytes = kWideArrayUnits * 2;
inline constexpr size_t kWideStoredUnits = 520;

// Short string capacities (characters after the length byte).
inline constexpr size_t kTagCapacity = 255;
inline constexpr size_t kProgramNameCapacity = 60;
inline constexpr size_t kProductNameCapacity = 255;
inline constexpr size_t kVersionTextCapacity = 20;

// ---------------------------------------------------------------- offsets

namespace chunk_field {
inline constexpr size_t kCompressed = 0;
inline constexpr size_t kMarker = 1;
inline constexpr size_t kPayloadBits = 20;
inline constexpr size_t kLastChunk = 24;
}  // namespace chunk_field

namespace record_field {
inline constexpr size_t kMarker = 0;
inline constexpr size_t kTag = 17;
inline constexpr size_t kProgramName = 273;
inline constexpr size_t kFileName = 334;
inline constexpr size_t kRelativeFolder = 2382;
inline constexpr size_t kSourceFolder = 4430;
inline constexpr size_t kFileSize = 6480;
inline constexpr size_t kCompressible = 6488;
inline constexpr size_t kStoredSize = 6496;
inline constexpr size_t kAttributes = 6505;
inline constexpr size_t kCreationTime = 6512;
inline constexpr size_t kWriteTime = 6520;
inline constexpr size_t kAccessTime = 6528;
inline constexpr size_t kDataOffset = 6536;
}  // namespace record_field

namespace trailer_field {
inline constexpr size_t kMarker = 0;
inline constexpr size_t kProductName = 17;
inline constexpr size_t kVersionText = 536;
inline constexpr size_t kProgramPresent = 578;
inline constexpr size_t kManualPresent = 612;
inline constexpr size_t kRecordCount = 872;
inline constexpr size_t kEncrypted = 880;
inline constexpr size_t kCheckLeft = 884;
inline constexpr size_t kCheckRight = 888;
}  // namespace trailer_field

// ---------------------------------------------------------------- structures

// One chunk of a file's data; its payload follows it directly.
struct tchunkheader {
  uint8_t compressed = 0;    // 1: the payload is codec output
  uint32_t payloadbits = 0;  // exact payload length in bits
  uint8_t lastchunk = 0;     // 1: the file ends with this chunk
};

// One archived file. Short strings are ANSI bytes; wide texts UTF-16.
struct tfilerecord {
  std::string tag;
  std::string programname;
  std::u16string filename;
  std::u16string relativefolder;
  std::u16string sourcefolder;  // ends in "\"
  int64_t filesize = 0;         // -1 for an empty file
  uint8_t compressible = 1;
  int64_t storedsize = 0;       // sum of the stored payload lengths
  uint8_t attributes = 0;
  double creationtime = 0.0;    // days since 1899-12-30, local time
  double writetime = 0.0;
  double accesstime = 0.0;
  int64_t dataoffset = 0;       // body offset of the first chunk header
};

// The last bytes of every archive body; never enciphered.
struct tarchivetrailer {
  std::string productname;
  std::string versiontext;
  std::array<uint8_t, kCatalogueSize> programpresent{};
  uint8_t manualpresent = 0;
  int64_t recordcount = 0;
  uint8_t encrypted = 0;
  uint32_t checkleft = 0;
  uint32_t checkright = 0;
};

using ChunkHeaderBytes = std::array<uint8_t, kChunkHeaderSize>;
using FileRecordBytes = std::array<uint8_t, kFileRecordSize>;
using TrailerBytes = std::array<uint8_t, kTrailerSize>;

// ---------------------------------------------------------------- encoding
// Encoders write every byte of the structure; reserved bytes are zero.
// Decoders check the marker first and fail with a reason (no context prefix;
// the caller says which structure it was) when it is not exactly there.

void encodeChunkHeader(const tchunkheader& header, std::span<uint8_t, kChunkHeaderSize> out);
// Also refuses a payload longer than a chunk can be.
bool decodeChunkHeader(std::span<const uint8_t, kChunkHeaderSize> in, tchunkheader& out,
                       std::string* why);

void encodeFileRecord(const tfilerecord& record, std::span<uint8_t, kFileRecordSize> out);
// Only the marker is checked here; offsets and sizes are checked against the
// body by the reader.
bool decodeFileRecord(std::span<const uint8_t, kFileRecordSize> in, tfilerecord& out,
                      std::string* why);

void encodeTrailer(const tarchivetrailer& trailer, std::span<uint8_t, kTrailerSize> out);
bool decodeTrailer(std::span<const uint8_t, kTrailerSize> in, tarchivetrailer& out,
                   std::string* why);

// True when the 17 bytes at `in` are the marker; otherwise says what differs.
bool checkMarker(std::span<const uint8_t, kMarkerSize> in, std::string* why);

// ---------------------------------------------------------------- pieces

// The stored length of a payload: whole 8-byte blocks.
constexpr uint64_t storedPayloadLength(uint32_t payloadbits) {
  return (uint64_t{payloadbits} + 63) / 64 * 8;
}

// A short string of `capacity` characters: a longer text is cut to it.
void encodeShortString(std::string_view text, size_t capacity, uint8_t* out);
// The length byte is clamped to the capacity.
std::string decodeShortString(const uint8_t* in, size_t capacity);

// The part of a text a wide array keeps: at most 520 units, one fewer when
// the cut would split a surrogate pair.
std::u16string_view wideArrayText(std::u16string_view text);
void encodeWideArray(std::u16string_view text, uint8_t* out);
// The units up to the first NUL, never past the 1024 of the array.
std::u16string decodeWideArray(const uint8_t* in);

// Body offset of record `index` of `count`, for a body of `bodySize` bytes.
// The caller has checked that the records fit.
constexpr int64_t recordOffset(int64_t bodySize, int64_t count, int64_t index) {
  return bodySize - static_cast<int64_t>(kTrailerSize) -
         (count - index) * static_cast<int64_t>(kFileRecordSize);
}

}  // namespace zq
