#include "core/smufflz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace zq {
namespace {

using Bytes = std::vector<uint8_t>;

// ---------------------------------------------------------------------------
// The oracle: a plain, slow, line-by-line coder kept apart from the fast one.
// The fast coder must emit exactly the same bits for every input.
namespace oracle {

constexpr uint16_t kLenBase[30] = {3,  4,  5,  6,  7,  8,  9,  10,  11,  12,  14,  16,  18,  20,  24,
                                   28, 32, 36, 44, 52, 60, 68, 84, 100, 116, 132, 164, 196, 228, 259};
constexpr uint8_t kLenExtra[30] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                   2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint32_t kDistBase[32] = {1,    2,    3,    4,    5,     7,     9,     13,
                                    17,   25,   33,   49,   65,    97,    129,   193,
                                    257,  385,  513,  769,  1025,  1537,  2049,  3073,
                                    4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr uint8_t kDistExtra[32] = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                    7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};

uint32_t hash3(const uint8_t* p) {
  uint32_t h = 0x80;
  for (int i = 0; i < 3; ++i) {
    uint32_t c = (h ^ p[i]) & 0xFF;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    h = c ^ (h >> 8);
  }
  return h & 0xFFFF;
}

// Returns false on failure; otherwise the stream in out (n bytes) and its bit count.
bool compress(const Bytes& in, Bytes& out, uint32_t& bitsOut) {
  const size_t n = in.size();
  std::vector<std::vector<uint32_t>> chains(65536);  // oldest first; walked from the back
  out.assign(n, 0);
  uint64_t bits = 0;
  auto put = [&](uint32_t v, unsigned count) {
    for (unsigned i = count; i-- > 0; ++bits)
      if (bits < 8 * n && ((v >> i) & 1)) out[bits / 8] |= uint8_t(0x80 >> (bits % 8));
  };
  size_t pos = 0;
  while (pos < n) {
    uint32_t bestLen = 0, bestDist = 0;
    if (pos + 3 < n) {
      const auto& chain = chains[hash3(&in[pos])];
      for (size_t k = chain.size(); k-- > 0;) {
        const size_t c = chain[k];
        const size_t d = pos - c;
        if (d > 65536) break;
        if (in[c] != in[pos] || in[c + 1] != in[pos + 1] || in[c + 2] != in[pos + 2]) continue;
        uint32_t len = 3;
        while (pos + len < n && in[c + len] == in[pos + len] && len < 259) ++len;
        if (len > bestLen && (d <= 4096 || len > 3)) bestLen = len, bestDist = uint32_t(d);
        if (bestLen > 10) break;
      }
    }
    if (bestLen == 0) {
      if (in[pos] < 144) put(0x30 + in[pos], 8); else put(0x190 + in[pos] - 144, 9);
      if (pos + 3 < n) chains[hash3(&in[pos])].push_back(uint32_t(pos));
      ++pos;
    } else {
      int sym = 29;
      if (bestLen < 259) for (sym = 28; kLenBase[sym] > bestLen; --sym) {}
      if (sym < 24) put(sym, 7); else put(0xC0 + sym - 24, 8);
      put(bestLen - kLenBase[sym], kLenExtra[sym]);
      int dc = 31;
      while (kDistBase[dc] > bestDist) --dc;
      put(dc, 5);
      put(bestDist - kDistBase[dc], kDistExtra[dc]);
      for (size_t p = pos; p < pos + bestLen; ++p)
        if (p + 3 < n) chains[hash3(&in[p])].push_back(uint32_t(p));
      pos += bestLen;
    }
    if (bits >= 8 * n) return false;
  }
  bitsOut = uint32_t(bits);
  return true;
}

// Reads the stream bit by bit: bits past the bit count (or the buffer) are
// zero, output stops at 65536 bytes, symbols 286 and 287 end the stream.
Bytes decompress(const Bytes& s, uint32_t length) {
  const uint64_t end = std::min<uint64_t>(length, 8 * uint64_t(s.size()));
  uint64_t at = 0;
  auto take = [&](unsigned count) {
    uint32_t v = 0;
    for (unsigned i = 0; i < count; ++i, ++at) v = (v << 1) | (at < end ? (s[at / 8] >> (7 - at % 8)) & 1 : 0);
    return v;
  };
  Bytes out;
  while (at < length && out.size() < 65536) {
    if (at >= end && out.empty()) break;  // only zero bits left: matches with nothing to copy
    uint32_t v = take(7);
    uint32_t sym = v;
    if (v > 23) {
      v = (v << 1) | take(1);
      if (v <= 0xBF) { out.push_back(uint8_t(v - 0x30)); continue; }
      if (v >= 0xC8) { out.push_back(uint8_t(((v << 1) | take(1)) - 0x190 + 144)); continue; }
      sym = v - 0xC0 + 24;
      if (sym >= 30) break;
    }
    const uint32_t len = kLenBase[sym] + take(kLenExtra[sym]);
    const uint32_t dc = take(5);
    const uint32_t dist = kDistBase[dc] + take(kDistExtra[dc]);
    if (dist > out.size()) continue;
    for (uint32_t i = 0; i < len && out.size() < 65536; ++i) out.push_back(out[out.size() - dist]);
  }
  return out;
}

}  // namespace oracle

// ---------------------------------------------------------------------------
// Seeded test data of several kinds. Only raw engine output is used, so the
// data is the same with every standard library.

enum class Kind { Text, Binary, Random, Zeros, Runs, FewSymbols, HighBytes, Phrases };

Bytes makeData(Kind kind, size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes d;
  d.reserve(n + 64);
  static const char* const kWords[] = {"the", "of", "and", "to", "in", "is", "mail", "inbox",
                                       "message", "From:", "Subject:", "Re:", "backup", "file",
                                       "folder", "settings", "with", "for", "you", "that"};
  while (d.size() < n) {
    switch (kind) {
      case Kind::Text: {
        uint32_t r = rng();
        const char* w = kWords[(r % 20) * ((r >> 8) % 4 + 1) / 4 % 20];  // skewed choice
        d.insert(d.end(), w, w + std::strlen(w));
        d.push_back((r >> 16) % 11 == 0 ? '\n' : ' ');
        if ((r >> 24) % 7 == 0) d.push_back(uint8_t('a' + (r >> 28)));
        break;
      }
      case Kind::Binary: {  // little-endian records with slowly changing fields
        uint32_t r = rng();
        uint32_t rec[4] = {uint32_t(d.size() / 16), r & 0xFF, 0, r >> 20};
        const auto* p = reinterpret_cast<const uint8_t*>(rec);
        d.insert(d.end(), p, p + 16);
        break;
      }
      case Kind::Random: d.push_back(uint8_t(rng())); break;
      case Kind::Zeros: d.push_back(0); break;
      case Kind::Runs: {
        uint32_t r = rng();
        d.insert(d.end(), 1 + (r >> 8) % 300, uint8_t(r));
        break;
      }
      case Kind::FewSymbols: d.push_back(uint8_t('a' + rng() % 3)); break;
      case Kind::Phrases: {  // repeats of every length from 2 to 14, near and far
        std::mt19937 words(seed / 7);  // the same few phrases throughout the block
        uint32_t pick = rng() % 48, r = 0;
        for (uint32_t i = 0; i <= pick; ++i) r = words();
        for (uint32_t k = 0; k < 2 + r % 13; ++k) d.push_back(uint8_t('a' + (r >> (k % 6 * 5)) % 7));
        if (rng() % 4 == 0) d.push_back(uint8_t(rng()));
        break;
      }
      case Kind::HighBytes: {
        uint32_t r = rng();
        d.push_back(uint8_t(144 + r % 8));
        if ((r >> 8) % 5 == 0) d.push_back(uint8_t(r >> 16));
        break;
      }
    }
  }
  d.resize(n);
  return d;
}

constexpr Kind kAllKinds[] = {Kind::Text,       Kind::Binary,    Kind::Random,
                              Kind::Zeros,      Kind::Runs,      Kind::FewSymbols,
                              Kind::HighBytes,  Kind::Phrases};

constexpr uint8_t kCanary = 0xA5;

struct Compressed {
  bool ok = false;
  uint32_t size = 0;  // bits on success, n on failure
  Bytes stream;       // the n output bytes
};

// Compresses into a buffer of exactly n bytes plus a canary that must survive.
Compressed compress(tsmufflz& codec, const Bytes& in) {
  Bytes buf(in.size() + 1, 0xEE);
  buf[in.size()] = kCanary;
  Compressed c;
  c.size = uint32_t(in.size());
  c.ok = codec.compressBlock(in.data(), buf.data(), c.size);
  EXPECT_EQ(buf[in.size()], kCanary) << "compressBlock wrote past its n bytes";
  c.stream.assign(buf.begin(), buf.end() - 1);
  return c;
}

// Decodes from an input buffer of exactly its own size (so ASan sees any
// over-read) into a 65537-byte output followed by canaries.
Bytes decompress(const Bytes& stream, uint32_t bits) {
  std::vector<uint8_t> in(stream);  // exact size: no slack to read into
  Bytes out(tsmufflz::kDecodeCapacity + 8, kCanary);
  uint32_t length = bits;
  tsmufflz::decompressBlock(in.empty() ? nullptr : in.data(), in.size(), out.data(), length);
  EXPECT_LE(length, tsmufflz::kMaxBlock);
  for (size_t i = tsmufflz::kDecodeCapacity; i < out.size(); ++i)
    EXPECT_EQ(out[i], kCanary) << "decompressBlock wrote past its output at " << i;
  out.resize(std::min<size_t>(length, out.size()));
  return out;
}

Bytes fromHex(const std::string& hex) {
  Bytes b;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) b.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return b;
}

