// The block codec: LZ77 with fixed prefix codes, one block of at most 65536
// bytes at a time, each block coded on its own. The exact bit stream is part of
// the archive format, so what compressBlock emits must never change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zq {

class tsmufflz {
 public:
  static constexpr uint32_t kMaxBlock = 65536;
  // Decompression output buffers must hold this many bytes.
  static constexpr uint32_t kDecodeCapacity = kMaxBlock + 1;

  tsmufflz();
  ~tsmufflz();
  tsmufflz(const tsmufflz&) = delete;
  tsmufflz& operator=(const tsmufflz&) = delete;

  // Compresses input[0..size). On entry size is the input length n (1 to
  // 65536); output holds at least n bytes and nothing beyond its first n bytes
  // is written. On success returns true and sets size to the number of bits
  // written (always fewer than 8 * n). On failure (the coded form would not be
  // shorter) returns false, the output is unusable and size keeps n.
  bool compressBlock(const uint8_t* input, uint8_t* output, uint32_t& size);

  // Expands a stream. On entry length is the stream's bit count; inputBytes is
  // the size of the input buffer (bits past it read as zero, so the decoder
  // never reads outside it). On return length is the number of bytes produced,
  // at most 65536. output must hold kDecodeCapacity bytes. Malformed streams
  // never fail: a match reaching before the output start is skipped and output
  // is cut at 65536 bytes.
  static void decompressBlock(const uint8_t* input, size_t inputBytes, uint8_t* output,
                              uint32_t& length);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace zq
