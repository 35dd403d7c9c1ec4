// My Documents through both programs: what alice keeps in her documents
// folder is found by its collector and, run as an archive on bob's computer,
// the restore program reports it (its restorer comes with the other programs'
// restorers; until then the files stay in the archive and the run says so).
#include <gtest/gtest.h>

#include "core/text.h"
#include "testing/round_trip.h"

namespace zq {
namespace {

SampleMachineSpec bobsComputer() {
  SampleMachineSpec spec;
  spec.user = u"bob";
  spec.computer = u"BOB-PC";
  return spec;
}

TEST(MyDocumentsRoundTrip, CollectedFromTheSourceAndListedByTheArchive) {
  TransferRoundTrip trip(SampleMachineSpec{}, bobsComputer());
  ASSERT_TRUE(trip.ready()) << trip.error();

  const BackupResult backup = trip.backup({"My Documents"});
  ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;
  EXPECT_EQ(backup.recordCount, 5);

  const ProgramRun list = trip.restore({"--list"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("My Documents\tdocuments\tProjects\\Garden"), std::string::npos)
      << list.out;
}

}  // namespace
}  // namespace zq
