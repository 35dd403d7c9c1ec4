#include "stub/terminal_flow.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

#include "core/console_view.h"
#include "core/machine.h"
#include "core/paths.h"
#include "core/text.h"
#include "stub/archive_opening.h"
#include "stub/stub_texts.h"

namespace zq {
namespace {

std::string narrow(std::u16string_view text) { return wideToUtf8(text); }

// While a hidden answer is read, Ctrl+C must not leave the terminal without
// echo: the handler puts the saved settings back, then ends the program as
// Ctrl+C would have.
termios gSavedTerminal{};
int gHiddenFd = -1;

extern "C" void restoreTerminalAndStop(int signal) {
  if (gHiddenFd >= 0) tcsetattr(gHiddenFd, TCSANOW, &gSavedTerminal);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A text of several lines, its later lines indented like the first.
std::string indented(std::u16string_view text) {
  std::string lines = narrow(text);
  for (size_t at = lines.find('\n'); at != std::string::npos; at = lines.find('\n', at + 5)) {
    lines.insert(at + 1, "    ");
  }
  return lines;
}

bool isQuit(const std::string& answer) { return answer == "q" || answer == "Q"; }

// What the Cancel button asks before it closes the program.
bool confirmClose(Prompter& prompter, std::u16string_view product) {
  std::string answer;
  const std::string question = narrow(stubtext::kCloseQuestionStart) + narrow(product) +
                               narrow(stubtext::kCloseQuestionEnd) + " [y/N] ";
  if (!prompter.readLine(question, answer)) return true;
  return answer == "y" || answer == "Y" || answer == "yes";
}

void printList(const std::vector<RestoreListEntry>& list, std::FILE* out, bool numbered) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (numbered) {
      std::fprintf(out, "  %2zu. [%c] %s\n", i + 1, list[i].ticked ? 'x' : ' ',
                   narrow(list[i].text).c_str());
    } else {
      std::fprintf(out, "  [%c] %s\n", list[i].ticked ? 'x' : ' ', narrow(list[i].text).c_str());
    }
  }
}

enum class Step { Next, Quit };

// The program page: numbers tick and untick entries until an empty answer.
Step chooseEntries(std::vector<RestoreListEntry>& list, Prompter& prompter, std::FILE* out,
                   std::u16string_view product) {
  std::fprintf(out, "%s\n", narrow(stubtext::kProgramsTitle).c_str());
  for (;;) {
    printList(list, out, true);
    std::string answer;
    if (!prompter.readLine("Numbers to tick or untick, Enter to go on, q to quit: ", answer)) {
      return Step::Quit;
    }
    if (answer.empty()) return Step::Next;
    if (isQuit(answer)) {
      if (confirmClose(prompter, product)) return Step::Quit;
      continue;
    }
    std::istringstream numbers(answer);
    std::string word;
    while (numbers >> word) {
      size_t n = 0;
      try {
        n = std::stoul(word);
      } catch (...) {
        n = 0;
      }
      if (n >= 1 && n <= list.size()) {
        list[n - 1].ticked = !list[n - 1].ticked;
      } else {
        std::fprintf(out, "There is no entry \"%s\".\n", word.c_str());
      }
    }
  }
}

// The destination page.
Step chooseDestination(RestoreChoices& choices, Prompter& prompter, std::FILE* out,
                       std::u16string_view product) {
  std::fprintf(out, "\n%s\n%s\n  1. %s\n     %s\n  2. %s\n",
               narrow(stubtext::kDestinationTitle).c_str(),
               narrow(stubtext::kDestinationInfo).c_str(), narrow(stubtext::kDetectFolder).c_str(),
               narrow(stubtext::kDetectNote).c_str(), narrow(stubtext::kSpecifyFolder).c_str());
  for (;;) {
    std::string answer;
    if (!prompter.readLine("Choose 1 or 2 [1]: ", answer)) return Step::Quit;
    if (answer.empty() || answer == "1") {
      choices.detectFolder = true;
      return Step::Next;
    }
    if (isQuit(answer)) {
      if (confirmClose(prompter, product)) return Step::Quit;
      continue;
    }
    if (answer != "2") continue;
    for (;;) {
      std::string folder;
      if (!prompter.readLine("Destination folder: ", folder)) return Step::Quit;
      if (folder.empty()) {
        std::fprintf(out, "Error: %s\n", narrow(stubtext::kNoDestination).c_str());
        continue;
      }
      std::string why;
      if (!destinationFromText(folder, choices.destinationPath, why)) {
        std::fprintf(out, "Error: %s\n", why.c_str());
        continue;
      }
      choices.detectFolder = false;
      return Step::Next;
    }
  }
}

}  // namespace

