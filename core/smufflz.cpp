#include "core/smufflz.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

// What compressBlock emits is part of the archive format, so every shortcut
// below is one that cannot change a single bit: the chain store, the order in
// which candidates are tried and the way bits are packed may be anything, as
// long as the chosen match and the written codes are those of the plain
// greedy coder (a copy of which the tests keep as the oracle).

namespace zq {
namespace {

// ---------------------------------------------------------------- code tables

// Length symbols 256..285 (index 0..29): base length and extra bits.
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

constexpr uint32_t kFarLimit = 4096;  // a length-3 match farther back is not worth its bits
constexpr uint32_t kMaxMatch = 259;
constexpr uint32_t kGoodEnough = 10;  // the chain walk stops at the first longer match

struct EncoderTables {
  // Literal codes and lengths.
  uint16_t litCode[256] = {};
  uint8_t litBits[256] = {};
  // Length code followed by its extra bits, for lengths 3..259.
  uint16_t lenCode[kMaxMatch + 1] = {};
  uint8_t lenBits[kMaxMatch + 1] = {};
  // Distance code of distance d: slot[d - 1] below 256, else slot[256 + ((d - 1) >> 7)].
  uint8_t distSlot[768] = {};

  constexpr EncoderTables() {
    for (uint32_t v = 0; v < 256; ++v) {
      litCode[v] = static_cast<uint16_t>(v < 144 ? 0x30 + v : 0x190 + (v - 144));
      litBits[v] = v < 144 ? 8 : 9;
    }
    for (uint32_t len = 3; len <= kMaxMatch; ++len) {
      uint32_t sym = 29;  // 259 takes symbol 285; 228..258 take 284
      if (len < kMaxMatch) {
        sym = 28;
        while (kLengthBase[sym] > len) --sym;
      }
      const uint32_t code = sym < 24 ? sym : 0xC0 + (sym - 24);
      const uint32_t codeBits = sym < 24 ? 7 : 8;
      lenCode[len] = static_cast<uint16_t>((code << kLengthExtra[sym]) | (len - kLengthBase[sym]));
      lenBits[len] = static_cast<uint8_t>(codeBits + kLengthExtra[sym]);
    }
    for (uint32_t code = 0; code < 32; ++code) {
      const uint32_t first = kDistBase[code] - 1, last = first + (1u << kDistExtra[code]) - 1;
      for (uint32_t d = first; d <= last; ++d) {
        if (d < 256) distSlot[d] = static_cast<uint8_t>(code);
        else distSlot[256 + (d >> 7)] = static_cast<uint8_t>(code);
      }
    }
  }
};
constexpr EncoderTables kEnc;

// One entry per value of the next 9 bits of a stream.
struct SymbolEntry {
  enum Kind : uint8_t { Literal, Length, Invalid };
  uint8_t kind = Invalid;
  uint8_t codeBits = 0;   // bits of the code itself
  uint8_t extraBits = 0;  // length: extra bits after the code
  uint16_t value = 0;     // literal: the byte; length: the base length
};

struct DecoderTables {
  SymbolEntry symbol[512] = {};
  constexpr DecoderTables() {
    for (uint32_t w = 0; w < 512; ++w) {
      SymbolEntry& e = symbol[w];
      const uint32_t top7 = w >> 2, top8 = w >> 1;
      uint32_t sym = 0;
      if (top7 <= 23) {
        sym = top7;
        e.codeBits = 7;
      } else if (top8 <= 0xBF) {
        e = {SymbolEntry::Literal, 8, 0, static_cast<uint16_t>(top8 - 0x30)};
        continue;
      } else if (top8 <= 0xC7) {
        sym = 24 + (top8 - 0xC0);
        e.codeBits = 8;
      } else {
        e = {SymbolEntry::Literal, 9, 0, static_cast<uint16_t>(w - 0x190 + 144)};
        continue;
      }
      if (sym >= 30) {  // 286 and 287 have no length
        e.kind = SymbolEntry::Invalid;
        continue;
      }
      e.kind = SymbolEntry::Length;
      e.extraBits = kLengthExtra[sym];
      e.value = kLengthBase[sym];
    }
  }
};
constexpr DecoderTables kDec;

// ---------------------------------------------------------------- helpers

inline uint32_t load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint64_t load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline uint64_t loadLittle64(const uint8_t* p) {
  uint64_t v = load64(p);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}
inline uint64_t loadBig64(const uint8_t* p) {
  uint64_t v = load64(p);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  return v;
}
inline void storeBig32(uint8_t* p, uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

// Number of equal leading bytes of a and b, at most limit. Reads a[0..limit)
// and b[0..limit) only.
inline uint32_t commonPrefix(const uint8_t* a, const uint8_t* b, uint32_t limit) {
  uint32_t len = 0;
  while (len + 8 <= limit) {
    const uint64_t x = load64(a + len) ^ load64(b + len);
    if (x != 0) {
      if constexpr (std::endian::native == std::endian::little)
        return len + static_cast<uint32_t>(std::countr_zero(x)) / 8;
      else
        return len + static_cast<uint32_t>(std::countl_zero(x)) / 8;
    }
    len += 8;
  }
  while (len < limit && a[len] == b[len]) ++len;
  return len;
}

// Packs codes most significant bit first. The caller makes sure the total
// stays below the output size, so whole 32-bit words are always in bounds.
class BitWriter {
 public:
  explicit BitWriter(uint8_t* out) : out_(out) {}
  void put(uint32_t code, uint32_t bits) {  // bits <= 32
    acc_ |= static_cast<uint64_t>(code) << (64 - used_ - bits);
    used_ += bits;
    if (used_ >= 32) {
      storeBig32(out_, static_cast<uint32_t>(acc_ >> 32));
      out_ += 4;
      acc_ <<= 32;
      used_ -= 32;
    }
  }
  // Writes the bits still held; returns the end of the written bytes.
  uint8_t* flush() {
    for (; used_ > 0; used_ = used_ > 8 ? used_ - 8 : 0, acc_ <<= 8)
      *out_++ = static_cast<uint8_t>(acc_ >> 56);
    return out_;
  }

 private:
  uint8_t* out_;
  uint64_t acc_ = 0;
  uint32_t used_ = 0;  // below 32 between calls
};

constexpr uint16_t kNone = 0xFFFF;  // never a chain position: those stay below 65533

}  // namespace

// The match finder. The coder is defined by a walk over the chain of all
// earlier positions with the same three-byte hash, newest first: skip a node
// whose three bytes differ, take a candidate that is strictly longer than the
// best so far (a length-3 one only within 4096 bytes), stop once the best is
// longer than 10. Only the chosen match matters, and it can be found with
// less work:
//
// - Every position is put in its chains once, so a chain is simply all
//   earlier positions with that key, newest first. The chains live in flat
//   arrays: head[hash] is the newest position, prev[pos] the next older one.
// - A candidate longer than the best so far shares at least best + 1 bytes,
//   so it is in the chain keyed on the longest prefix (4, 5, 6 or 8 bytes)
//   not above best + 1. The walk starts in the 4-byte chain and climbs to the
//   longer chain whenever the best grows, starting from its head and passing
//   over nodes no older than the best candidate (none of those can be longer,
//   or it would have been chosen first).
// - A candidate must equal the current position at the byte just past the
//   best length; that one byte is compared before the whole prefix.
// - Length-3 candidates decide only when no candidate of 4 or more exists;
//   then the match is the newest equal three bytes within 4096 bytes back,
//   found in a chain of three-byte keys.
struct tsmufflz::State {
  template <uint32_t kHashBits>
  struct Chain {
    std::array<uint16_t, (1u << kHashBits)> head;
    std::array<uint16_t, 65536> prev;
    void clear() { head.fill(kNone); }
    void insert(uint32_t hash, uint32_t pos) {
      prev[pos] = head[hash];
      head[hash] = static_cast<uint16_t>(pos);
    }
  };
  static constexpr uint32_t kLevels = 4;
  static constexpr uint32_t kLevelKey[kLevels] = {4, 5, 6, 8};
  static constexpr uint32_t kLevelHashBits = 16;
  // Only the last 4096 bytes are searched for three-byte matches, so a small
  // table does: few other positions within reach share a head.
  static constexpr uint32_t kThreeHashBits = 14;
  Chain<kThreeHashBits> three;
  Chain<kLevelHashBits> level[kLevels];

