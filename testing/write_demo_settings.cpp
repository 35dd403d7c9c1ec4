// write-demo-settings MACHINE_DIR PASSPHRASE: saves the choices a user would
// make in the wizard on the sample computer, so that an unattended run
// ("zarvoquilloprime -auto") has something real to do: every program this
// build can collect, a few hand-picked files and folders, encryption with the
// given passphrase, and an archive in C:\Transfer.
#include <cstdio>
#include <string>

#include "collectors/catalogue.h"
#include "collectors/collector_table.h"
#include "core/machine.h"
#include "core/machine_choice.h"
#include "core/text.h"
#include "wizard/build_edition.h"
#include "wizard/settings.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: write-demo-settings MACHINE_DIR PASSPHRASE\n", stderr);
    return 2;
  }
  zq::MachineChoice choice;
  std::string error;
  auto machine = zq::openMachineFromOption(argv[1], choice, error);
  if (!machine) {
    std::fprintf(stderr, "write-demo-settings: %s\n", error.c_str());
    return 1;
  }
  zq::ScopedMachine use(*machine);

  const zq::Edition edition = zq::builtEdition();
  zq::Settings settings;
  zq::loadSettings(settings, edition);
  settings.destination = zq::DestinationKind::Drive;
  settings.destinationPath = u"C:\\Transfer";
  settings.backupFileName = u"AliceToBob.exe";
  const zq::CollectorTable collectors = zq::programCollectors();
  for (size_t i = 0; i < collectors.size(); ++i) settings.selection[i] = bool(collectors[i]);
  settings.manualSelectionEnabled = true;
  const std::u16string profile = machine->specialFolder(zq::SpecialFolder::Profile);
  settings.manualSelection.assign({profile + u"\\Desktop\\Shopping list.txt",
                                   profile + u"\\Favorites", u"D:\\Archive"});
  settings.encrypt = true;
  settings.passphrase = zq::utf8ToWide(argv[2]);
  settings.confirmPassphrase = settings.passphrase;
  if (!zq::saveSettings(settings, edition)) {
    std::fputs("write-demo-settings: the settings could not be saved\n", stderr);
    return 1;
  }
  std::printf("Saved the wizard's settings for %s on %s\n",
              zq::wideToUtf8(zq::applicationTitle(edition)).c_str(), argv[1]);
  return 0;
}
