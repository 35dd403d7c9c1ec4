// Searched files through both programs: a search on alice's computer for
// Word, Photos and Quicken files, stored by the real backup run and restored
// by the archive on bob's computer, back where they came from or below a
// chosen folder (a Quicken file with its attachments beside it).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/text.h"
#include "selection/disk_search.h"
#include "selection/file_types.h"
#include "selection/searched_files.h"
#include "testing/recording_view.h"
#include "testing/round_trip.h"

namespace zq {
namespace {

// Alice's computer with a Quicken data file and an attachment. Z: (the
// host's root, where the archive is written) counts as a network drive, so
// the search walks only her own drives.
SampleMachineRecipe alicesComputer() {
  SampleMachineRecipe recipe;
  recipe.drives = {{u'C', "drive_c", u""},
                 {u'D', "drive_d", u"hd"},
                 {u'E', "drive_e", u"cdrom"},
                 {u'Z', "/", u"network"}};
  SampleData quicken;
  quicken.name = "quicken";
  quicken.files = {{u"C:\\Money\\home.qdf", "qdf data", 0},
                   {u"C:\\Money\\attach\\bill.pdf", "pdf data", 0}};
  recipe.data.push_back(quicken);
  return recipe;
}

SampleMachineRecipe bobsComputer() {
  SampleMachineRecipe recipe;
  recipe.user = u"bob";
  recipe.computer = u"BOB-PC";
  return recipe;
}

struct Landing {
  std::u16string source;
  std::u16string detected;
  std::u16string belowChosen;
};

const Landing kLandings[] = {
    {u"C:\\users\\alice\\Documents\\Letter to Bob.doc",
     u"C:\\users\\bob\\Documents\\Letter to Bob.doc",
     u"D:\\Restored\\Word\\Documents\\Letter to Bob.doc"},
    {u"C:\\users\\alice\\Desktop\\Minutes.doc", u"C:\\users\\bob\\Desktop\\Minutes.doc",
     u"D:\\Restored\\Word\\Desktop\\Minutes.doc"},
    {u"D:\\Archive\\2019\\Old report.doc", u"D:\\Archive\\2019\\Old report.doc",
     u"D:\\Restored\\Word\\D\\Archive\\2019\\Old report.doc"},
    {u"C:\\users\\alice\\Pictures\\Holiday 001.jpg", u"C:\\users\\bob\\Pictures\\Holiday 001.jpg",
     u"D:\\Restored\\Photos\\UserDir\\Pictures\\Holiday 001.jpg"},
    {u"C:\\Money\\home.qdf", u"C:\\Money\\home.qdf", u"D:\\Restored\\Quicken\\C\\Money\\home.qdf"},
    {u"C:\\Money\\attach\\bill.pdf", u"C:\\Money\\attach\\bill.pdf",
     u"D:\\Restored\\Quicken\\C\\Money\\attach\\bill.pdf"},
};

TEST(SearchRoundTrip, FoundFilesComeBackInBothModes) {
  const std::vector<std::string> groups = {"Word", "Photos", "Quicken"};
  ProgramSelection selection{};
  for (const std::string& g : groups) selection[static_cast<size_t>(catalogueIndex(g))] = true;
  const FileTypeChecks checks = initialFileTypeChecks();

  for (const bool detect : {true, false}) {
    TransferRoundTrip trip(alicesComputer(), bobsComputer());
    ASSERT_TRUE(trip.ready()) << trip.error();
    ResultTree tree;
    {
      ScopedMachine onSource(trip.source());
      RecordingView view;
      DiskSearch search(tree, searchPatternList(selection, checks), view);
      ASSERT_TRUE(search.searchFixedDrives());
    }
    BackupJob job;
    job.collectSearched = [&](Entries& entries) {
      return collectSearchedFiles(entries, tree, selection, checks);
    };
    const BackupResult backup = trip.backup(groups, job);
    ASSERT_TRUE(backup.succeeded) << wideToUtf8(backup.errorText) << backup.problem;
    EXPECT_EQ(backup.recordCount, 6);

    const std::vector<std::string> mode =
        detect ? std::vector<std::string>{"--detect"}
               : std::vector<std::string>{"--target", "D:\\Restored"};
    const ProgramRun restore = trip.restore(mode);
    EXPECT_EQ(restore.exitCode, 0) << mode[0] << "\n" << restore.out << restore.err;
    for (const Landing& landing : kLandings) {
      const std::u16string& target = detect ? landing.detected : landing.belowChosen;
      EXPECT_EQ(trip.targetContent(target), trip.sourceContent(landing.source))
          << mode[0] << ": " << wideToUtf8(target);
    }
  }
}

}  // namespace
}  // namespace zq
