// Little-endian numbers and UTF-16 texts in and out of a byte string, for the
// program's own small files ("manual.zvb", "tree.zvb"). The reader works on
// a range that shrinks as it is read; every read says whether the bytes were
// there, so a damaged file never reads past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zq {

inline void putU16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

inline void putU32(std::string& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// A 16-bit unit count followed by the units (the caller bounds the length).
inline void putText(std::string& out, std::u16string_view text) {
  putU16(out, static_cast<uint16_t>(text.size()));
  for (char16_t unit : text) putU16(out, static_cast<uint16_t>(unit));
}

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : rest_(bytes) {}
  size_t remaining() const { return rest_.size(); }

  bool u8(uint8_t& v) {
    if (rest_.empty()) return false;
    v = static_cast<uint8_t>(rest_[0]);
    rest_.remove_prefix(1);
    return true;
  }
  bool u16(uint16_t& v) {
    if (rest_.size() < 2) return false;
    v = static_cast<uint16_t>(static_cast<uint8_t>(rest_[0]) |
                              (static_cast<uint8_t>(rest_[1]) << 8));
    rest_.remove_prefix(2);
    return true;
  }
  bool u32(uint32_t& v) {
    uint16_t lo = 0, hi = 0;
    if (rest_.size() < 4 || !u16(lo) || !u16(hi)) return false;
    v = static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16);
    return true;
  }
  // A text written by putText of 1 to maxLength units.
  bool text(std::u16string& out, size_t maxLength) {
    uint16_t length = 0;
    if (!u16(length) || length == 0 || length > maxLength || rest_.size() < 2u * length)
      return false;
    out.resize(length);
    for (char16_t& unit : out) {
      uint16_t v = 0;
      u16(v);
      unit = static_cast<char16_t>(v);
    }
    return true;
  }

 private:
  std::string_view rest_;
};

}  // namespace zq