  // The hashes of one position's keys: three bytes, and each longer prefix
  // that fits before the block end.
  struct Keys {
    uint32_t three;
    uint32_t level[kLevels];
    uint32_t levels;  // how many level keys fit
  };

  static uint32_t hashKey(uint64_t key, uint32_t bits) {
    return static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - bits));
  }
  static uint64_t prefix(uint64_t v, uint32_t bytes) {
    return bytes == 8 ? v : v & ((uint64_t{1} << (8 * bytes)) - 1);
  }

  // Up to eight bytes at pos, the first in the low byte, zero past the end.
  static uint64_t bytesAt(const uint8_t* input, uint32_t pos, uint32_t n) {
    if (pos + 8 <= n) return loadLittle64(input + pos);
    uint64_t v = 0;
    for (uint32_t i = 0; pos + i < n; ++i) v |= static_cast<uint64_t>(input[pos + i]) << (8 * i);
    return v;
  }

  static Keys keysAt(const uint8_t* input, uint32_t pos, uint32_t n) {
    const uint64_t v = bytesAt(input, pos, n);
    Keys k{};
    k.three = hashKey(prefix(v, 3), kThreeHashBits);
    k.levels = 0;
    for (uint32_t l = 0; l < kLevels && pos + kLevelKey[l] <= n; ++l, ++k.levels)
      k.level[l] = hashKey(prefix(v, kLevelKey[l]), kLevelHashBits);
    return k;
  }

