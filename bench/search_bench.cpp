// The disk search over a generated computer: 200,000 files in 20,000 folders
// on C:, every file-type group with every type ticked. The same walk is
// timed with find(1) looking for the same name patterns (case ignored, the
// Windows folder pruned), and the last line compares the two:
// "search vs find: ours N.NNN s, find N.NNN s, ratio N.NNx". With
// ZQ_SEARCH_HOST=1 it also times a search of a computer whose Z: is the
// host's root, as on a real Wine prefix.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/prefix_machine.h"
#include "core/text.h"
#include "selection/disk_search.h"
#include "selection/file_types.h"
#include "testing/sample_machine.h"
#include "testing/scratch_dir.h"

namespace {

constexpr int kTopFolders = 200;
constexpr int kSubFolders = 100;     // per top folder: 20,000 folders in all
constexpr int kFilesPerFolder = 10;  // 200,000 files
// Half of them match some type.
const char* const kExtensions[] = {".doc", ".txt", ".jpg", ".xyz", ".dat",
                                   ".mp3", ".bin", ".log", ".PNG", ".cpp"};

class SilentView : public zq::ProgressView {
 public:
  void setTitle(const std::u16string&) override {}
  void setProgressText(const std::u16string&) override {}
  void setProgressBar(int) override {}
  void setInfoText(const std::u16string&) override {}
  int textWidth(std::u16string_view text) override { return static_cast<int>(text.size()) * 7; }
  void pump() override {}
  bool cancelled() override { return false; }
};

struct Computer {
  zq::ScratchDir dir{"zq-search-bench"};
  std::string prefix;
  std::unique_ptr<zq::PrefixMachine> machine;
  std::u16string patterns;
  std::string findCommand;
};

Computer& computer() {
  static Computer* c = [] {
    auto* out = new Computer;
    out->prefix = out->dir.sub("pc");
    zq::SampleMachineRecipe recipe;
    // Z: (the host's root) counts as a network drive: only C: is searched.
    recipe.drives = {{u'C', "drive_c", u""}, {u'Z', "/", u"network"}};
    recipe.data = {};
    std::string error;
    if (!zq::buildSampleMachine(recipe, out->prefix, error)) {
      std::fprintf(stderr, "sample computer: %s\n", error.c_str());
      std::exit(1);
    }
    const std::string data = out->prefix + "/drive_c/Data";
    mkdir(data.c_str(), 0777);
    for (int t = 0; t < kTopFolders; ++t) {
      const std::string top = data + "/Top" + std::to_string(t);
      mkdir(top.c_str(), 0777);
      for (int s = 0; s < kSubFolders; ++s) {
        const std::string sub = top + "/Folder " + std::to_string(s);
        mkdir(sub.c_str(), 0777);
        for (int f = 0; f < kFilesPerFolder; ++f) {
          const std::string file = sub + "/file" + std::to_string(f) + kExtensions[f];
          const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
          if (fd >= 0) close(fd);
        }
      }
    }
    out->machine = zq::PrefixMachine::open(out->prefix, error);
    if (!out->machine) {
      std::fprintf(stderr, "machine: %s\n", error.c_str());
      std::exit(1);
    }
    zq::ProgramSelection all{};
    zq::FileTypeChecks checks = zq::initialFileTypeChecks();
    for (size_t i = 0; i < zq::kCatalogueSize; ++i) {
      all[i] = zq::programCatalogue()[i].isFileTypeGroup;
      checks[i].assign(checks[i].size(), true);
    }
    out->patterns = zq::searchPatternList(all, checks);

    // find with the same patterns, case ignored, the Windows folder pruned.
    std::string names;
    const std::string list = zq::wideToUtf8(out->patterns);
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(';', start);
      if (end == std::string::npos) end = list.size();
      names +=
          (names.empty() ? "-iname '" : " -o -iname '") + list.substr(start, end - start) + "'";
      start = end + 1;
    }
    const std::string drive = out->prefix + "/drive_c";
    out->findCommand = "find '" + drive + "' -path '" + drive + "/windows' -prune -o -type f \\( " +
                       names + " \\) -print > /dev/null";
    return out;
  }();
  return *c;
}

double lastOurs = 0, lastFind = 0;

void diskSearch(benchmark::State& state) {
  Computer& c = computer();
  zq::ScopedMachine scope(*c.machine);
  size_t nodes = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    zq::ResultTree tree;
    SilentView view;
    zq::DiskSearch search(tree, c.patterns, view);
    benchmark::DoNotOptimize(search.searchFixedDrives());
    nodes = tree.nodeCount();
    lastOurs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["nodes"] = static_cast<double>(nodes);
}

void findSamePatterns(benchmark::State& state) {
  Computer& c = computer();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(c.findCommand.c_str()) != 0) state.SkipWithError("find failed");
    lastFind = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
}

// With ZQ_SEARCH_HOST=1: the same search on a computer whose Z: is the
// host's root, as on a real Wine prefix (the time depends on the host).
void hostRootSearch(benchmark::State& state) {
  Computer& c = computer();
  zq::ScratchDir dir("zq-search-host");
  zq::SampleMachineRecipe recipe;
  recipe.drives = {{u'C', "drive_c", u""}, {u'Z', "/", u""}};
  recipe.data = {};
  std::string error;
  std::unique_ptr<zq::PrefixMachine> machine;
  if (zq::buildSampleMachine(recipe, dir.sub("pc"), error)) {
    machine = zq::PrefixMachine::open(dir.sub("pc"), error);
  }
  if (!machine) {
    state.SkipWithError(error.c_str());
    return;
  }
  zq::ScopedMachine scope(*machine);
  size_t nodes = 0;
  for (auto _ : state) {
    zq::ResultTree tree;
    SilentView view;
    zq::DiskSearch search(tree, c.patterns, view);
    benchmark::DoNotOptimize(search.searchFixedDrives());
    nodes = tree.nodeCount();
  }
  state.counters["nodes"] = static_cast<double>(nodes);
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* host = std::getenv("ZQ_SEARCH_HOST"); host && std::string(host) == "1") {
    benchmark::RegisterBenchmark("disk_search/host_root", hostRootSearch)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
  }
  benchmark::RegisterBenchmark("disk_search/200000_files", diskSearch)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(3);
  benchmark::RegisterBenchmark("find_same_patterns/200000_files", findSamePatterns)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(3);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  computer();  // the files are made before any timing
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (lastOurs > 0 && lastFind > 0) {
    std::printf("search vs find: ours %.3f s, find %.3f s, ratio %.2fx\n", lastOurs, lastFind,
                lastOurs / lastFind);
  }
  return 0;
}