// ---------------------------------------------------------------- prompter

Prompter::Prompter(std::FILE* in, std::FILE* out, bool terminal)
    : in_(in), out_(out), terminal_(terminal) {}

bool Prompter::readRaw(std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(in_)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
  if (c == EOF && line.empty()) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool Prompter::readLine(const std::string& prompt, std::string& line) {
  std::fputs(prompt.c_str(), out_);
  std::fflush(out_);
  const bool got = readRaw(line);
  if (!terminal_) std::fputc('\n', out_);  // the answer did not echo
  return got;
}

bool Prompter::readHidden(const std::string& prompt, std::string& line) {
  std::fputs(prompt.c_str(), out_);
  std::fflush(out_);
  termios saved{};
  const int fd = fileno(in_);
  const bool hide = terminal_ && tcgetattr(fd, &saved) == 0;
  using Handler = void (*)(int);
  Handler previous = SIG_DFL;
  if (hide) {
    gSavedTerminal = saved;
    gHiddenFd = fd;
    previous = std::signal(SIGINT, restoreTerminalAndStop);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  const bool got = readRaw(line);
  if (hide) {
    tcsetattr(fd, TCSAFLUSH, &saved);
    std::signal(SIGINT, previous);
    gHiddenFd = -1;
  } else {
    std::fputc('\n', out_);
  }
  return got;
}

// ---------------------------------------------------------------- passphrase

bool askPassphrase(ArchiveReader& reader, Prompter& prompter, std::FILE* out) {
  std::fprintf(out, "%s\n", narrow(stubtext::kPassphraseCaption).c_str());
  for (;;) {
    std::string typed;
    if (!prompter.readHidden(narrow(stubtext::kPassphrasePrompt) + " ", typed)) return false;
    if (tryPassphrase(reader, typed) == PassphraseCheck::Accepted) return true;
    std::fprintf(out, "Error: %s", narrow(stubtext::kIncorrectPassphrase).c_str());
  }
}

// ---------------------------------------------------------------- destination

bool destinationFromText(const std::string& text, std::u16string& out, std::string& why) {
  out.clear();
  if (text.empty()) {
    why = narrow(stubtext::kNoDestination);
    return false;
  }
  const bool drivePath = text.size() >= 3 && isAsciiLetter(text[0]) && text[1] == ':' &&
                         (text[2] == '\\' || text[2] == '/');
  const bool uncPath = text.starts_with("\\\\");
  Machine& machine = currentMachine();
  if (drivePath || uncPath) {
    out = slashesToBackslashes(utf8ToWide(text));
  } else {
    std::string host = text;
    if (!host.starts_with("/")) {
      char cwd[4096];
      if (getcwd(cwd, sizeof(cwd)) == nullptr) {
        why = "the current folder cannot be told";
        return false;
      }
      host = std::string(cwd) + "/" + host;
    }
    out = machine.windowsPath(host);
    if (out.empty()) {
      why = "the folder " + text + " lies on no drive of this computer";
      return false;
    }
  }
  if (machine.hostPath(out).empty()) {
    why = "the folder " + text + " lies on no drive of this computer";
    out.clear();
    return false;
  }
  out = removeBackslash(out);
  if (out.size() == 2) out += u"\\";  // a drive root keeps its backslash
  return true;
}

// ---------------------------------------------------------------- plan

void printPlan(const std::vector<ProgramPlan>& plans, std::FILE* out) {
  for (const ProgramPlan& plan : plans) {
    const size_t files = plan.targets.files;
    if (!plan.restorable && files == 0 && plan.targets.refused.empty()) {
      std::fprintf(out, "  %s: %s\n", narrow(plan.text).c_str(), narrow(plan.errortext).c_str());
      continue;
    }
    std::fprintf(out, "  %s: %zu file%s%s\n", narrow(plan.text).c_str(), files,
                 files == 1 ? "" : "s", plan.targets.folders.empty() ? "" : " into");
    for (const auto& folder : plan.targets.folders) {
      std::fprintf(out, "      %s\n", narrow(folder).c_str());
    }
    for (const auto& refused : plan.targets.refused) {
      std::fprintf(out, "    not restored: %s\n", refused.c_str());
    }
  }
}

// ---------------------------------------------------------------- flow

int runTerminalFlow(ArchiveReader& reader, std::vector<RestoreListEntry>& list,
                    const FlowSettings& settings, Prompter& prompter, std::FILE* out,
                    ProgressView& view) {
  const tarchivetrailer& trailer = reader.trailer();
  const std::u16string product = productText(trailer);
  const bool backupEdition = isBackupEdition(trailer.productname);
  const bool asking = settings.mode == DestinationMode::Ask;

  std::fprintf(out, "%s\n\n%s\n%s\n\n", narrow(wizardTitle(product)).c_str(),
               narrow(welcomeTitle(product)).c_str(), narrow(welcomeInfo(backupEdition)).c_str());

  // Only the backup edition lets the user untick entries; the transfer
  // edition restores everything the archive holds.
  if (asking && backupEdition && !settings.listChosen) {
    if (chooseEntries(list, prompter, out, product) == Step::Quit) {
      std::fputs("Cancelled; nothing was restored.\n", out);
      return kExitFailed;
    }
  } else {
    std::fputs("This archive holds:\n", out);
    printList(list, out, false);
  }

  RestoreChoices choices;
  if (settings.mode == DestinationMode::Folder) {
    choices.detectFolder = false;
    choices.destinationPath = settings.folder;
  } else if (asking && chooseDestination(choices, prompter, out, product) == Step::Quit) {
    std::fputs("Cancelled; nothing was restored.\n", out);
    return kExitFailed;
  }

  std::fprintf(out, "\n%s\n%s\n", narrow(stubtext::kReadyTitle).c_str(),
               narrow(stubtext::kClosePrograms).c_str());
  std::fprintf(
      out, "Where the files go%s:\n",
      choices.detectFolder ? "" : (" (below " + narrow(choices.destinationPath) + ")").c_str());
  printPlan(planRestore(reader, list, choices), out);
  if (asking) {
    for (;;) {
      std::string answer;
      if (!prompter.readLine("Press Enter to start restoring your files, q to quit: ", answer)) {
        std::fputs("Cancelled; nothing was restored.\n", out);
        return kExitFailed;
      }
      if (answer.empty()) break;
      if (isQuit(answer) && confirmClose(prompter, product)) {
        std::fputs("Cancelled; nothing was restored.\n", out);
        return kExitFailed;
      }
    }
  }
  std::fputc('\n', out);
  std::fflush(out);

  // Ctrl+C during the run is a confirmed Cancel: the file in progress is
  // dropped and the old one kept.
  ConsoleView::catchInterrupt();
  const RunOutcome outcome = runRestore(reader, list, choices, view);
  std::fputc('\n', out);
  for (const ProgramOutcome& program : outcome.programs) {
    std::fprintf(out, "  %s: %s, %zu file%s restored\n", narrow(program.text).c_str(),
                 program.restored ? "restored" : "failed", program.files,
                 program.files == 1 ? "" : "s");
    if (!program.restored && !program.errortext.empty() && outcome.programs.size() > 1) {
      std::fprintf(out, "    %s\n", indented(program.errortext).c_str());
    }
    for (const auto& problem : program.problems) std::fprintf(out, "    %s\n", problem.c_str());
  }
  if (outcome.programs.empty()) std::fputs("  Nothing was ticked, so nothing was restored.\n", out);
  std::fflush(out);
  return outcome.restored ? kExitRestored : kExitFailed;
}

}  // namespace zq
