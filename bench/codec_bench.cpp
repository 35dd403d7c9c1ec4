// Throughput of the block codec and the archive cipher on 64 KiB blocks of
// several kinds of data, beside zlib's deflate restricted to its fixed Huffman
// code (the nearest standard relative of our coding) and zlib's inflate.
//
// Counters: bytes_per_second is measured on the uncompressed bytes; ratio is
// stored bytes over input bytes (a block that does not shrink is stored as it
// is, as the archive writer does). The last line compares the codec with zlib
// level 6 over all data kinds of the same run.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "core/blowfish.h"
#include "core/smufflz.h"

namespace {

using zq::bench::DataKind;
using Bytes = std::vector<uint8_t>;

constexpr size_t kBlock = 65536;
constexpr size_t kDataBytes = 16 * kBlock;  // per kind

struct Stream {
  Bytes bytes;
  uint32_t bits = 0;   // our codec: the bit count
  bool stored = false; // the block did not shrink (our codec) and is kept as it is
};

struct DataSet {
  DataKind kind;
  Bytes data;
  std::vector<Stream> ours, zlib6;

  size_t blockCount() const { return (data.size() + kBlock - 1) / kBlock; }
  const uint8_t* block(size_t i) const { return data.data() + i * kBlock; }
  uint32_t blockSize(size_t i) const {
    return static_cast<uint32_t>(std::min(kBlock, data.size() - i * kBlock));
  }
  bool decodable() const { return kind != DataKind::Random; }
};

// zlib deflate producing raw fixed-code blocks.
class Deflater {
 public:
  explicit Deflater(int level) {
    deflateInit2(&z_, level, Z_DEFLATED, -15, 8, Z_FIXED);
    out_.resize(deflateBound(&z_, kBlock));
  }
  ~Deflater() { deflateEnd(&z_); }
  size_t compress(const uint8_t* in, uint32_t n) {
    deflateReset(&z_);
    z_.next_in = const_cast<uint8_t*>(in);
    z_.avail_in = n;
    z_.next_out = out_.data();
    z_.avail_out = static_cast<uInt>(out_.size());
    deflate(&z_, Z_FINISH);
    return out_.size() - z_.avail_out;
  }
  const Bytes& out() const { return out_; }

 private:
  z_stream z_{};
  Bytes out_;
};

class Inflater {
 public:
  Inflater() { inflateInit2(&z_, -15); }
  ~Inflater() { inflateEnd(&z_); }
  size_t expand(const Bytes& in, uint8_t* out) {
    inflateReset(&z_);
    z_.next_in = const_cast<uint8_t*>(in.data());
    z_.avail_in = static_cast<uInt>(in.size());
    z_.next_out = out;
    z_.avail_out = kBlock;
    inflate(&z_, Z_FINISH);
    return kBlock - z_.avail_out;
  }