std::string toHex(const Bytes& b, size_t count) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < count && i < b.size(); ++i) s += {digits[b[i] >> 4], digits[b[i] & 15]};
  return s;
}

// Reads a stream back as tokens, to check which matches the coder chose.
struct Token {
  int literal;  // -1 for a match
  uint32_t length, distance;
};

std::vector<Token> tokens(const Bytes& s, uint32_t bits) {
  uint64_t at = 0;
  auto take = [&](unsigned count) {
    uint32_t v = 0;
    for (unsigned i = 0; i < count; ++i, ++at)
      v = (v << 1) | (at / 8 < s.size() ? (s[at / 8] >> (7 - at % 8)) & 1 : 0);
    return v;
  };
  std::vector<Token> t;
  while (at < bits) {
    uint32_t v = take(7);
    int sym;
    if (v <= 23) {
      sym = int(v);
    } else {
      v = (v << 1) | take(1);
      if (v <= 0xBF) { t.push_back({int(v - 0x30), 0, 0}); continue; }
      if (v <= 0xC5) {
        sym = int(v - 0xC0 + 24);
      } else {
        t.push_back({int(((v << 1) | take(1)) - 0x190 + 144), 0, 0});
        continue;
      }
    }
    uint32_t len = oracle::kLenBase[sym] + take(oracle::kLenExtra[sym]);
    uint32_t dc = take(5);
    t.push_back({-1, len, oracle::kDistBase[dc] + take(oracle::kDistExtra[dc])});
  }
  return t;
}

