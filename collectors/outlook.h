// The Outlook collector: every personal folders file (PST) that a mail
// profile of the current user names, under the program name "Outlook" and
// the tag "pst".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/entries.h"

namespace zq {

// Announces itself and stores the file named by the "01020fff" value of
// every service section of every mail profile (a file named in several
// sections is stored each time). True when at least one file was stored;
// otherwise the failure text goes to the error text (unless an earlier
// reason is there).
bool collectOutlook(Entries& entries);

// The file path held in a section's "01020fff" value: empty for values of
// 53 bytes or less. After the 53-byte header the path is 8-bit text from
// byte 57 when bytes 54 and 55 are zero, UTF-16 from byte 54 when byte 53
// is zero, 8-bit text from byte 53 otherwise; it ends at a NUL or at the
// end of the value, whichever comes first.
std::u16string pstPathFromValue(const std::vector<uint8_t>& data);

}  // namespace zq
