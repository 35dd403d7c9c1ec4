// Path text helpers. Paths are wide Windows paths; nothing here touches the
// disk (files.h asks the machine).
#pragma once

#include <string>
#include <string_view>

namespace zq {

// p with one "\" appended, unless it is empty or already ends in "\" (so a
// folder built from an empty parent gets no leading "\").
std::u16string addBackslash(std::u16string_view p);

// p without one trailing "\" (empty stays empty).
std::u16string removeBackslash(std::u16string_view p);

// p with "/" appended, unless it is empty or already ends in "/" (remote
// paths on a server).
std::u16string addSlash(std::u16string_view p);

// Every "/" replaced by "\".
std::u16string slashesToBackslashes(std::u16string_view p);

// The text up to and including the last "\"; empty when there is none.
std::u16string folderOfPath(std::u16string_view p);

// The text after the last "\"; the whole text when there is none.
std::u16string nameOfPath(std::u16string_view p);

// The text from the last "." of the name (the dot included) to the end; empty
// when the name has no ".". A dot in a folder part does not count.
std::u16string extensionOfPath(std::u16string_view p);

// Lower-cased form of a path or name, for comparisons.
std::u16string comparablePath(std::u16string_view p);

}  // namespace zq
