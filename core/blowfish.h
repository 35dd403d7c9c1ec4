// The archive cipher (a Blowfish variant with a zero start P-array and the
// S-boxes indexed from the low byte) and the passphrase-to-key-text rule. Both
// departures from the published cipher are part of the archive format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zq {

// The 26-character key text of a passphrase given as ANSI bytes; empty for an
// empty passphrase.
std::string keyTextFromPassphrase(std::string_view passphrase);

class tblowfish {
 public:
  tblowfish();
  // Overwrites every table entry so that no key-dependent value survives.
  ~tblowfish();
  tblowfish(const tblowfish&) = delete;
  tblowfish& operator=(const tblowfish&) = delete;

  // Keys the cipher. A key text whose length is not 26 gives the zero key.
  void setKey(std::string_view keyText);

  void encryptBlock(uint32_t& left, uint32_t& right) const;
  void decryptBlock(uint32_t& left, uint32_t& right) const;

  // Enciphers / deciphers whole 8-byte blocks in place (ECB; each block's
  // halves are little-endian). byteCount must be a multiple of 8.
  void encryptBytes(uint8_t* data, size_t byteCount) const;
  void decryptBytes(uint8_t* data, size_t byteCount) const;

 private:
  uint32_t s_[4][256];
  uint32_t p_[18];
};

}  // namespace zq