// ---------------------------------------------------------------------------

TEST(Smufflz, SixtyFourKiBOfZerosIs3309Bits) {
  tsmufflz codec;
  Bytes zeros(65536, 0);
  Compressed c = compress(codec, zeros);
  ASSERT_TRUE(c.ok);
  EXPECT_EQ(c.size, 3309u);  // literal 8 + 253 * (8 + 5) + (7 + 5)
  EXPECT_EQ(decompress(c.stream, c.size), zeros);
}

// Streams worked out by hand from the code tables.
TEST(Smufflz, GoldenStreams) {
  struct Case {
    std::string input, stream;
    uint32_t bits;
  } cases[] = {
      // 'a' = 0x30+0x61 (8 bits) 10010001; length 4 = symbol 257: 0000001; distance 1: 00000
      {"6161616161", "910200", 20},
      // 0xFF = 0x190+111 (9 bits) 111111111, then the same match
      {"ffffffffff", "ff8100", 21},
      // 0x90 is the first 9-bit literal: 110010000
      {"9090909090", "c80100", 21},
      // 0x8f is the last 8-bit literal: 0x30+0x8f = 10111111
      {"8f8f8f8f8f", "bf0200", 20},
      // a b c, then length 9 (symbol 262: 0000110) at distance 3 (code 2: 00010)
      {"616263616263616263616263", "9192930c20", 36},
      // a..h, then length 16 (symbol 267: 0001011, extra 0) at distance 8 (code 5: 00101, extra 1)
      {"616263646566676861626364656667686162636465666768", "9192939495969798162c", 78},
      // a..h, then length 22 (symbol 269: 0001101, extra 10) at distance 8 (00101, extra 1)
      {"616263646566676861626364656667686162636465666768616263646566", "91929394959697981b16", 79},
  };
  tsmufflz codec;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.input);
    Bytes in = fromHex(k.input);
    Compressed c = compress(codec, in);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.size, k.bits);
    EXPECT_EQ(toHex(c.stream, (c.size + 7) / 8), k.stream);
    EXPECT_EQ(toHex(c.stream, in.size()), k.stream + std::string(2 * (in.size() - k.stream.size() / 2), '0'))
        << "bytes after the stream must stay zero";
    EXPECT_EQ(decompress(fromHex(k.stream), k.bits), in);
  }
}

