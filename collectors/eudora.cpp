#include "collectors/eudora.h"

#include "collectors/catalogue.h"
#include "collectors/mail_b_folders.h"
#include "collectors/mozilla_mail.h"

namespace zq {
namespace {
constexpr std::string_view kProgramName = "Eudora";
}  // namespace

bool collectEudora(Entries& entries) {
  if (isThunderbirdBasedEudora()) return collectMozillaMail(entries, kProgramName);

  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));
  const std::string program(kProgramName);

  const std::u16string dataFolder = eudoraDataFolder();
  const bool stored = !dataFolder.empty() && fileExists(dataFolder + u"eudora.ini") &&
                      entries.addFolder(dataFolder, u"*", u"", u"", "main", program, true);

  // An attachment folder inside the data folder is already part of "main".
  const std::u16string attachments = eudoraAttachmentFolder(dataFolder);
  if (!dataFolder.empty() && folderExists(attachments) && !liesInside(attachments, dataFolder)) {
    entries.addFolder(attachments, u"*", u"", u"", "attachments", program, true);
  }

  if (!stored && entries.errorText().empty()) entries.setErrorText(collectorFailureText(index));
  return stored;
}

}  // namespace zq
