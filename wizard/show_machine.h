// The report of "zarvoquilloprime --show-machine": the computer as the
// programs see it (user, version, computer name, code page, drives and the
// special folders with their host folders).
#pragma once

#include <string>

#include "core/machine.h"

namespace zq {

// The report as lines of UTF-8 text; `folder` is the machine's host folder.
std::string describeMachine(Machine& machine, const std::string& folder);

}  // namespace zq