TEST(Smufflz, BlocksThatCannotShrinkFail) {
  struct Case {
    const char* name;
    Bytes input;
  } cases[] = {
      {"one byte", {0x41}},
      {"two bytes", {0, 0}},
      {"three identical", {7, 7, 7}},
      {"four identical", {7, 7, 7, 7}},  // literal, no match (3 positions left), 3 literals = 32 bits
      {"random 64 KiB", makeData(Kind::Random, 65536, 1)},
      {"distinct high bytes", [] { Bytes b; for (int v = 144; v < 256; ++v) b.push_back(uint8_t(v)); return b; }()},
  };
  tsmufflz codec;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Compressed c = compress(codec, k.input);
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.size, k.input.size());
  }
}

// A three-byte repeat farther than 4096 bytes is not worth a match; a
// four-byte repeat at any distance is.
TEST(Smufflz, FarThreeByteRepeatIsNotUsed) {
  struct Case {
    uint32_t distance, repeat;
    bool used;
  } cases[] = {{4096, 3, true}, {4097, 3, false}, {5000, 3, false}, {5000, 4, true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.distance << " back, " << k.repeat << " bytes");
    Bytes in = makeData(Kind::Random, k.distance, 7);
    const uint8_t head[4] = {0x11, 0x22, 0x33, 0x44};
    std::copy(head, head + 4, in.begin());
    in.insert(in.end(), head, head + k.repeat);
    in.push_back(0x99);
    in.resize(in.size() + 3000, 0);  // something compressible so the block succeeds
    tsmufflz codec;
    Compressed c = compress(codec, in);
    ASSERT_TRUE(c.ok);
    int far = 0;
    for (const Token& t : tokens(c.stream, c.size))
      if (t.literal < 0 && t.distance == k.distance) {
        ++far;
        EXPECT_EQ(t.length, k.repeat);
      }
    EXPECT_EQ(far, k.used ? 1 : 0);
    EXPECT_EQ(decompress(c.stream, c.size), in);
  }
}

