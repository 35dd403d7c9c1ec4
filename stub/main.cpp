// stub: the restore program at the front of every archive. It finds the
// archive it carries, asks for the passphrase when the archive is
// encrypted, and restores; until the restore window exists, the wizard's
// pages run on the terminal.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "core/console_view.h"
#include "core/machine_choice.h"
#include "core/text.h"
#include "stub/archive_opening.h"
#include "stub/archive_report.h"
#include "stub/stub_options.h"
#include "stub/stub_texts.h"
#include "stub/terminal_flow.h"

namespace {

using namespace zq;

std::string narrow(std::u16string_view text) { return wideToUtf8(text); }

int terminalColumns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

// The first line of the file, without its line end.
bool readPassphraseFile(const std::string& path, std::string& passphrase) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::getline(in, passphrase);
  if (!passphrase.empty() && passphrase.back() == '\r') passphrase.pop_back();
  return true;
}

int unlock(ArchiveReader& reader, const StubOptions& options) {
  if (!options.passphraseFile.empty()) {
    std::string passphrase;
    if (!readPassphraseFile(options.passphraseFile, passphrase)) {
      std::fprintf(stderr, "stub: the passphrase file %s cannot be read\n",
                   options.passphraseFile.c_str());
      return kExitBadUse;
    }
    if (tryPassphrase(reader, passphrase) != PassphraseCheck::Accepted) {
      std::fprintf(stderr, "Error: %s", narrow(stubtext::kIncorrectPassphrase).c_str());
      return kExitWrongPassphrase;
    }
    return kExitRestored;
  }
  Prompter prompter(stdin, stdout, isatty(STDIN_FILENO) != 0);
  if (!askPassphrase(reader, prompter, stdout)) {
    // The dialog's Cancel: the program ends and nothing is extracted.
    std::fputs("No passphrase was given; nothing was restored.\n", stdout);
    return kExitFailed;
  }
  return kExitRestored;
}

// --only: exactly the named entries stay ticked.
bool applyOnly(std::vector<RestoreListEntry>& list, const std::vector<std::string>& names) {
  for (auto& entry : list) entry.ticked = false;
  bool ok = true;
  for (const auto& name : names) {
    RestoreListEntry* entry = findListEntry(list, utf8ToWide(name));
    if (entry == nullptr) {
      std::fprintf(stderr, "stub: the archive holds no entry \"%s\"\n", name.c_str());
      ok = false;
    } else {
      entry->ticked = true;
    }
  }
  if (!ok) {
    std::fputs("It holds:", stderr);
    for (const auto& entry : list) std::fprintf(stderr, " \"%s\"", entry.name.c_str());
    std::fputc('\n', stderr);
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  StubOptions options;
  std::string error;
  if (!parseStubOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "stub: %s\n%s", error.c_str(), kStubUsage);
    return kExitBadUse;
  }
  if (options.help) {
    std::fputs(kStubUsage, stdout);
    return kExitRestored;
  }

  CarriedArchive archive;
  if (!archive.open(runningProgramPath(), error)) {
    std::fprintf(stderr, "Error: %s\n(%s)\n", narrow(stubtext::kNoData).c_str(), error.c_str());
    return kExitBadUse;
  }
  ArchiveReader& reader = archive.reader();
  if (options.info) {
    printInfo(reader.trailer(), stdout);
    return kExitRestored;
  }

  // The computer to restore to; it also says the code page of names and
  // passphrases. --check needs none unless one is named.
  if (!options.check || !options.machine.empty()) {
    MachineChoice choice;
    auto machine = openMachineFromOption(options.machine, choice, error);
    if (!machine) {
      std::fprintf(stderr, "stub: %s\n", error.c_str());
      return kExitBadUse;
    }
    setCurrentMachine(std::move(machine));
  }

  if (reader.encrypted()) {
    const int status = unlock(reader, options);
    if (status != kExitRestored) return status;
  }
  std::string note;
  if (!reader.readRecords(&note)) {
    std::fprintf(stderr, "Error: the archive's file records cannot be read: %s\n", note.c_str());
    return kExitFailed;
  }
  if (options.check) {
    return checkArchive(reader, note, stdout) == 0 ? kExitRestored : kExitFailed;
  }
  if (!note.empty()) std::fprintf(stderr, "Warning: %s\n", note.c_str());

  std::vector<RestoreListEntry> list = buildRestoreList(reader.trailer());
  if (!options.only.empty() && !applyOnly(list, options.only)) return kExitBadUse;

  FlowSettings settings;
  settings.listChosen = !options.only.empty();
  if (options.hasTarget) {
    settings.mode = DestinationMode::Folder;
    if (!destinationFromText(options.target, settings.folder, error)) {
      std::fprintf(stderr, "stub: --target: %s\n", error.c_str());
      return kExitBadUse;
    }
  } else if (options.detect) {
    settings.mode = DestinationMode::Detect;
  }

  if (options.list) {
    printRecords(reader.records(), stdout);
    RestoreChoices choices;
    choices.detectFolder = settings.mode != DestinationMode::Folder;
    choices.destinationPath = settings.folder;
    std::fprintf(stdout, "\nWhere the files go%s:\n",
                 choices.detectFolder ? "" : (" (below " + narrow(settings.folder) + ")").c_str());
    printPlan(planRestore(reader, list, choices), stdout);
    return kExitRestored;
  }

  const bool terminal = isatty(STDOUT_FILENO) != 0;
  ConsoleView view(stdout, terminal, terminalColumns());
  Prompter prompter(stdin, stdout, isatty(STDIN_FILENO) != 0);
  return runTerminalFlow(reader, list, settings, prompter, stdout, view);
}
