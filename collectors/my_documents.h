// The My Documents collector: the user's documents folder, whole, under the
// program name "My Documents" and the tag "documents".
#pragma once

#include "archive/entries.h"

namespace zq {

// Announces itself, stores every file of the documents folder and its
// subfolders, and returns whether that walk succeeded. When the folder is
// missing or a file fails, the failure text goes to the error text (unless an
// earlier reason is there) and the result is false.
bool collectMyDocuments(Entries& entries);

}  // namespace zq
