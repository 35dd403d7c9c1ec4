// Loading, writing and looking up the prefix's largest hive file
// (system.reg of a fresh prefix, 1.7 MB, about 8700 keys).
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/registry_hive.h"

namespace {

const std::string& systemHiveText() {
  static const std::string text = [] {
    std::ifstream in(std::string(ZQ_FIXTURES_DIR) + "/wineprefix/system.reg", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }();
  return text;
}

void BM_ParseSystemHive(benchmark::State& state) {
  const std::string& text = systemHiveText();
  for (auto _ : state) {
    zq::RegistryHive hive;
    std::string error;
    if (!hive.parse(text, "system.reg", error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(hive);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseSystemHive)->Unit(benchmark::kMillisecond);

void BM_LoadSystemHiveFromFile(benchmark::State& state) {
  const std::string path = std::string(ZQ_FIXTURES_DIR) + "/wineprefix/system.reg";
  for (auto _ : state) {
    zq::RegistryHive hive;
    std::string error;
    if (!hive.load(path, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(hive);
  }
}
BENCHMARK(BM_LoadSystemHiveFromFile)->Unit(benchmark::kMillisecond);

// Serializing after one change: the kept text of every other key is copied.
void BM_SerializeChangedSystemHive(benchmark::State& state) {
  zq::RegistryHive hive;
  std::string error;
  hive.parse(systemHiveText(), "system.reg", error);
  hive.setValue(u"Software\\Wine\\Drives", zq::RegValue::fromText(u"d:", u"cdrom"));
  for (auto _ : state) benchmark::DoNotOptimize(hive.serialize());
}
BENCHMARK(BM_SerializeChangedSystemHive)->Unit(benchmark::kMillisecond);

// Every key written afresh: the cost of escaping and formatting.
void BM_SerializeRewrittenSystemHive(benchmark::State& state) {
  zq::RegistryHive hive;
  std::string error;
  hive.parse(systemHiveText(), "system.reg", error);
  for (auto _ : state) benchmark::DoNotOptimize(hive.serializeRewritten());
}
BENCHMARK(BM_SerializeRewrittenSystemHive)->Unit(benchmark::kMillisecond);

void BM_FindValueDeepKey(benchmark::State& state) {
  zq::RegistryHive hive;
  std::string error;
  hive.parse(systemHiveText(), "system.reg", error);
  for (auto _ : state) {
    benchmark::DoNotOptimize(hive.findValue(
        u"software\\microsoft\\windows nt\\currentversion", u"ProductName"));
  }
}
BENCHMARK(BM_FindValueDeepKey);

}  // namespace

BENCHMARK_MAIN();
