// The collectors of the two mail programs that keep one store folder named
// in the registry: Windows Mail and Windows Live Mail. Each stores the
// store folder (tag "mail", without the spelling dictionaries) and, when
// that worked, the user's Contacts folder (tag "contacts").
#pragma once

#include "archive/entries.h"

namespace zq {

// True when the store folder was stored (the contacts do not count);
// otherwise the program's failure text goes to the error text (unless an
// earlier reason is there).
bool collectWindowsMail(Entries& entries);
bool collectWindowsLiveMail(Entries& entries);

}  // namespace zq
