#include "testing/round_trip.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "archive/catalogue_names.h"
#include "collectors/aim.h"
#include "collectors/collector_table.h"
#include "core/text.h"
#include "testing/recording_view.h"

namespace zq {

TransferRoundTrip::TransferRoundTrip(const SampleMachineRecipe& source,
                                     const SampleMachineRecipe& target)
    : dir_("zq-roundtrip") {
  if (dir_.path().empty()) {
    error_ = "no scratch folder";
    return;
  }
  if (!buildSampleMachine(source, sourcePrefix(), error_) ||
      !buildSampleMachine(target, targetPrefix(), error_))
    return;
  source_ = PrefixMachine::open(sourcePrefix(), error_);
  if (!source_) return;
  reopenTarget();
}

TransferRoundTrip::~TransferRoundTrip() { scoped_.reset(); }

void TransferRoundTrip::reopenTarget() {
  scoped_.reset();
  target_ = PrefixMachine::open(targetPrefix(), error_);
  if (target_) scoped_ = std::make_unique<ScopedMachine>(*target_);
}

BackupResult TransferRoundTrip::backup(const std::vector<std::string>& programs, BackupJob job) {
  BackupResult result;
  if (!ready()) {
    result.problem = error_;
    return result;
  }
  ScopedMachine onSource(*source_);
  job.archivePath = source_->windowsPath(archive());
  job.stubPath = std::string(ZQ_PROGRAM_DIR) + "/stub.dat";
  for (const std::string& name : programs) {
    const int index = catalogueIndex(name);
    if (index >= 0) job.selection[static_cast<size_t>(index)] = true;
  }
  job.collectors = collectorSteps(job.selection, programCollectors());
  if (!job.aimLogSettings) job.aimLogSettings = readAimLogSettings;
  RecordingView view;
  result = runBackup(job, view);
  return result;
}

ProgramRun TransferRoundTrip::restore(const std::vector<std::string>& arguments,
                                      const std::string& passphrase) {
  std::vector<std::string> argv = {archive(), "--machine", targetPrefix()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  if (!passphrase.empty()) {
    const std::string file = dir_.sub("passphrase.txt");
    std::ofstream(file, std::ios::binary) << passphrase << "\n";
    argv.insert(argv.end(), {"--passphrase-file", file});
  }
  ProgramRun run = runProgram(argv);
  reopenTarget();  // the restore may have changed the target's registry
  return run;
}

namespace {

// The bytes of a host file; `missing` when it is not a readable regular file.
std::string hostContent(const std::string& path, const char* missing) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return missing;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return in ? bytes.str() : missing;
}

}  // namespace

std::string TransferRoundTrip::targetContent(std::u16string_view windowsPath) {
  return hostContent(target_ ? target_->hostPath(windowsPath) : std::string(), "<missing>");
}

std::string TransferRoundTrip::sourceContent(std::u16string_view windowsPath) {
  return hostContent(source_ ? source_->hostPath(windowsPath) : std::string(),
                     "<missing on the source>");
}

std::vector<std::u16string> TransferRoundTrip::targetFilesBelow(std::u16string_view windowsFolder) {
  std::vector<std::u16string> files;
  const std::string root = target_ ? target_->hostPath(windowsFolder) : std::string();
  if (root.empty()) return files;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_symlink()) {
      it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file()) continue;
    std::u16string relative =
        utf8ToWide(std::filesystem::relative(it->path(), root, error).generic_string());
    std::replace(relative.begin(), relative.end(), u'/', u'\\');
    files.push_back(relative);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace zq
