// The PocoMail collector: the data folder named in pocosystem.ini without its
// known subfolders under the tag "main", and each folder that poco.ini names
// (mail, attachments, users, address book, scripts, signatures, templates,
// skins) under its own tag ("mailpath", "attachpath", ...).
#pragma once

#include "archive/entries.h"

namespace zq {

// True when both the data folder and the mail folder were stored.
bool collectPocoMail(Entries& entries);

}  // namespace zq
