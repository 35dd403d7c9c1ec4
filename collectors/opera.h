// The Opera collector: the profile folder under "profile" (stored below the
// relative folder "profile") and the mail root folder under "mail".
#pragma once

#include "archive/entries.h"

namespace zq {

// Announces itself, stores the profile (without opera6.ini and the caches)
// and the mail folder its opera6.ini names. The result is whether the
// profile was stored; the mail does not count.
bool collectOpera(Entries& entries);

}  // namespace zq
