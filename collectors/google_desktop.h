// The Google Desktop collector: the search index and the gadgets, both where
// the program's registry settings say they are.
#pragma once

#include "archive/entries.h"

namespace zq {

// The index folder ("data_dir", tag "gdindex") and then the gadget folder
// ("plugin_dir", tag "gdgadgets"). Succeeds only when both were stored.
// Announces nothing.
bool collectGoogleDesktop(Entries& entries);

}  // namespace zq
