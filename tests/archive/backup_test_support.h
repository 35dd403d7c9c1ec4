// What the entry writer and backup run tests share: a sample computer made
// current for the test, a restore program to copy, files written through the
// machine's names, and archives read back and restored.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/byte_io.h"
#include "archive/format.h"
#include "core/blowfish.h"
#include "core/machine.h"
#include "core/prefix_machine.h"
#include "core/text.h"
#include "testing/sample_machine.h"
#include "testing/scratch_dir.h"

namespace zq::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline std::string readHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeHost(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

// One file of an archive, restored.
struct Restored {
  tfilerecord record;
  std::string bytes;
};

// An archive body read back: its trailer and every file restored.
struct ReadBack {
  bool ok = false;
  std::string why;
  tarchivetrailer trailer;
  std::vector<Restored> files;
};

inline ReadBack readArchive(ByteSource& source, const std::string& passphrase = {}) {
  ReadBack out;
  ArchiveReader reader(source);
  if (!reader.open(&out.why)) return out;
  out.trailer = reader.trailer();
  if (reader.encrypted() && !reader.useKeyText(keyTextFromPassphrase(passphrase))) {
    out.why = "passphrase refused";
    return out;
  }
  std::string note;
  if (!reader.readRecords(&note)) {
    out.why = note;
    return out;
  }
  for (size_t i = 0; i < reader.records().size(); ++i) {
    MemorySink sink;
    if (reader.restoreFile(i, sink, {}, &out.why) != RestoreOutcome::Restored) return out;
    out.files.push_back({reader.records()[i], std::string(sink.bytes.begin(), sink.bytes.end())});
  }
  out.ok = true;
  return out;
}

inline ReadBack readArchive(const std::string& hostPath, const std::string& passphrase = {}) {
  HostFileSource source;
  ReadBack out;
  if (!source.open(hostPath, &out.why)) return out;
  return readArchive(source, passphrase);
}

inline ReadBack readArchive(const Bytes& body, const std::string& passphrase = {}) {
  MemorySource source(body);
  return readArchive(source, passphrase);
}

// A sample computer (alice's, with her documents) current for each test,
// and a restore program "stub.dat" beside it.
class SampleComputer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.path().empty());
    prefix_ = scratch_.sub("pc");
    std::string error;
    ASSERT_TRUE(buildSampleMachine(recipe_, prefix_, error)) << error;
    machine_ = PrefixMachine::open(prefix_, error,
                                   {.hostUser = "alice", .hostName = "pc", .opener = "/bin/false"});
    ASSERT_TRUE(machine_) << error;
    scope_ = std::make_unique<ScopedMachine>(*machine_);
    stubPath_ = scratch_.sub("stub.dat");
    stub_ = "MZ restore program " + std::string(3000, 's');
    writeHost(stubPath_, stub_);
  }

  void TearDown() override {
    scope_.reset();
    machine_.reset();
  }

  // The host path of a Windows path of the sample.
  std::string host(const std::u16string& windowsPath) { return machine_->hostPath(windowsPath); }

  // Writes a file (and its folders) at a Windows path of the sample.
  void put(const std::u16string& windowsPath, const std::string& content) {
    const std::string path = host(windowsPath);
    ASSERT_FALSE(path.empty()) << wideToUtf8(windowsPath);
    writeHost(path, content);
  }

  SampleMachineRecipe recipe_;
  ScratchDir scratch_{"zq-backup"};
  std::string prefix_;
  std::unique_ptr<PrefixMachine> machine_;
  std::unique_ptr<ScopedMachine> scope_;
  std::string stubPath_;
  std::string stub_;
};

}  // namespace zq::testing