  void insert(const Keys& k, uint32_t pos) {
    three.insert(k.three, pos);
    for (uint32_t l = 0; l < k.levels; ++l) level[l].insert(k.level[l], pos);
  }

  // Puts the positions [from, to) in their chains; the common case, where all
  // eight bytes are there, without any per-position test.
  void insertRange(const uint8_t* input, uint32_t from, uint32_t to, uint32_t n) {
    const uint32_t full = n >= 8 ? std::min(to, n - 7) : from;
    uint32_t p = from;
    for (; p < full; ++p) {
      const uint64_t v = loadLittle64(input + p);
      three.insert(hashKey(prefix(v, 3), kThreeHashBits), p);
      for (uint32_t l = 0; l < kLevels; ++l)
        level[l].insert(hashKey(prefix(v, kLevelKey[l]), kLevelHashBits), p);
    }
    for (; p < to; ++p) insert(keysAt(input, p, n), p);
  }
};

tsmufflz::tsmufflz() : state_(std::make_unique<State>()) {}
tsmufflz::~tsmufflz() = default;

bool tsmufflz::compressBlock(const uint8_t* input, uint8_t* output, uint32_t& size) {
  const uint32_t n = size;
  // Up to four bytes nothing can match (the last three positions never start
  // a match), and four literals take at least 8 * n bits.
  if (n <= 4 || n > kMaxBlock) return false;
  State& s = *state_;
  s.three.clear();
  for (auto& chain : s.level) chain.clear();

  const uint64_t limit = uint64_t{8} * n;
  uint64_t bits = 0;
  BitWriter writer(output);
  const uint32_t lastStart = n - 4;  // positions up to here are hashed and may start a match

  uint32_t pos = 0;
  while (pos < n) {
    uint32_t bestLen = 0, bestDist = 0;
    if (pos <= lastStart) {
      const uint8_t* cur = input + pos;
      const uint32_t maxLen = std::min(kMaxMatch, n - pos);
      const State::Keys keys = State::keysAt(input, pos, n);

      uint32_t lv = 0;
      uint32_t bestPos = kNone;  // nodes at or after it cannot beat the best
      for (uint32_t c = s.level[0].head[keys.level[0]]; c != kNone;) {
        if (c < bestPos && (bestLen == 0 || input[c + bestLen] == cur[bestLen])) {
          const uint32_t len = commonPrefix(cur, input + c, maxLen);
          if (len >= 4 && len > bestLen) {
            bestLen = len;
            bestPos = c;
            if (bestLen > kGoodEnough || bestLen >= maxLen) break;
            uint32_t up = lv;
            while (up + 1 < State::kLevels && State::kLevelKey[up + 1] <= bestLen + 1) ++up;
            if (up != lv) {
              lv = up;
              c = s.level[lv].head[keys.level[lv]];
              continue;
            }
          }
        }
        c = s.level[lv].prev[c];
      }
      if (bestLen == 0) {
        const uint32_t mask3 = std::endian::native == std::endian::little ? 0x00FFFFFFu : 0xFFFFFF00u;
        const uint32_t cur3 = load32(cur) & mask3;
        for (uint32_t c = s.three.head[keys.three]; c != kNone && pos - c <= kFarLimit;
             c = s.three.prev[c]) {
          if ((load32(input + c) & mask3) == cur3) {
            bestLen = 3;
            bestPos = c;
            break;
          }
        }
      }
      if (bestLen != 0) bestDist = pos - bestPos;
      s.insert(keys, pos);
    }

    if (bestLen == 0) {
      const uint8_t b = input[pos];
      bits += kEnc.litBits[b];
      if (bits >= limit) return false;
      writer.put(kEnc.litCode[b], kEnc.litBits[b]);
      ++pos;
    } else {
      const uint32_t d = bestDist - 1;
      const uint32_t slot = kEnc.distSlot[d < 256 ? d : 256 + (d >> 7)];
      const uint32_t distBits = 5 + kDistExtra[slot];
      const uint32_t distCode = (slot << kDistExtra[slot]) | (bestDist - kDistBase[slot]);
      const uint32_t tokenBits = kEnc.lenBits[bestLen] + distBits;
      bits += tokenBits;
      if (bits >= limit) return false;
      writer.put((static_cast<uint32_t>(kEnc.lenCode[bestLen]) << distBits) | distCode, tokenBits);
      const uint32_t end = std::min(pos + bestLen, lastStart + 1);
      s.insertRange(input, pos + 1, end, n);
      pos += bestLen;
    }
  }
  uint8_t* used = writer.flush();
  std::memset(used, 0, static_cast<size_t>(output + n - used));
  size = static_cast<uint32_t>(bits);
  return true;
}

