// The collectors of the browsers whose data is one folder: Google Chrome's
// user data, Internet Explorer's favorites and Safari's application data.
#pragma once

#include "archive/entries.h"

namespace zq {

// Local AppData\Google\Chrome\User Data under "chrome", caches left out.
bool collectGoogleChrome(Entries& entries);
// The user's Favorites folder under "favorites".
bool collectInternetExplorer(Entries& entries);
// AppData\Apple Computer\Safari under "safari" (announces nothing).
bool collectSafari(Entries& entries);

}  // namespace zq
