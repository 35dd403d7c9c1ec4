#include "core/dialogs.h"

#include <unistd.h>

#include "core/text.h"

namespace zq {

ConsoleDialogs::ConsoleDialogs() : ConsoleDialogs(stdin, stderr, ::isatty(STDIN_FILENO) == 1) {}

ConsoleDialogs::ConsoleDialogs(std::FILE* in, std::FILE* out, bool interactive)
    : in_(in), out_(out), interactive_(interactive) {}

bool ConsoleDialogs::readLine(std::string& line) {
  line.clear();
  if (!interactive_ || in_ == nullptr) return false;
  for (;;) {
    const int c = std::fgetc(in_);
    if (c == EOF) return !line.empty();
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool ConsoleDialogs::message(void*, MessageKind kind, std::u16string_view caption,
                             std::u16string_view text) {
  const std::string head = caption.empty() ? std::string() : wideToUtf8(caption) + ": ";
  if (kind != MessageKind::Confirm) {
    std::fprintf(out_, "%s%s\n", head.c_str(), wideToUtf8(text).c_str());
    std::fflush(out_);
    return true;
  }
  std::fprintf(out_, "%s%s [y/N] ", head.c_str(), wideToUtf8(text).c_str());
  std::fflush(out_);
  std::string answer;
  const bool yes = readLine(answer) && (answer == "y" || answer == "Y" || answer == "yes" ||
                                        answer == "Yes" || answer == "YES");
  if (!interactive_) std::fprintf(out_, "N\n");
  std::fflush(out_);
  return yes;
}

bool ConsoleDialogs::input(void*, std::u16string_view caption, std::u16string_view prompt,
                           std::u16string& text) {
  std::fprintf(out_, "%s%s%s [%s]: ", wideToUtf8(caption).c_str(), caption.empty() ? "" : ": ",
               wideToUtf8(prompt).c_str(), wideToUtf8(text).c_str());
  std::fflush(out_);
  std::string line;
  if (!readLine(line)) {
    std::fprintf(out_, "(cancelled)\n");
    std::fflush(out_);
    return false;
  }
  // An empty answer keeps the text shown in brackets.
  if (!line.empty()) text = utf8ToWide(line);
  return true;
}

namespace {

Dialogs& defaultDialogs() {
  static ConsoleDialogs dialogs;
  return dialogs;
}

std::unique_ptr<Dialogs>& ownedDialogs() {
  static std::unique_ptr<Dialogs> owned;
  return owned;
}

Dialogs*& current() {
  static Dialogs* dialogs = &defaultDialogs();
  return dialogs;
}

}  // namespace

Dialogs& currentDialogs() { return *current(); }

ScopedDialogs::ScopedDialogs(Dialogs& dialogs) : previous_(current()) { current() = &dialogs; }

ScopedDialogs::~ScopedDialogs() { current() = previous_; }

void setCurrentDialogs(std::unique_ptr<Dialogs> dialogs) {
  ownedDialogs() = std::move(dialogs);
  current() = ownedDialogs() ? ownedDialogs().get() : &defaultDialogs();
}

bool confirmBox(void* owner, std::u16string_view text) {
  return currentDialogs().message(owner, MessageKind::Confirm, kConfirmCaption, text);
}

void errorBox(void* owner, std::u16string_view text) {
  currentDialogs().message(owner, MessageKind::Error, kErrorCaption, text);
}

void warningBox(void* owner, std::u16string_view text) {
  currentDialogs().message(owner, MessageKind::Warning, kWarningCaption, text);
}

void infoBox(std::u16string_view text) {
  currentDialogs().message(nullptr, MessageKind::Info, u"", text);
}

bool inputBox(void* owner, std::u16string_view caption, std::u16string_view prompt,
              std::u16string& text) {
  return currentDialogs().input(owner, caption, prompt, text);
}

}  // namespace zq