// ---------------------------------------------------------------- decoder
//
// Bits at or past the stream's end (its bit count, or the end of the input
// buffer if that comes first) read as zero, so the result depends only on the
// stream's own bits and nothing is read outside the input. Output stops at
// 65536 bytes whatever the stream still holds. Symbols 286 and 287, which no
// coder writes, end the decoding.

namespace {

struct Decoder {
  const uint8_t* in;
  uint64_t end;     // bits readable as stream bits
  uint64_t length;  // bits to decode (may be larger than end: the rest reads as zero)
  uint8_t* out;
  uint64_t bitpos = 0;
  uint32_t produced = 0;

  // The next 32 bits from bitpos, zero past end.
  uint32_t peek32() const {
    if (bitpos >= end) return 0;
    uint64_t w = 0;
    const uint64_t firstByte = bitpos / 8;
    const uint64_t lastByte = (end + 7) / 8;  // exclusive
    for (uint64_t i = 0; i < 5 && firstByte + i < lastByte; ++i)
      w |= static_cast<uint64_t>(in[firstByte + i]) << (32 - 8 * i);
    w <<= bitpos % 8;
    // Clear the bits at and past end.
    const uint64_t valid = end - bitpos;
    if (valid < 40) w &= ~uint64_t{0} << (40 - valid);
    return static_cast<uint32_t>(w >> 8);
  }

