// The archive cipher (a Blowfish variant with a zero start P-array and the
// S-boxes indexed from the low byte) and the passphrase-to-key-text rule. Both
// departures from the published cipher are part of the archive format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zq {

// The alphabet of key texts; each character stands for its 5-bit index.
inline constexpr std::string_view kKeyTextAlphabet = "0123456789ABCDEFGHIJKLMNoPQRSTUV";
inline constexpr size_t kKeyTextLength = 26;

// The block whose enciphered form lets a reader recognise the right passphrase.
inline constexpr uint32_t kCheckBlockLeft = 0x12345678;
inline constexpr uint32_t kCheckBlockRight = 0xABCDEF12;

// The published start values of the cipher: the hexadecimal digits of pi after
// "3.", as 1042 big-endian words: the 18 words of the published P-array, then
// the four 256-word S-boxes in order.
inline constexpr size_t kPiWordCount = 18 + 4 * 256;
extern const uint32_t kPiWords[kPiWordCount];

// The 26-character key text of a passphrase given as ANSI bytes; empty for an
// empty passphrase. Only the first min(length, 25) - 1 characters enter the
// key; the length still matters.
std::string keyTextFromPassphrase(std::string_view passphrase);

class tblowfish {
 public:
  tblowfish();
  // Overwrites every table entry so that no key-dependent value survives.
  ~tblowfish();
  tblowfish(const tblowfish&) = delete;
  tblowfish& operator=(const tblowfish&) = delete;

  // Keys the cipher. A key text whose length is not 26 gives the zero key.
  // Characters are matched against the alphabet ignoring case; a character
  // outside it counts as 0.
  void setKey(std::string_view keyText);

  // Keys the cipher the way the published algorithm does (published start
  // P-array, key bytes folded into it, the high byte indexing the first
  // S-box). Archives never use this; it exists so that the shared rounds and
  // tables can be checked against the published test vectors. A key of 0 or
  // more than 72 bytes is taken as given (cyclic use, as published).
  void setPublishedKey(const uint8_t* key, size_t length);

  void encryptBlock(uint32_t& left, uint32_t& right) const;
  void decryptBlock(uint32_t& left, uint32_t& right) const;

  // Enciphers / deciphers whole 8-byte blocks in place (ECB; each block's
  // halves are little-endian). A trailing partial block is left untouched;
  // callers pass whole blocks.
  void encryptBytes(uint8_t* data, size_t byteCount) const;
  void decryptBytes(uint8_t* data, size_t byteCount) const;

 private:
  template <bool kPublished>
  uint32_t mix(uint32_t x) const;
  template <bool kPublished>
  void encryptRounds(uint32_t& left, uint32_t& right) const;
  template <bool kPublished>
  void decryptRounds(uint32_t& left, uint32_t& right) const;
  template <bool kPublished>
  void expandTables();

  uint32_t s_[4][256];
  uint32_t p_[18];
  bool published_ = false;
};

}  // namespace zq
