#include "collectors/collector_table.h"

#include "collectors/my_documents.h"

namespace zq {

CollectorTable programCollectors() {
  CollectorTable table;
  table[static_cast<size_t>(catalogueIndex("My Documents"))] = collectMyDocuments;
  return table;
}

Collector missingCollector(size_t index) {
  return [index](Entries& entries) {
    if (entries.errorText().empty()) entries.setErrorText(collectorFailureText(index));
    return false;
  };
}

std::vector<CollectorStep> collectorSteps(const ProgramSelection& selection,
                                          const CollectorTable& table) {
  std::vector<CollectorStep> steps;
  for (size_t index : collectorRunOrder()) {
    if (!selection[index]) continue;
    Collector collect = table[index] ? table[index] : missingCollector(index);
    steps.push_back({std::string(programCatalogue()[index].name), std::move(collect)});
  }
  return steps;
}

bool runCollectorSteps(const std::vector<CollectorStep>& steps, Entries& entries) {
  for (const CollectorStep& step : steps) {
    if (!step.collect(entries)) return false;
  }
  return true;
}

}  // namespace zq
