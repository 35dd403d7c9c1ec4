// The My Documents collector on a sample computer.
#include "collectors/my_documents.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "collectors/collector_table.h"
#include "core/machine_wrapper.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "testing/recording_entries.h"
#include "tests/collectors/sample_computer.h"

namespace zq {
namespace {

using Stored = RecordingEntries::Stored;

// Sorted so the walk's order does not matter.
std::vector<Stored> sorted(std::vector<Stored> v) {
  std::sort(v.begin(), v.end(), [](const Stored& a, const Stored& b) { return a.path < b.path; });
  return v;
}

TEST(MyDocuments, StoresTheWholeDocumentsFolder) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  const std::u16string docs = addBackslash(documentsFolder());

  for (bool backupEdition : {true, false}) {
    RecordingEntries entries(backupEdition);
    EXPECT_TRUE(collectMyDocuments(entries));
    EXPECT_EQ(entries.errorText(), u"");
    EXPECT_EQ(entries.infoTexts, std::vector<std::u16string>{
                                     backupEdition ? u"Backing up your My Documents folder..."
                                                   : u"Archiving your My Documents folder..."});

    ASSERT_EQ(entries.calls.size(), 1u);
    const RecordingEntries::Call& call = entries.calls[0];
    EXPECT_TRUE(call.isFolder);
    EXPECT_EQ(removeBackslash(call.path), removeBackslash(docs));
    EXPECT_EQ(call.masks, u"*");
    EXPECT_EQ(call.exclusions, u"");
    EXPECT_EQ(call.relativeFolder, u"");
    EXPECT_TRUE(call.recurse);

    const std::vector<Stored> expected = {
        {docs + u"Budget 2023.xls", u"", "documents", "My Documents"},
        {docs + u"Gr\u00fc\u00dfe an Oma.txt", u"", "documents", "My Documents"},
        {docs + u"Letter to Bob.doc", u"", "documents", "My Documents"},
        {docs + u"Notes.txt", u"", "documents", "My Documents"},
        {docs + u"Projects\\Garden\\Plan.txt", u"Projects\\Garden", "documents", "My Documents"},
    };
    EXPECT_EQ(sorted(entries.stored), sorted(expected));
  }
  // The run's table has it.
  EXPECT_TRUE(programCollectors()[static_cast<size_t>(catalogueIndex("My Documents"))]);
}

// A machine whose documents folder lies on a drive that does not exist.
class NoDocuments : public MachineWrapper {
 public:
  using MachineWrapper::MachineWrapper;
  std::u16string specialFolder(SpecialFolder folder) override {
    if (folder == SpecialFolder::Documents) return u"Q:\\Nowhere\\Documents";
    return MachineWrapper::specialFolder(folder);
  }
};

TEST(MyDocuments, MissingFolderFailsWithItsText) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  NoDocuments broken(pc.machine());
  ScopedMachine scope(broken);

  RecordingEntries entries;
  EXPECT_FALSE(collectMyDocuments(entries));
  EXPECT_EQ(entries.errorText(), u"Unable to find your My Documents folder data!");
  EXPECT_TRUE(entries.stored.empty());
}

TEST(MyDocuments, AFailedFileKeepsTheWritersReason) {
  SampleComputer pc;
  ASSERT_TRUE(pc.ok());
  RecordingEntries entries;
  entries.failPath = addBackslash(documentsFolder()) + u"Projects\\Garden\\Plan.txt";
  entries.failText = u"An error occured accessing your My Documents data...";

  EXPECT_FALSE(collectMyDocuments(entries));
  EXPECT_EQ(entries.errorText(), u"An error occured accessing your My Documents data...");
}

}  // namespace
}  // namespace zq
