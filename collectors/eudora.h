// The Eudora collector. The newer Eudora, built on Thunderbird, is collected
// the Thunderbird way under the program name "Eudora"; classic Eudora's data
// folder is stored under "main" and an attachment folder kept outside it
// under "attachments".
#pragma once

#include "archive/entries.h"

namespace zq {

// True when the data folder (or, for the newer Eudora, its Thunderbird
// folder) was stored.
bool collectEudora(Entries& entries);

}  // namespace zq
