#include "archive/format.h"

#include <bit>
#include <cstdio>
#include <cstring>

namespace zq {
namespace {

// ---------------------------------------------------------------- integers

void putU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void putU64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void putI64(uint8_t* p, int64_t v) { putU64(p, static_cast<uint64_t>(v)); }
void putDouble(uint8_t* p, double v) { putU64(p, std::bit_cast<uint64_t>(v)); }

uint32_t getU32(const uint8_t* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

uint64_t getU64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

int64_t getI64(const uint8_t* p) { return static_cast<int64_t>(getU64(p)); }
double getDouble(const uint8_t* p) { return std::bit_cast<double>(getU64(p)); }

void putMarker(uint8_t* p) {
  p[0] = static_cast<uint8_t>(kMarkerText.size());
  std::memcpy(p + 1, kMarkerText.data(), kMarkerText.size());
}

void setWhy(std::string* why, std::string text) {
  if (why != nullptr) *why = std::move(text);
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

// ---------------------------------------------------------------- pieces

bool checkMarker(std::span<const uint8_t, kMarkerSize> in, std::string* why) {
  // The length byte decides how much is compared; only 16 lets all 17 bytes
  // match, so anything else is refused at once.
  if (in[0] != kMarkerText.size()) {
    char text[64];
    std::snprintf(text, sizeof text, "marker missing (length byte 0x%02X instead of 0x10)", in[0]);
    setWhy(why, text);
    return false;
  }
  for (size_t i = 0; i < kMarkerText.size(); ++i) {
    if (in[1 + i] != static_cast<uint8_t>(kMarkerText[i])) {
      setWhy(why, "marker text differs at byte " + std::to_string(1 + i));
      return false;
    }
  }
  return true;
}

void encodeShortString(std::string_view text, size_t capacity, uint8_t* out) {
  const size_t length = text.size() < capacity ? text.size() : capacity;
  out[0] = static_cast<uint8_t>(length);
  std::memcpy(out + 1, text.data(), length);
  std::memset(out + 1 + length, 0, capacity - length);
}

std::string decodeShortString(const uint8_t* in, size_t capacity) {
  const size_t length = in[0] < capacity ? in[0] : capacity;
  return std::string(reinterpret_cast<const char*>(in + 1), length);
}

std::u16string_view wideArrayText(std::u16string_view text) {
  if (text.size() <= kWideStoredUnits) return text;
  size_t length = kWideStoredUnits;
  if (isHighSurrogate(text[length - 1])) --length;  // keep pairs whole
  return text.substr(0, length);
}

void encodeWideArray(std::u16string_view text, uint8_t* out) {
  const std::u16string_view kept = wideArrayText(text);
  std::memset(out, 0, kWideArrayBytes);
  for (size_t i = 0; i < kept.size(); ++i) {
    out[2 * i] = static_cast<uint8_t>(kept[i]);
    out[2 * i + 1] = static_cast<uint8_t>(kept[i] >> 8);
  }
}

std::u16string decodeWideArray(const uint8_t* in) {
  std::u16string text;
  for (size_t i = 0; i < kWideArrayUnits; ++i) {
    const char16_t unit = static_cast<char16_t>(in[2 * i] | in[2 * i + 1] << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

// ---------------------------------------------------------------- chunk header

void encodeChunkHeader(const tchunkheader& header, std::span<uint8_t, kChunkHeaderSize> out) {
  std::memset(out.data(), 0, out.size());
  out[chunk_field::kCompressed] = header.compressed;
  putMarker(&out[chunk_field::kMarker]);
  putU32(&out[chunk_field::kPayloadBits], header.payloadbits);
  out[chunk_field::kLastChunk] = header.lastchunk;
}

bool decodeChunkHeader(std::span<const uint8_t, kChunkHeaderSize> in, tchunkheader& out,
                       std::string* why) {
  if (!checkMarker(in.subspan<chunk_field::kMarker, kMarkerSize>(), why)) return false;
  tchunkheader header;
  header.compressed = in[chunk_field::kCompressed];
  header.payloadbits = getU32(&in[chunk_field::kPayloadBits]);
  header.lastchunk = in[chunk_field::kLastChunk];
  if (header.payloadbits > kMaxPayloadBits) {
    setWhy(why, "payload of " + std::to_string(header.payloadbits) +
                    " bits is longer than a chunk can be (" + std::to_string(kMaxPayloadBits) +
                    " bits)");
    return false;
  }
  out = header;
  return true;
}

// ---------------------------------------------------------------- file record

void encodeFileRecord(const tfilerecord& record, std::span<uint8_t, kFileRecordSize> out) {
  using namespace record_field;
  std::memset(out.data(), 0, out.size());
  putMarker(&out[kMarker]);
  encodeShortString(record.tag, kTagCapacity, &out[kTag]);
  encodeShortString(record.programname, kProgramNameCapacity, &out[kProgramName]);
  encodeWideArray(record.filename, &out[kFileName]);
  encodeWideArray(record.relativefolder, &out[kRelativeFolder]);
  encodeWideArray(record.sourcefolder, &out[kSourceFolder]);
  putI64(&out[kFileSize], record.filesize);
  out[kCompressible] = record.compressible;
  putI64(&out[kStoredSize], record.storedsize);
  out[kAttributes] = record.attributes;
  putDouble(&out[kCreationTime], record.creationtime);
  putDouble(&out[kWriteTime], record.writetime);
  putDouble(&out[kAccessTime], record.accesstime);
  putI64(&out[kDataOffset], record.dataoffset);
}

bool decodeFileRecord(std::span<const uint8_t, kFileRecordSize> in, tfilerecord& out,
                      std::string* why) {
  using namespace record_field;
  if (!checkMarker(in.subspan<kMarker, kMarkerSize>(), why)) return false;
  tfilerecord record;
  record.tag = decodeShortString(&in[kTag], kTagCapacity);
  record.programname = decodeShortString(&in[kProgramName], kProgramNameCapacity);
  record.filename = decodeWideArray(&in[kFileName]);
  record.relativefolder = decodeWideArray(&in[kRelativeFolder]);
  record.sourcefolder = decodeWideArray(&in[kSourceFolder]);
  record.filesize = getI64(&in[kFileSize]);
  record.compressible = in[kCompressible];
  record.storedsize = getI64(&in[kStoredSize]);
  record.attributes = in[kAttributes];
  record.creationtime = getDouble(&in[kCreationTime]);
  record.writetime = getDouble(&in[kWriteTime]);
  record.accesstime = getDouble(&in[kAccessTime]);
  record.dataoffset = getI64(&in[kDataOffset]);
  out = std::move(record);
  return true;
}

// ---------------------------------------------------------------- trailer

void encodeTrailer(const tarchivetrailer& trailer, std::span<uint8_t, kTrailerSize> out) {
  using namespace trailer_field;
  std::memset(out.data(), 0, out.size());
  putMarker(&out[kMarker]);
  encodeShortString(trailer.productname, kProductNameCapacity, &out[kProductName]);
  encodeShortString(trailer.versiontext, kVersionTextCapacity, &out[kVersionText]);
  std::memcpy(&out[kProgramPresent], trailer.programpresent.data(), kCatalogueSize);
  out[kManualPresent] = trailer.manualpresent;
  putI64(&out[kRecordCount], trailer.recordcount);
  out[kEncrypted] = trailer.encrypted;
  putU32(&out[kCheckLeft], trailer.checkleft);
  putU32(&out[kCheckRight], trailer.checkright);
}

bool decodeTrailer(std::span<const uint8_t, kTrailerSize> in, tarchivetrailer& out,
                   std::string* why) {
  using namespace trailer_field;
  if (!checkMarker(in.subspan<kMarker, kMarkerSize>(), why)) return false;
  tarchivetrailer trailer;
  trailer.productname = decodeShortString(&in[kProductName], kProductNameCapacity);
  trailer.versiontext = decodeShortString(&in[kVersionText], kVersionTextCapacity);
  std::memcpy(trailer.programpresent.data(), &in[kProgramPresent], kCatalogueSize);
  trailer.manualpresent = in[kManualPresent];
  trailer.recordcount = getI64(&in[kRecordCount]);
  trailer.encrypted = in[kEncrypted];
  trailer.checkleft = getU32(&in[kCheckLeft]);
  trailer.checkright = getU32(&in[kCheckRight]);
  if (trailer.recordcount < 0) {
    setWhy(why, "record count " + std::to_string(trailer.recordcount) + " is negative");
    return false;
  }
  out = std::move(trailer);
  return true;
}

}  // namespace zq
