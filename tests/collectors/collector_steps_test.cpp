// The collecting steps of a run built from the selection and the collector table.
#include <gtest/gtest.h>

#include "collectors/collector_table.h"
#include "testing/recording_entries.h"

namespace zq {
namespace {

ProgramSelection selectionOf(std::initializer_list<std::string_view> names) {
  ProgramSelection selection{};
  for (std::string_view name : names) selection[static_cast<size_t>(catalogueIndex(name))] = true;
  return selection;
}

size_t indexOf(std::string_view name) { return static_cast<size_t>(catalogueIndex(name)); }

// A table whose collectors note their name and return the given result.
struct Probe {
  std::vector<std::string> ran;
  Collector collector(std::string name, bool result) {
    return [this, name, result](Entries&) {
      ran.push_back(name);
      return result;
    };
  }
};

std::vector<std::string> namesOf(const std::vector<CollectorStep>& steps) {
  std::vector<std::string> names;
  for (const CollectorStep& step : steps) names.push_back(step.name);
  return names;
}

TEST(CollectorSteps, SelectedProgramsInRunOrderWithoutGroups) {
  CollectorTable table;
  const auto steps = collectorSteps(
      selectionOf({"ICQ", "Word", "My Documents", "Outlook", "Firefox", "Music"}), table);
  EXPECT_EQ(namesOf(steps),
            (std::vector<std::string>{"Outlook", "Firefox", "My Documents", "ICQ"}));
  for (const CollectorStep& step : steps) EXPECT_TRUE(step.collect) << step.name;

  EXPECT_TRUE(collectorSteps(selectionOf({"Word", "Photos"}), table).empty());
  EXPECT_TRUE(collectorSteps(ProgramSelection{}, table).empty());
}

TEST(CollectorSteps, FirstFailureStopsTheRunAndKeepsItsText) {
  Probe probe;
  CollectorTable table;
  table[indexOf("Outlook")] = probe.collector("Outlook", true);
  table[indexOf("Skype")] = probe.collector("Skype", true);
  // Firefox has no collector: its step fails with Firefox's text, and
  // neither Safari's missing collector nor Skype runs after it.
  const auto steps = collectorSteps(selectionOf({"Outlook", "Firefox", "Skype", "Safari"}), table);
  ASSERT_EQ(namesOf(steps), (std::vector<std::string>{"Outlook", "Firefox", "Skype", "Safari"}));

  RecordingEntries entries;
  EXPECT_FALSE(runCollectorSteps(steps, entries));
  EXPECT_EQ(probe.ran, std::vector<std::string>{"Outlook"});
  EXPECT_EQ(entries.errorText(), u"Unable to find Firefox's data files!");
}

TEST(CollectorSteps, AnEarlierReasonWinsOverAMissingCollectorsText) {
  RecordingEntries entries;
  entries.setErrorText(u"Unable to write to destination.  Is it possible the disk is full?");
  EXPECT_FALSE(missingCollector(indexOf("Opera"))(entries));
  EXPECT_EQ(entries.errorText(),
            u"Unable to write to destination.  Is it possible the disk is full?");
}

}  // namespace
}  // namespace zq
