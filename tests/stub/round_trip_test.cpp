// The whole road: files ticked by hand on one sample computer, an archive
// written by the backup run, the archive run as a program on a second
// computer whose user and documents folder differ, and the files back in
// that computer's own folders with their bytes and times.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "archive/backup_run.h"
#include "core/dos_time.h"
#include "selection/manual_selection.h"
#include "stub_test_support.h"
#include "testing/recording_view.h"
#include "testing/run_program.h"

namespace zq {
namespace {

using stubtest::TargetComputer;

// 2023-05-14 10:20:30 UTC, the time of every file of the sample documents.
constexpr int64_t kSampleTime = 1684059630;

TEST(RoundTrip, ManualSelectionComesBackOnTheOtherComputer) {
  for (const bool encrypt : {false, true}) {
    SCOPED_TRACE(encrypt ? "encrypted" : "plain");
    TargetComputer target;
    const std::string archive = target.dir().sub("Round Trip.exe");
    {
      // The source computer: alice, with the sample documents.
      std::string error;
      ASSERT_TRUE(buildSampleMachine(SampleMachineRecipe{}, target.dir().sub("source"), error))
          << error;
      auto source = PrefixMachine::open(target.dir().sub("source"), error);
      ASSERT_TRUE(source) << error;
      ScopedMachine scoped(*source);

      ManualSelection selection;
      for (const std::u16string item :
           {u"C:\\users\\alice\\Documents\\Projects", u"C:\\users\\alice\\Desktop\\Minutes.doc",
            u"C:\\users\\alice\\Documents\\Gr\u00fc\u00dfe an Oma.txt",
            u"D:\\Archive\\2019\\Old report.doc"}) {
        ASSERT_TRUE(selection.check(item));
      }
      BackupJob job;
      job.archivePath = source->windowsPath(archive);
      job.stubPath = stubtest::stubProgram();
      job.encrypt = encrypt;
      job.passphrase = u"Garden Party 2023";
      job.manualPresent = true;
      job.collectManual = [&](Entries& entries) {
        return collectManualSelection(entries, selection);
      };
      RecordingView view;
      const BackupResult result = runBackup(job, view);
      ASSERT_TRUE(result.succeeded) << wideToUtf8(result.errorText) << result.problem;
      EXPECT_EQ(result.recordCount, 4);
    }

    // The backup run writes through the machine layer, which keeps no
    // execute bit; a Windows program needs none.
    chmod(archive.c_str(), 0755);
    std::vector<std::string> args = {archive, "--machine", target.prefix(), "--detect"};
    if (encrypt) {
      stubtest::writeText(target.dir().sub("phrase"), "Garden Party 2023\n");
      args.insert(args.end(), {"--passphrase-file", target.dir().sub("phrase")});
    }
    const ProgramRun run = runProgram(args);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    // Names come back as the manual selection stores them: in lower case.
    const std::pair<std::u16string, std::string> expected[] = {
        {u"D:\\Bob Papers\\projects\\garden\\plan.txt",
         "Roses by the fence, beans at the back.\r\n"},
        {u"C:\\users\\bob\\Desktop\\minutes.doc",
         std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(24, '\0') +
             "Minutes of the club meeting"},
        {u"D:\\Bob Papers\\gr\u00fc\u00dfe an oma.txt",
         "Liebe Oma,\r\nviele Gr\xfc\xdf"
         "e!\r\n"},
        {u"D:\\Archive\\2019\\old report.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                                                   std::string(24, '\0') + "Annual report 2019"},
    };
    for (const auto& [where, bytes] : expected) {
      SCOPED_TRACE(wideToUtf8(where));
      EXPECT_EQ(target.content(where), bytes);
      FileInfo info;
      ASSERT_TRUE(target.machine().fileInfo(where, info));
      EXPECT_EQ(fileTimeToUnix(info.writeTime), kSampleTime);
    }
  }
}

}  // namespace
}  // namespace zq
