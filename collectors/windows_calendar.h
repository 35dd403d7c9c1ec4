// The Windows Calendar collector: the calendar folder in the user's local
// application data, under the program name "Windows Calendar" and the tag
// "calendar".
#pragma once

#include "archive/entries.h"

namespace zq {

// True when the calendar folder was stored; otherwise the failure text goes
// to the error text (unless an earlier reason is there).
bool collectWindowsCalendar(Entries& entries);

}  // namespace zq
