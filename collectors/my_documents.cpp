#include "collectors/my_documents.h"

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/known_folders.h"

namespace zq {

namespace {
constexpr std::string_view kProgramName = "My Documents";
}  // namespace

bool collectMyDocuments(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));

  const std::u16string folder = documentsFolder();
  const bool stored =
      !folder.empty() && folderExists(folder) &&
      entries.addFolder(folder, u"*", u"", u"", "documents", std::string(kProgramName), true);
  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(index));
  }
  return stored;
}

}  // namespace zq
