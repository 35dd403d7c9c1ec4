// My Documents through both programs: what alice keeps in her documents
// folder is found by its collector and, run as an archive on bob's computer,
// put back into bob's documents folder, or straight into a chosen folder.
#include <gtest/gtest.h>

#include "core/text.h"
#include "testing/round_trip.h"

namespace zq {
namespace {

SampleMachineRecipe bobsComputer() {
  SampleMachineRecipe recipe;
  recipe.user = u"bob";
  recipe.computer = u"BOB-PC";
  recipe.data = {};  // nothing of his own yet
  return recipe;
}

TEST(MyDocumentsRoundTrip, BackIntoTheTargetsDocumentsFolderOrTheChosenOne) {
  struct Case {
    std::vector<std::string> arguments;
    std::u16string folder;  // where the documents land on bob's computer
  };
  const Case cases[] = {
      {{"--detect"}, u"C:\\users\\bob\\Documents\\"},
      {{"--target", "D:\\Restored"}, u"D:\\Restored\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    TransferRoundTrip trip(SampleMachineRecipe{}, bobsComputer());
    ASSERT_TRUE(trip.ready()) << trip.error();

    const BackupResult backup = trip.backup({"My Documents"});
    ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;
    EXPECT_EQ(backup.recordCount, 5);

    const ProgramRun run = trip.restore(c.arguments);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Restoring your My Documents folder..."), std::string::npos);
    EXPECT_EQ(trip.targetFilesBelow(c.folder),
              (std::vector<std::u16string>{u"Budget 2023.xls", u"Gr\u00fc\u00dfe an Oma.txt",
                                           u"Letter to Bob.doc", u"Notes.txt",
                                           u"Projects\\Garden\\Plan.txt"}));
    EXPECT_EQ(trip.targetContent(c.folder + u"Projects\\Garden\\Plan.txt"),
              "Roses by the fence, beans at the back.\r\n");
  }
}

}  // namespace
}  // namespace zq
