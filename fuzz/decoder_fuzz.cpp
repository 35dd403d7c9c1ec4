// Feeds arbitrary streams and bit counts to the block decoder, and arbitrary
// blocks through the coder and back. The sanitizers catch any access outside
// the buffers, which are sized exactly (the decoder's output to the 65537 bytes
// it may be given); a failed round trip or an oversized result aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/smufflz.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// The first four bytes are the bit count (so counts far beyond the buffer
// occur too), the rest is the stream.
void decodeAnything(const uint8_t* data, size_t size) {
  if (size < 4) return;
  uint32_t bits;
  std::memcpy(&bits, data, 4);
  std::vector<uint8_t> stream(data + 4, data + size);
  std::vector<uint8_t> out(zq::tsmufflz::kDecodeCapacity);
  uint32_t length = bits;
  zq::tsmufflz::decompressBlock(stream.data(), stream.size(), out.data(), length);
  check(length <= zq::tsmufflz::kMaxBlock);
}

void roundTrip(const uint8_t* data, size_t size) {
  static zq::tsmufflz codec;  // reused, as the programs do
  const uint32_t n = static_cast<uint32_t>(size < zq::tsmufflz::kMaxBlock ? size : zq::tsmufflz::kMaxBlock);
  if (n == 0) return;
  std::vector<uint8_t> stream(n);
  uint32_t bits = n;
  if (!codec.compressBlock(data, stream.data(), bits)) {
    check(bits == n);
    return;
  }
  check(bits < 8 * n);
  std::vector<uint8_t> out(zq::tsmufflz::kDecodeCapacity);
  uint32_t length = bits;
  zq::tsmufflz::decompressBlock(stream.data(), (bits + 7) / 8, out.data(), length);
  check(length == n && std::memcmp(out.data(), data, n) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  decodeAnything(data, size);
  roundTrip(data, size);
  return 0;
}