 private:
  z_stream z_{};
};

std::vector<DataSet>& dataSets() {
  static std::vector<DataSet> sets = [] {
    std::vector<DataSet> v;
    zq::tsmufflz codec;
    Deflater zlib6(6);
    for (DataKind kind : zq::bench::kAllKinds) {
      DataSet s{kind, zq::bench::makeData(kind, kDataBytes, 2024), {}, {}};
      Bytes out(kBlock);
      for (size_t i = 0; i < s.blockCount(); ++i) {
        Stream ours;
        uint32_t size = s.blockSize(i);
        if (codec.compressBlock(s.block(i), out.data(), size)) {
          ours.bytes.assign(out.begin(), out.begin() + (size + 7) / 8);
          ours.bits = size;
        } else {
          ours.stored = true;
        }
        s.ours.push_back(std::move(ours));
        size_t z = zlib6.compress(s.block(i), s.blockSize(i));
        s.zlib6.push_back({Bytes(zlib6.out().begin(), zlib6.out().begin() + z), 0, false});
      }
      v.push_back(std::move(s));
    }
    return v;
  }();
  return sets;
}

void setCounters(benchmark::State& state, size_t bytes, size_t storedBytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["ratio"] = static_cast<double>(storedBytes) / static_cast<double>(bytes);
}

void codecCompress(benchmark::State& state, const DataSet& s) {
  zq::tsmufflz codec;
  Bytes out(kBlock);
  size_t stored = 0;
  for (auto _ : state) {
    stored = 0;
    for (size_t i = 0; i < s.blockCount(); ++i) {
      uint32_t size = s.blockSize(i);
      bool ok = codec.compressBlock(s.block(i), out.data(), size);
      stored += ok ? (size + 7) / 8 : size;
      benchmark::DoNotOptimize(out.data());
    }
  }
  setCounters(state, s.data.size(), stored);
}

void codecDecompress(benchmark::State& state, const DataSet& s) {
  Bytes out(zq::tsmufflz::kDecodeCapacity);
  for (auto _ : state) {
    for (size_t i = 0; i < s.blockCount(); ++i) {
      const Stream& st = s.ours[i];
      if (st.stored) {  // a stored block is copied as it is
        std::copy(s.block(i), s.block(i) + s.blockSize(i), out.data());
      } else {
        uint32_t length = st.bits;
        zq::tsmufflz::decompressBlock(st.bytes.data(), st.bytes.size(), out.data(), length);
      }
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.data.size()));
}

void zlibCompress(benchmark::State& state, const DataSet& s, int level) {
  Deflater zlib(level);
  size_t stored = 0;
  for (auto _ : state) {
    stored = 0;
    for (size_t i = 0; i < s.blockCount(); ++i) {
      stored += zlib.compress(s.block(i), s.blockSize(i));
      benchmark::DoNotOptimize(zlib.out().data());
    }
  }
  setCounters(state, s.data.size(), stored);
}

void zlibInflate(benchmark::State& state, const DataSet& s) {
  Inflater zlib;
  Bytes out(kBlock);
  for (auto _ : state) {
    for (size_t i = 0; i < s.blockCount(); ++i) {
      zlib.expand(s.zlib6[i].bytes, out.data());
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.data.size()));
}

void cipher(benchmark::State& state, bool encrypt) {
  zq::tblowfish bf;
  bf.setKey(zq::keyTextFromPassphrase("correct horse battery staple"));
  Bytes buf = zq::bench::makeData(DataKind::Text, kDataBytes, 7);
  for (auto _ : state) {
    if (encrypt) bf.encryptBytes(buf.data(), buf.size());
    else bf.decryptBytes(buf.data(), buf.size());
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * buf.size()));
}

// Remembers each benchmark's time per iteration for the closing comparison.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter()
      : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred && r.run_type == Run::RT_Iteration)
        seconds[r.benchmark_name()] = r.GetAdjustedCPUTime();
  }
  std::map<std::string, double> seconds;  // CPU time per iteration; only ratios are used
};

// Our speed over zlib's on the same bytes: the ratio of the total times over all kinds.
double speedup(const std::map<std::string, double>& t, const std::string& ours,
               const std::string& theirs, bool decodableOnly) {
  double a = 0, b = 0;
  for (const DataSet& s : dataSets()) {
    if (decodableOnly && !s.decodable()) continue;
    auto x = t.find(ours + "/" + zq::bench::kindName(s.kind));
    auto y = t.find(theirs + "/" + zq::bench::kindName(s.kind));
    if (x == t.end() || y == t.end()) return 0;
    a += x->second;
    b += y->second;
  }
  return a > 0 ? b / a : 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (const DataSet& s : dataSets()) {
    const std::string kind = zq::bench::kindName(s.kind);
    benchmark::RegisterBenchmark(("codec_compress/" + kind).c_str(), codecCompress, s)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("zlib_fixed1_compress/" + kind).c_str(), zlibCompress, s, 1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("zlib_fixed6_compress/" + kind).c_str(), zlibCompress, s, 6)
        ->Unit(benchmark::kMillisecond);
  }
  for (const DataSet& s : dataSets()) {
    if (!s.decodable()) continue;  // neither codec has anything to expand there
    const std::string kind = zq::bench::kindName(s.kind);
    benchmark::RegisterBenchmark(("codec_decompress/" + kind).c_str(), codecDecompress, s)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("zlib_inflate6/" + kind).c_str(), zlibInflate, s)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("cipher_encrypt", cipher, true)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("cipher_decrypt", cipher, false)->Unit(benchmark::kMillisecond);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // A comparison left out by --benchmark_filter shows as n/a.
  auto text = [](double x) {
    char buf[32];
    std::snprintf(buf, sizeof buf, x > 0 ? "%.2fx" : "n/a", x);
    return std::string(buf);
  };
  const double c = speedup(reporter.seconds, "codec_compress", "zlib_fixed6_compress", false);
  const double d = speedup(reporter.seconds, "codec_decompress", "zlib_inflate6", true);
  std::printf("codec vs zlib: compress %s, decompress %s\n", text(c).c_str(), text(d).c_str());
  return 0;
}
