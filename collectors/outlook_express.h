// The Outlook Express collector: the mail store folder of every identity of
// the current user (tags "mail0", "mail1", ... by the identity's position in
// the registry) and the address book file (tag "addressbook").
#pragma once

#include "archive/entries.h"

namespace zq {

// Announces itself and stores each identity's store folder, then the
// address book. The position counts every identity, also one without a
// store, so the archive's identity numbers are the registry's. True when at
// least one store folder was stored (the address book does not count);
// otherwise the failure text goes to the error text (unless an earlier
// reason is there).
bool collectOutlookExpress(Entries& entries);

}  // namespace zq
