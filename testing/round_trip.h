// The whole road for one test: a source computer is backed up by the real
// backup run with the real collectors, the archive runs as the restore
// program (a real process) on a second computer, and the test looks at what
// landed there.
//
//   TransferRoundTrip trip(sourceRecipe, targetRecipe);
//   ASSERT_TRUE(trip.ready()) << trip.error();
//   BackupResult backup = trip.backup({"Thunderbird"});
//   ProgramRun restore = trip.restore({"--detect"});
//   EXPECT_EQ(trip.targetContent(u"C:\\users\\bob\\...\\prefs.js"), "...");
//
// Both machines live in one scratch folder that is removed afterwards. The
// current machine is the source during backup() and the target otherwise.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/backup_run.h"
#include "core/prefix_machine.h"
#include "testing/run_program.h"
#include "testing/sample_machine.h"
#include "testing/scratch_dir.h"

namespace zq {

class TransferRoundTrip {
 public:
  TransferRoundTrip(const SampleMachineRecipe& source, const SampleMachineRecipe& target);
  ~TransferRoundTrip();

  bool ready() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  PrefixMachine& source() { return *source_; }
  PrefixMachine& target() { return *target_; }
  const ScratchDir& dir() const { return dir_; }
  std::string sourcePrefix() const { return dir_.sub("source"); }
  std::string targetPrefix() const { return dir_.sub("target"); }
  // Host path of the archive the backup writes.
  std::string archive() const { return dir_.sub("Transfer.exe"); }

  // Backs up the named catalogue entries of the source computer with the
  // real collectors (a file-type group or "Manual" is not a program: pass
  // the steps in `job` instead). `job` gives further settings; its archive,
  // stub, selection and collector fields are filled in here.
  BackupResult backup(const std::vector<std::string>& programs, BackupJob job = {});

  // Runs the archive on the target computer: `arguments` follow the archive's
  // path and "--machine <target>" (for example {"--detect"} or
  // {"--target", "D:\\Restored"}). With a passphrase, it is handed over in a
  // file. The target machine is read again afterwards.
  ProgramRun restore(const std::vector<std::string>& arguments,
                     const std::string& passphrase = {});

  // The bytes of a file of the target computer; "<missing>" when there is none.
  std::string targetContent(std::u16string_view windowsPath);
  // The bytes of a file of the source computer; "<missing on the source>"
  // when there is none (so it never equals a missing target file).
  std::string sourceContent(std::u16string_view windowsPath);
  // Every file below a folder of the target computer, as Windows paths
  // relative to it ("sub\\name.txt"), sorted; links are not followed.
  std::vector<std::u16string> targetFilesBelow(std::u16string_view windowsFolder);

 private:
  void reopenTarget();

  ScratchDir dir_;
  std::string error_;
  std::unique_ptr<PrefixMachine> source_;
  std::unique_ptr<PrefixMachine> target_;
  std::unique_ptr<ScopedMachine> scoped_;
};

}  // namespace zq
