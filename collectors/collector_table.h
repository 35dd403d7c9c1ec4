// Which operation collects each program's data, and the collecting steps of
// one backup run built from the user's selection.
//
// The backup run (archive/) never includes the collectors: the program that
// assembles the run builds the steps here and hands them over as the run's
// CollectorStep pairs {catalogue name, callable}, in run order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "archive/backup_run.h"
#include "archive/entries.h"
#include "collectors/catalogue.h"

namespace zq {

// A collector stores a program's data through the entry writer and returns
// false when the run must stop (the reason is then in entries.errorText()).
using Collector = CollectStep;

// One slot per catalogue row; an empty slot means "no collector" (file-type
// groups, and programs whose collector does not exist yet).
using CollectorTable = std::array<Collector, kCatalogueSize>;

// The collectors this build has.
CollectorTable programCollectors();

// A collector for a program that has none: it fails with the program's
// failure text (set only when the error text is still empty).
Collector missingCollector(size_t index);

// The steps of a run: every selected program, in run order, with its
// collector, or with missingCollector() when the table has none (so no step
// is ever empty). File-type groups make no step (the disk search stores
// their files).
std::vector<CollectorStep> collectorSteps(const ProgramSelection& selection,
                                          const CollectorTable& table);

// Runs the steps in order and stops at the first one that fails. True when
// every step succeeded.
bool runCollectorSteps(const std::vector<CollectorStep>& steps, Entries& entries);

}  // namespace zq
