// The restore wizard's pages on a terminal, for a computer without a
// display: welcome, the list of what the archive holds, the destination,
// the targets and the run with its outcome. The passphrase is asked for
// before, as the program entry does.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "core/progress_view.h"
#include "stub/restore_list.h"
#include "stub/restore_run.h"

namespace zq {

// Reads answers from the user. On an interactive terminal a hidden answer is
// read without echo; from a pipe or file lines are read as they come. Both
// return false when the input has ended.
class Prompter {
 public:
  Prompter(std::FILE* in, std::FILE* out, bool terminal);
  bool readLine(const std::string& prompt, std::string& line);
  bool readHidden(const std::string& prompt, std::string& line);

 private:
  bool readRaw(std::string& line);

  std::FILE* in_;
  std::FILE* out_;
  bool terminal_;
};

// The passphrase dialog on the terminal: asks until the passphrase opens the
// archive (every refusal shows the incorrect-passphrase text). False when the
// input ends first, which is the dialog's Cancel.
bool askPassphrase(ArchiveReader& reader, Prompter& prompter, std::FILE* out);

// A destination the user typed: a host path ("/media/usb/restore", or
// relative to the current folder) or a Windows path ("D:\Restore"), as a
// Windows path of the current machine. False with the reason when it names
// no folder the machine can reach.
bool destinationFromText(const std::string& text, std::u16string& out, std::string& why);

enum class DestinationMode {
  Ask,     // the destination page asks
  Detect,  // each program's own place, no questions
  Folder,  // below `folder`, no questions
};

struct FlowSettings {
  DestinationMode mode = DestinationMode::Ask;
  std::u16string folder;    // for Folder
  bool listChosen = false;  // the list's ticks were given (--only); do not ask
};

// Exit statuses of the program.
inline constexpr int kExitRestored = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadUse = 2;
inline constexpr int kExitWrongPassphrase = 3;

// Runs the pages and the restore; returns the exit status (restored or
// failed; a run the user cancelled before it started is a failure too).
int runTerminalFlow(ArchiveReader& reader, std::vector<RestoreListEntry>& list,
                    const FlowSettings& settings, Prompter& prompter, std::FILE* out,
                    ProgressView& view);

// The targets of a plan, as the ready page and --list show them.
void printPlan(const std::vector<ProgramPlan>& plans, std::FILE* out);

}  // namespace zq
