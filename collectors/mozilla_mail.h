// The Thunderbird collector, also used for the newer Eudora that is built on
// Thunderbird: the Thunderbird folder of the user's application data under
// the tag "thunderbird", and the profiles and account mail folders that lie
// outside it under "otherthunderbird".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/entries.h"

namespace zq {

// Stores the data under `programName` ("Thunderbird", or "Eudora"), announcing
// and failing in that name. True when the Thunderbird folder was stored.
bool collectMozillaMail(Entries& entries, std::string_view programName);

// The run's step for the catalogue entry "Thunderbird".
bool collectThunderbird(Entries& entries);

// The local mail folders of the accounts in a prefs.js that lie outside the
// profile folder holding it: the values of "mail.server.server<n>.directory"
// for n = 1, 2, ... in the order they appear (a number is only found after
// the one before it), with doubled backslashes made single. Empty when the
// file cannot be read.
std::vector<std::u16string> readMailServerFolders(std::u16string_view prefsFile);

}  // namespace zq
