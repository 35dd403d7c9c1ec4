// A sample computer (testing/sample_machine.h) built in a scratch folder and
// made the current machine for the lifetime of the object.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "core/machine.h"
#include "core/prefix_machine.h"
#include "testing/sample_machine.h"
#include "testing/scratch_dir.h"

namespace zq {

class SampleComputer {
 public:
  explicit SampleComputer(const SampleMachineRecipe& recipe = {}) : dir_("zq-collect") {
    std::string error;
    const std::string prefix = dir_.sub("pc");
    EXPECT_TRUE(buildSampleMachine(recipe, prefix, error)) << error;
    machine_ = PrefixMachine::open(prefix, error);
    EXPECT_NE(machine_, nullptr) << error;
    if (machine_) scope_.emplace(*machine_);
  }

  bool ok() const { return machine_ != nullptr; }
  PrefixMachine& machine() { return *machine_; }
  // The host path of the prefix folder.
  std::string prefix() const { return dir_.sub("pc"); }

 private:
  ScratchDir dir_;
  std::unique_ptr<PrefixMachine> machine_;
  std::optional<ScopedMachine> scope_;
};

}  // namespace zq
