// The collectors of the messengers that keep their data in one or two known
// places: Skype, ICQ, Yahoo Messenger and Windows Live Messenger (AIM, whose
// settings name its log folder, has a file of its own).
#pragma once

#include "archive/entries.h"

namespace zq {

// The Skype application data folder, tag "skypemain". Announces itself.
bool collectSkype(Entries& entries);

// The ICQ database files ("*.mdb") of its application data folder, tag
// "icq". Announces nothing.
bool collectIcq(Entries& entries);

// The profiles folder below the installation, tag "yahoo"; with user account
// control on, its virtual-store copy (where the program's writes really go)
// instead. Announces nothing.
bool collectYahooMessenger(Entries& entries);

// The Messenger folder of the local application data, tag "main"; after it,
// the message history (the .xml and .xsl files directly in the folder) of
// every account the registry knows, tagged with the account's key name.
// Succeeds when the main folder was stored; the accounts do not count.
bool collectWindowsLiveMessenger(Entries& entries);

}  // namespace zq
