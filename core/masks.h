// Wildcard masks: the "*"-only masks of the data collectors and the restore
// engine ("*.xml", "userdictionary*", "cache"), and ";"-separated lists of them.
// Comparisons ignore letter case. "?" has no special meaning here (directory
// listing patterns with "?" are matched by findFirst, find_data.h).
#pragma once

#include <string_view>

namespace zq {

// True when name matches mask. A mask without "*" must equal the name. With
// "*", each "*" stands for any run of characters (also none); an empty name
// matches no such mask, so "*" does not match "". Every literal segment is
// looked for after the end of the one before it, so segments never overlap.
bool matchesMask(std::u16string_view mask, std::u16string_view name);

// True when one item of a ";"-separated list of masks matches the name. The
// list is trimmed first; an empty item ends the list.
bool matchesMaskList(std::u16string_view list, std::u16string_view name);

}  // namespace zq