// The largest distances use the two extra distance codes (14 extra bits).
TEST(Smufflz, MatchesReachBackUpToTheWholeBlock) {
  Bytes in(65536, 0);
  for (int i = 0; i < 20; ++i) in[i] = in[40000 + i] = in[65516 + i] = uint8_t(1 + i);
  tsmufflz codec;
  Compressed c = compress(codec, in);
  ASSERT_TRUE(c.ok);
  std::vector<Token> t = tokens(c.stream, c.size);
  EXPECT_TRUE(std::any_of(t.begin(), t.end(), [](const Token& k) { return k.distance == 40000; }));
  EXPECT_TRUE(std::any_of(t.begin(), t.end(), [](const Token& k) { return k.distance == 25516; }));
  EXPECT_EQ(decompress(c.stream, c.size), in);
}

TEST(Smufflz, RoundTripsAndMatchesTheOracle) {
  tsmufflz codec;  // one instance for all blocks: nothing may carry over
  uint32_t seed = 100;
  for (Kind kind : kAllKinds) {
    for (size_t n : {size_t{1}, size_t{2}, size_t{3}, size_t{5}, size_t{100}, size_t{4097},
                     size_t{65535}, size_t{65536}}) {
      SCOPED_TRACE(testing::Message() << "kind " << int(kind) << " n " << n);
      Bytes in = makeData(kind, n, ++seed);
      Compressed c = compress(codec, in);
      Bytes expected;
      uint32_t expectedBits = 0;
      ASSERT_EQ(c.ok, oracle::compress(in, expected, expectedBits));
      if (!c.ok) {
        EXPECT_EQ(c.size, n);
        continue;
      }
      EXPECT_LT(c.size, 8 * n);
      EXPECT_EQ(c.size, expectedBits);
      EXPECT_TRUE(c.stream == expected) << "stream differs from the oracle";
      EXPECT_EQ(decompress(c.stream, c.size), in);
    }
  }
}

// Many short, mixed blocks: the parse, the chains and the bit writer meet
// every combination of token sizes and block ends.
TEST(Smufflz, ShortMixedBlocksMatchTheOracle) {
  tsmufflz codec;
  std::mt19937 rng(42);
  for (int i = 0; i < 400; ++i) {
    Kind kind = kAllKinds[rng() % std::size(kAllKinds)];
    size_t n = 1 + rng() % (i < 300 ? 300 : 9000);
    Bytes in = makeData(kind, n, rng());
    Compressed c = compress(codec, in);
    Bytes expected;
    uint32_t expectedBits = 0;
    bool ok = oracle::compress(in, expected, expectedBits);
    ASSERT_EQ(c.ok, ok) << "block " << i;
    if (ok) {
      ASSERT_EQ(c.size, expectedBits) << "block " << i;
      ASSERT_TRUE(c.stream == expected) << "block " << i;
      ASSERT_EQ(decompress(c.stream, c.size), in) << "block " << i;
    }
  }
}

