// The restorers of Outlook (personal folders files) and Outlook Express
// (identity store folders and the address book).
#include <set>
#include <string>

#include "core/files.h"
#include "core/machine.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "core/system_helpers.h"
#include "core/text.h"
#include "stub/move_aside.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {
namespace {

constexpr std::u16string_view kOutlookInstructions =
    u"To import your Outlook PST files run Outlook and click on the \"File\" menu, click "
    u"\"Import and Export...\", select \"Import from another program or file...\", select "
    u"\"Personal Folder File (.pst)\", and then select the PST file you want to import and "
    u"click OK.\n\n";
constexpr std::u16string_view kOutlookError =
    u"An error occured while restoring your Outlook PST Files.\nTry specifying a different "
    u"restore destination.";

constexpr std::u16string_view kAddressBookStart =
    u"Your Outlook Express Address Book (WAB) file is located here: \n";
constexpr std::u16string_view kAddressBookEnd =
    u"\n\nGo to the File menu in Outlook Express and click \"Import | Address Book\".  Select "
    u"the file above from your My Documents folder and click the \"Open\" button to import "
    u"your Address Book.\n\n";
constexpr std::u16string_view kOutlookExpressError =
    u"An error occured while restoring your Outlook Express data.\nThis archive file may be "
    u"corrupt!";

std::u16string mailTag(size_t i) { return u"mail" + utf8ToWide(std::to_string(i)); }

// The identity numbers the archive holds mail for ("mail0", "mail2", ...),
// in rising order. An identity without a store on the source computer
// leaves a gap in the numbers.
std::set<size_t> identityNumbers(const RestoreRun& run, std::string_view programName) {
  std::set<size_t> numbers;
  for (const tfilerecord& record : run.entries()) {
    if (record.programname != programName) continue;
    const std::u16string tag = wideLower(ansiToWide(record.tag));
    if (tag.size() < 5 || tag.size() > 10 || tag.compare(0, 4, u"mail") != 0) continue;
    size_t n = 0;
    bool digits = true;
    for (size_t i = 4; i < tag.size(); ++i) {
      if (tag[i] < u'0' || tag[i] > u'9') digits = false;
      n = n * 10 + static_cast<size_t>(tag[i] - u'0');
    }
    if (digits && mailTag(n) == tag) numbers.insert(n);
  }
  return numbers;
}

// Detect mode: the archive's identity n goes into the store folder of the
// target's n-th identity, whatever its name there. Returns whether one
// identity was restored; `addressBook` gets the restored address book's path.
bool restoreIdentities(RestoreRun& run, std::string_view programName,
                       std::u16string& addressBook) {
  bool restored = false;
  const std::vector<std::u16string> identities =
      currentMachine().subkeyNames(RegRoot::CurrentUser, u"Identities");
  for (size_t i = 0; i < identities.size(); ++i) {
    const std::u16string key =
        u"Identities\\" + identities[i] + u"\\Software\\Microsoft\\Outlook Express\\5.0";
    const std::u16string store = expandEnvironment(readUserRegString(key, u"Store Root", u""));
    if (store.empty()) continue;
    const std::u16string tag = mailTag(i);
    // An identity the archive has no mail for keeps its store as it is; the
    // identities after it still get theirs.
    if (!archiveHolds(run, programName, tag)) continue;
    // The current store is kept under a free ".old" name.
    if (!run.planning()) {
      moveAside(store);
      forceFolders(store);
    }
    if (!run.restoreEntries(store, tag, false, programName)) break;
    restored = true;
  }

  const std::u16string name = run.findEntryFileName(u"addressbook");
  const std::u16string documents = documentsFolder();
  if (!name.empty() && !documents.empty() &&
      run.restoreEntries(documents, u"addressbook", false, programName)) {
    addressBook = addBackslash(documents) + name;
  }
  return restored;
}

// Chosen mode: identity n goes to D\Outlook Express\identity<n>, for every
// number the archive holds (a gap in the numbers does not end the restore).
bool restoreIdentitiesBelow(RestoreRun& run, std::string_view programName) {
  const std::u16string folder = addBackslash(run.destinationPath()) + u"Outlook Express";
  bool restored = false;
  for (size_t i : identityNumbers(run, programName)) {
    if (!run.restoreEntries(folder + u"\\identity" + utf8ToWide(std::to_string(i)), mailTag(i),
                            false, programName)) {
      break;
    }
    restored = true;
  }
  run.restoreEntries(folder, u"addressbook", false, programName);
  return restored;
}

}  // namespace

void restoreOutlook(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring Outlook Files...");
  const std::u16string base =
      run.detectFolder() ? std::u16string() : addBackslash(run.destinationPath()) + u"Outlook";
  run.restored = run.restoreEntries(base, u"pst", false, programName);
  if (run.restored) {
    run.infotext += kOutlookInstructions;
  } else {
    run.errortext = kOutlookError;
  }
}

void restoreOutlookExpress(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring Outlook Express Files...");
  std::u16string addressBook;
  run.restored = run.detectFolder() ? restoreIdentities(run, programName, addressBook)
                                    : restoreIdentitiesBelow(run, programName);
  if (!run.restored) {
    run.errortext = kOutlookExpressError;
  } else if (!addressBook.empty()) {
    run.infotext += std::u16string(kAddressBookStart) + addressBook +
                    std::u16string(kAddressBookEnd);
  }
}

}  // namespace zq
