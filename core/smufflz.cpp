#include "core/smufflz.h"

#include <array>
#include <cstring>
#include <vector>

namespace zq {
namespace {

// Length symbols 256..285: base length and extra bits.
constexpr std::array<uint16_t, 30> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10,  11,  12,
                                                   14, 16, 18, 20, 24, 28, 32, 36,  44,  52,
                                                   60, 68, 84, 100, 116, 132, 164, 196, 228, 259};
constexpr std::array<uint8_t, 30> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                                  2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Distance codes 0..31: base distance and extra bits.
constexpr std::array<uint32_t, 32> kDistBase = {
    1,    2,    3,    4,    5,    7,     9,     13,    17,    25,    33,
    49,   65,   97,   129,  193,  257,   385,   513,   769,   1025,  1537,
    2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr std::array<uint8_t, 32> kDistExtra = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,
                                                4, 5, 5, 6, 6, 7, 7,  8,  8,  9,  9,
                                                10, 10, 11, 11, 12, 12, 13, 13, 14, 14};

struct CrcTable {
  uint32_t t[256];
  CrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
  }
};
const CrcTable kCrc;

uint32_t hash3(const uint8_t* p) {
  uint32_t h = 0x80;
  for (int i = 0; i < 3; ++i) h = kCrc.t[(h ^ p[i]) & 0xFF] ^ (h >> 8);
  return h & 0xFFFF;
}

}  // namespace

struct tsmufflz::State {
  struct Node {
    int32_t pos;
    int32_t next;  // index into nodes, -1 at the end of a chain
  };
  std::vector<int32_t> heads = std::vector<int32_t>(65536, -1);
  std::vector<Node> nodes;

  void insert(const uint8_t* input, int32_t pos) {
    uint32_t h = hash3(input + pos);
    nodes.push_back({pos, heads[h]});
    heads[h] = static_cast<int32_t>(nodes.size() - 1);
  }
};

tsmufflz::tsmufflz() : state_(std::make_unique<State>()) {}
tsmufflz::~tsmufflz() = default;

bool tsmufflz::compressBlock(const uint8_t* input, uint8_t* output, uint32_t& size) {
  const uint32_t n = size;
  if (n == 0 || n > kMaxBlock) return false;
  State& s = *state_;
  s.nodes.clear();
  std::fill(s.heads.begin(), s.heads.end(), -1);
  std::memset(output, 0, n);
  const uint64_t limit = uint64_t{8} * n;
  uint64_t bits = 0;

  auto put = [&](uint32_t value, unsigned count) {
    if (bits + count >= limit) {  // would not fit: counted, not written, the block fails
      bits += count;
      return;
    }
    for (unsigned i = count; i-- > 0; ++bits)
      if ((value >> i) & 1) output[bits / 8] |= static_cast<uint8_t>(0x80u >> (bits % 8));
  };

  uint32_t pos = 0;
  while (pos < n) {
    uint32_t bestLen = 0, bestDist = 0;
    if (pos + 3 < n) {
      for (int32_t node = s.heads[hash3(input + pos)]; node >= 0; node = s.nodes[node].next) {
        const uint32_t c = static_cast<uint32_t>(s.nodes[node].pos);
        const uint32_t d = pos - c;
        if (d > 65536) break;
        if (std::memcmp(input + c, input + pos, 3) != 0) continue;
        uint32_t len = 3;
        while (pos + len < n && input[c + len] == input[pos + len] && len < 259) ++len;
        if (len > bestLen && (d <= 4096 || len > 3)) {
          bestLen = len;
          bestDist = d;
        }
        if (bestLen > 10) break;
      }
    }
    if (bestLen == 0) {
      const uint8_t b = input[pos];
      if (b < 144) put(0x30u + b, 8); else put(0x190u + (b - 144u), 9);
      if (pos + 3 < n) s.insert(input, static_cast<int32_t>(pos));
      ++pos;
    } else {
      unsigned sym = 0;
      if (bestLen == 259) sym = 29;  // symbol 285; 228..258 take symbol 284
      else while (sym + 1 < 29 && kLengthBase[sym + 1] <= bestLen) ++sym;
      if (sym < 24) put(sym, 7); else put(0xC0u + (sym - 24), 8);
      put(bestLen - kLengthBase[sym], kLengthExtra[sym]);
      unsigned dc = 0;
      while (dc + 1 < 32 && kDistBase[dc + 1] <= bestDist) ++dc;
      put(dc, 5);
      put(bestDist - kDistBase[dc], kDistExtra[dc]);
      s.insert(input, static_cast<int32_t>(pos));
      for (uint32_t p = pos + 1; p < pos + bestLen; ++p)
        if (p + 3 < n) s.insert(input, static_cast<int32_t>(p));
      pos += bestLen;
    }
    if (bits >= limit) return false;
  }
  size = static_cast<uint32_t>(bits);
  return true;
}

void tsmufflz::decompressBlock(const uint8_t* input, size_t inputBytes, uint8_t* output,
                               uint32_t& length) {
  // Bits at or past the stream's end (its bit count, or the end of the input
  // buffer if that comes first) read as zero: the result depends only on the
  // stream's own bits and never on what lies beyond them.
  const uint64_t end = std::min<uint64_t>(length, uint64_t{8} * inputBytes);
  auto bit = [&](uint64_t at) -> uint32_t {
    return at < end ? (input[at / 8] >> (7 - at % 8)) & 1u : 0u;
  };
  uint64_t bitpos = 0;
  auto take = [&](unsigned count) {
    uint32_t v = 0;
    for (unsigned i = 0; i < count; ++i) v = (v << 1) | bit(bitpos++);
    return v;
  };

  uint32_t out = 0;
  while (bitpos < length && out < kMaxBlock) {
    if (bitpos >= end) {
      // Only zero bits remain: each 12 of them read as a match of length 3 at
      // distance 1, which repeats the last byte (or does nothing on an empty
      // output). Settle them at once instead of looping up to 2^32 bits.
      if (out == 0) break;
      const uint64_t tokens = (uint64_t{length} - bitpos + 11) / 12;
      const uint64_t want = std::min<uint64_t>(kMaxBlock, out + 3 * tokens);
      std::memset(output + out, output[out - 1], want - out);
      out = static_cast<uint32_t>(want);
      break;
    }
    uint32_t first8 = take(8);
    unsigned sym;
    if ((first8 >> 1) <= 23) {
      bitpos -= 1;
      sym = first8 >> 1;
    } else if (first8 <= 0xBF) {
      output[out++] = static_cast<uint8_t>(first8 - 0x30);
      continue;
    } else if (first8 <= 0xC7) {
      sym = 24 + (first8 - 0xC0);
      // Symbols 286 and 287 have no length: the stream is damaged from here on.
      if (sym >= 30) break;
    } else {
      output[out++] = static_cast<uint8_t>(((first8 << 1) | take(1)) - 0x190 + 144);
      continue;
    }
    const uint32_t len = kLengthBase[sym] + take(kLengthExtra[sym]);
    const unsigned dc = take(5);
    const uint32_t dist = kDistBase[dc] + take(kDistExtra[dc]);
    if (dist > out) continue;
    for (uint32_t i = 0; i < len && out < kMaxBlock; ++i, ++out) output[out] = output[out - dist];
  }
  length = out;
}

}  // namespace zq
