// The Firefox collector: the program's application data folder under the tag
// "firefox", and every profile that profiles.ini names outside that folder
// under "otherfirefox".
#pragma once

#include "archive/entries.h"

namespace zq {

// Announces itself and stores AppData\Mozilla\Firefox (caches and the
// profile lock left out), then each outside profile. The result is whether
// the main folder was stored; outside profiles do not count.
bool collectFirefox(Entries& entries);

}  // namespace zq
