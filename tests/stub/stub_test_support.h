// What the restore program's tests share: the target computer (a sample
// machine whose user and documents folder differ from the source's), stored
// files declared as data, archive bodies built with the archive writer, and
// archive executables made of stub.dat and a body.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "archive/byte_io.h"
#include "archive/chunk_writer.h"
#include "archive/format.h"
#include "core/blowfish.h"
#include "core/dos_time.h"
#include "core/machine.h"
#include "core/prefix_machine.h"
#include "core/text.h"
#include "testing/sample_machine.h"
#include "testing/scratch_dir.h"
#include "tests/archive/archive_test_support.h"

namespace zq::stubtest {

using testing::Bytes;

// A file as the backup side stored it.
struct Stored {
  std::string program;
  std::string tag;
  std::u16string relativefolder;
  std::u16string sourcefolder;
  std::u16string filename;
  std::string bytes;
  uint8_t attributes = 0x20;
};

// A last-write time the record can hold exactly (2-second grain).
inline double sampleWriteTime() { return fileTimeToDays(unixToFileTime(1300000000)); }

inline tfilerecord recordOf(const Stored& s) {
  tfilerecord r;
  r.programname = s.program;
  r.tag = s.tag;
  r.relativefolder = s.relativefolder;
  r.sourcefolder = s.sourcefolder;
  r.filename = s.filename;
  r.filesize = s.bytes.empty() ? -1 : static_cast<int64_t>(s.bytes.size());
  r.compressible = isCompressibleName(s.filename) ? 1 : 0;
  r.attributes = s.attributes;
  r.creationtime = sampleWriteTime();
  r.writetime = sampleWriteTime();
  r.accesstime = sampleWriteTime();
  return r;
}

struct ArchiveRecipe {
  std::vector<Stored> files;
  std::string product = "Quillo Transfer Prime";
  std::string passphrase;  // empty: not encrypted
  // Presence bytes come from the programs of the files unless listed here.
  std::vector<std::string> extraPrograms;
};

// The body: `front` (the restore program's bytes), chunks, records, trailer.
inline Bytes buildBody(const ArchiveRecipe& recipe, const Bytes& front) {
  MemorySink sink;
  sink.write(front.data(), front.size());
  ArchiveWriter writer(sink, static_cast<int64_t>(front.size()), !recipe.passphrase.empty(),
                       keyTextFromPassphrase(recipe.passphrase));
  tarchivetrailer trailer;
  trailer.productname = recipe.product;
  trailer.versiontext = "3.2";
  auto mark = [&](const std::string& program) {
    if (program == "Manual") {
      trailer.manualpresent = 1;
    } else if (int row = catalogueIndex(program); row >= 0) {
      trailer.programpresent[static_cast<size_t>(row)] = 1;
    }
  };
  for (const auto& p : recipe.extraPrograms) mark(p);
  for (const Stored& s : recipe.files) {
    mark(s.program);
    testing::MemoryFile input(Bytes(s.bytes.begin(), s.bytes.end()));
    EXPECT_EQ(writer.storeFile(recordOf(s), &input), StoreOutcome::Stored);
  }
  EXPECT_TRUE(writer.writeEnd(trailer));
  return sink.bytes;
}

inline Bytes readHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeHostFile(const std::string& path, const Bytes& bytes, bool executable = false) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (executable) chmod(path.c_str(), 0755);
}

inline void writeText(const std::string& path, const std::string& text) {
  writeHostFile(path, Bytes(text.begin(), text.end()));
}

inline std::string stubProgram() { return std::string(ZQ_PROGRAM_DIR) + "/stub.dat"; }

// The target computer: user bob, documents on D:.
inline SampleMachineRecipe targetRecipe() {
  SampleMachineRecipe recipe;
  recipe.user = u"bob";
  recipe.computer = u"BOB-PC";
  recipe.data = {sampleDocumentsFolderAt(u"D:\\Bob Papers")};
  return recipe;
}

// A scratch folder with the target computer in "machine" and the prefix
// machine over it, current while the object lives.
class TargetComputer {
 public:
  TargetComputer() : dir_("zq-stub") {
    std::string error;
    EXPECT_TRUE(buildSampleMachine(targetRecipe(), dir_.sub("machine"), error)) << error;
    machine_ = PrefixMachine::open(dir_.sub("machine"), error);
    EXPECT_TRUE(machine_ != nullptr) << error;
    if (machine_) scoped_ = std::make_unique<ScopedMachine>(*machine_);
  }

  const ScratchDir& dir() const { return dir_; }
  std::string prefix() const { return dir_.sub("machine"); }
  PrefixMachine& machine() { return *machine_; }
  // The host path of a Windows path of the target computer.
  std::string host(std::u16string_view windowsPath) { return machine_->hostPath(windowsPath); }
  // The bytes of a file of the target computer; empty when there is none.
  std::string content(std::u16string_view windowsPath) {
    const std::string path = host(windowsPath);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) return "<missing>";
    return readText(path);
  }

 private:
  ScratchDir dir_;
  std::unique_ptr<PrefixMachine> machine_;
  std::unique_ptr<ScopedMachine> scoped_;
};

// Every regular file below a host folder (links not followed), sorted.
inline std::vector<std::string> filesBelow(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_symlink()) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file()) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace zq::stubtest
