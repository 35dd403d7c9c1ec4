// The small dialogs of the programs: three message boxes, an information
// box and a one-line input box. They go through one process-wide Dialogs
// object, like the machine: the windowed programs install their own; until
// then a console version asks on the terminal.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace zq {

// Captions of the message boxes, as the user sees them.
inline constexpr std::u16string_view kConfirmCaption = u"Confirm";
inline constexpr std::u16string_view kErrorCaption = u"Error";
inline constexpr std::u16string_view kWarningCaption = u"Warning";

enum class MessageKind {
  Confirm,  // question icon, Yes and No
  Error,    // error icon, OK
  Warning,  // warning icon, OK
  Info,     // information dialog, OK; its caption is the program's title
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a message box owned by `owner` (a window of the caller; may be
  // null). For Confirm the result is true for Yes; otherwise it is true.
  virtual bool message(void* owner, MessageKind kind, std::u16string_view caption,
                       std::u16string_view text) = 0;
  // A modal one-line input box holding `text`. True, with the edited text in
  // `text`, when the user confirms; false (text untouched) on cancel.
  virtual bool input(void* owner, std::u16string_view caption, std::u16string_view prompt,
                     std::u16string& text) = 0;
};

// Dialogs on a terminal: messages go to `out` (stderr). When `in` is an
// interactive terminal the questions read a line from it; otherwise a
// confirmation answers No and an input box is cancelled, so an unattended run
// never waits for a user and never says Yes on the user's behalf.
class ConsoleDialogs : public Dialogs {
 public:
  ConsoleDialogs();  // stdin, stderr; interactive when stdin is a terminal
  ConsoleDialogs(std::FILE* in, std::FILE* out, bool interactive);

  bool message(void* owner, MessageKind kind, std::u16string_view caption,
               std::u16string_view text) override;
  bool input(void* owner, std::u16string_view caption, std::u16string_view prompt,
             std::u16string& text) override;

 private:
  bool readLine(std::string& line);

  std::FILE* in_;
  std::FILE* out_;
  bool interactive_;
};

// The dialogs every helper uses. There is always one (a ConsoleDialogs until
// the program installs another).
Dialogs& currentDialogs();

// Installs dialogs for the lifetime of this object (tests), then puts the
// previous ones back.
class ScopedDialogs {
 public:
  explicit ScopedDialogs(Dialogs& dialogs);
  ~ScopedDialogs();
  ScopedDialogs(const ScopedDialogs&) = delete;
  ScopedDialogs& operator=(const ScopedDialogs&) = delete;

 private:
  Dialogs* previous_;
};

// Makes `dialogs` current for the rest of the process (program start-up).
void setCurrentDialogs(std::unique_ptr<Dialogs> dialogs);

// "Confirm" box with Yes and No; true for Yes.
bool confirmBox(void* owner, std::u16string_view text);
// "Error" box.
void errorBox(void* owner, std::u16string_view text);
// "Warning" box.
void warningBox(void* owner, std::u16string_view text);
// Information box with one OK button.
void infoBox(std::u16string_view text);
// Input box; true and the edited text when confirmed.
bool inputBox(void* owner, std::u16string_view caption, std::u16string_view prompt,
              std::u16string& text);

}  // namespace zq