TEST(Smufflz, DecodingStopsAtTheBitCount) {
  struct Case {
    const char* name;
    std::string stream;
    uint32_t bits;
    std::string expected;
  } cases[] = {
      {"garbage bits after the last token", "91020f", 20, "6161616161"},
      {"garbage bytes after the stream", "910200ffffffff", 20, "6161616161"},
      {"one literal of two", "9191", 8, "61"},
      // 11111111 would start a 9-bit literal; its ninth bit lies past the count and reads as 0
      {"a token cut by the bit count reads zeros past it", "ff80", 8, "fe"},
      {"nothing", "91", 0, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(toHex(decompress(fromHex(k.stream), k.bits), 65536), k.expected);
  }
}

TEST(Smufflz, DecoderAcceptsWhatTheCoderNeverWrites) {
  // Symbol 284 with extra value 31 means length 259, like symbol 285:
  // 'a' 10010001, 11000100 11111, distance 1 00000.
  EXPECT_EQ(decompress(fromHex("91c4f800"), 26), Bytes(260, 'a'));
  // A match reaching before the output start is skipped: a 00000000 00000 (length 3, distance 1
  // on an empty output), then 'a'.
  EXPECT_EQ(decompress(fromHex("000910"), 20), Bytes(1, 'a'));
  // Symbols 286 and 287 (11000110, 11000111) have no length: decoding ends there.
  EXPECT_EQ(decompress(fromHex("91c692"), 24), Bytes(1, 'a'));
}

TEST(Smufflz, DecoderOutputIsCutAt65536OnEveryPath) {
  // Only literals: 70000 times 'a' (8 bits each).
  Bytes lits(70000, 0x91);
  EXPECT_EQ(decompress(lits, 70000 * 8), Bytes(65536, 'a'));
  // Nine-bit literals: 0xFF is 111111111; 8 codes fill 9 bytes.
  Bytes high(9 * 8300, 0xFF);
  EXPECT_EQ(decompress(high, uint32_t(high.size() * 8)), Bytes(65536, 0xFF));
  // Matches: 'a', then length-259 matches at distance 1 (11000101 00000).
  Bytes runs = fromHex("91");
  std::string bits;
  for (int i = 0; i < 300; ++i) bits += "1100010100000";
  while (bits.size() % 8) bits += '0';
  for (size_t i = 0; i < bits.size(); i += 8) runs.push_back(uint8_t(std::stoul(bits.substr(i, 8), nullptr, 2)));
  EXPECT_EQ(decompress(runs, uint32_t(8 + 300 * 13)), Bytes(65536, 'a'));
  // A match ending exactly at 65536 followed by literals.
  Bytes exact = makeData(Kind::Zeros, 65536, 0);
  tsmufflz codec;
  Compressed c = compress(codec, exact);
  ASSERT_TRUE(c.ok);
  Bytes more(c.stream.begin(), c.stream.begin() + (c.size + 7) / 8);
  uint32_t bitsUsed = (c.size + 7) / 8 * 8;
  more.resize(more.size() + 100, 0x91);
  EXPECT_EQ(decompress(more, bitsUsed + 800), exact);
}

// Garbage, damaged streams and bit counts beyond the buffer: the decoder
// stays inside its buffers (the helper checks size and canaries) and gives
// what the plain bit-by-bit reading gives.
TEST(Smufflz, DecoderMatchesThePlainReadingOnAnyInput) {
  std::mt19937 rng(9);
  tsmufflz codec;
  for (int i = 0; i < 400; ++i) {
    SCOPED_TRACE(i);
    Kind kind = kAllKinds[rng() % std::size(kAllKinds)];
    Bytes stream = makeData(kind, rng() % 20000, rng());
    uint32_t bits = uint32_t(stream.size() * 8);
    if (i % 2 == 1) {  // a real stream with a few bits flipped
      Compressed c = compress(codec, stream);
      if (c.ok) {
        bits = c.size;
        stream.assign(c.stream.begin(), c.stream.begin() + (c.size + 7) / 8);
        for (int f = 0; f < 3; ++f) stream[rng() % stream.size()] ^= uint8_t(1u << (rng() % 8));
      }
    }
    switch (i % 5) {
      case 0: bits += rng() % 100000; break;   // longer than the buffer
      case 1: bits = rng(); break;             // anything at all
      case 2: bits -= bits > 0 ? rng() % std::min<uint32_t>(bits, 64) : 0; break;  // cut short
      default: break;
    }
    ASSERT_EQ(decompress(stream, bits), oracle::decompress(stream, bits));
  }
  // Nothing at all, but an enormous bit count.
  EXPECT_TRUE(decompress(Bytes{}, 0xFFFFFFFFu).empty());
  // One literal, then only zero bits: each 12 of them repeat the last byte.
  EXPECT_EQ(decompress(fromHex("91"), 8 + 12 * 5), Bytes(16, 'a'));
  EXPECT_EQ(decompress(fromHex("91"), 0xFFFFFFFFu), Bytes(65536, 'a'));
}

}  // namespace
}  // namespace zq
