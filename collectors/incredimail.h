// The IncrediMail collector: every identity folder of the application folder
// (the default identity under the tag "default", the others under "profile0",
// "profile1", ...), and the Lex, AddOns and Runtime folders and the files of
// the application folder itself under "root".
#pragma once

#include "archive/entries.h"

namespace zq {

// True when at least one identity folder was stored.
bool collectIncrediMail(Entries& entries);

}  // namespace zq