  // Decodes one token from any position with every bound checked. Returns
  // false when decoding must stop.
  bool slowToken() {
    uint32_t w = peek32();
    const SymbolEntry& e = kDec.symbol[w >> 23];
    if (e.kind == SymbolEntry::Literal) {
      out[produced++] = static_cast<uint8_t>(e.value);
      bitpos += e.codeBits;
      return true;
    }
    if (e.kind == SymbolEntry::Invalid) return false;
    bitpos += e.codeBits;
    w = peek32();
    const uint32_t len = e.value + (e.extraBits ? w >> (32 - e.extraBits) : 0);
    w <<= e.extraBits;
    const uint32_t code = w >> 27;
    bitpos += e.extraBits + 5;
    w = peek32();
    const uint32_t extra = kDistExtra[code];
    const uint32_t dist = kDistBase[code] + (extra ? w >> (32 - extra) : 0);
    bitpos += extra;
    if (dist > produced) return true;
    const uint32_t stop = std::min<uint32_t>(tsmufflz::kMaxBlock, produced + len);
    for (; produced < stop; ++produced) out[produced] = out[produced - dist];
    return true;
  }

  void run() {
    // Fast part: the 64 bits loaded at bitpos lie within the stream (so at
    // least 57 of them are usable after the sub-byte shift) and the output
    // has room for six literals and the widest copy (8-byte steps, up to 264
    // bytes). Runs of literals are taken from one load; a match is decoded
    // from the same load when its 32 bits at most are still there.
    constexpr uint32_t kFastOut = tsmufflz::kMaxBlock - 264 - 6;
    while (bitpos + 64 <= end && produced <= kFastOut) {
      uint64_t w = loadBig64(in + bitpos / 8) << (bitpos % 8);
      uint32_t taken = 0;
      const SymbolEntry* e = &kDec.symbol[w >> 55];
      for (int k = 0; k < 6 && e->kind == SymbolEntry::Literal; ++k) {
        out[produced++] = static_cast<uint8_t>(e->value);
        taken += e->codeBits;
        w <<= e->codeBits;
        e = &kDec.symbol[w >> 55];
      }
      bitpos += taken;
      if (e->kind == SymbolEntry::Literal || taken > 57 - 32) continue;
      if (e->kind == SymbolEntry::Invalid) return;
      uint32_t used = e->codeBits + e->extraBits;
      const uint32_t len = e->value + static_cast<uint32_t>((w >> (64 - used)) & ((1u << e->extraBits) - 1));
      const uint32_t code = static_cast<uint32_t>(w >> (64 - used - 5)) & 31;
      used += 5;
      const uint32_t extra = kDistExtra[code];
      used += extra;
      const uint32_t dist = kDistBase[code] + static_cast<uint32_t>((w >> (64 - used)) & ((1u << extra) - 1));
      bitpos += used;
      if (dist > produced) continue;
      uint8_t* dst = out + produced;
      const uint8_t* src = dst - dist;
      if (dist >= 8) {
        for (uint32_t i = 0; i < len; i += 8) std::memcpy(dst + i, src + i, 8);
      } else if (dist == 1) {
        std::memset(dst, *src, len);
      } else {
        for (uint32_t i = 0; i < len; ++i) dst[i] = src[i];
      }
      produced += len;
    }
    while (bitpos < length && produced < tsmufflz::kMaxBlock) {
      if (bitpos >= end) {
        // Only zero bits remain: each 12 of them read as a match of length 3
        // at distance 1, which repeats the last byte (or does nothing on an
        // empty output). Settle them at once instead of looping over up to
        // 2^32 bits.
        if (produced == 0) return;
        const uint64_t tokens = (length - bitpos + 11) / 12;
        const uint64_t want = std::min<uint64_t>(tsmufflz::kMaxBlock, produced + 3 * tokens);
        std::memset(out + produced, out[produced - 1], want - produced);
        produced = static_cast<uint32_t>(want);
        return;
      }
      if (!slowToken()) return;
    }
  }
};

}  // namespace

void tsmufflz::decompressBlock(const uint8_t* input, size_t inputBytes, uint8_t* output,
                               uint32_t& length) {
  Decoder d{input, std::min<uint64_t>(length, uint64_t{8} * inputBytes), length, output};
  d.run();
  length = d.produced;
}

}  // namespace zq
