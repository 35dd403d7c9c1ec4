#include "core/console_view.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <vector>

#include "core/event_loop.h"
#include "core/text.h"

namespace zq {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onInterrupt(int) { gInterrupted = 1; }

constexpr int kBarCells = 20;
// " [" + cells + "] " + "100%"
constexpr int kBarWidth = kBarCells + 8;

int terminalColumns(std::FILE* out) {
  struct winsize size {};
  if (ioctl(fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

// A UTF-8 text cut to `columns` characters (code points): a longer text keeps
// its end, where a path has its file name, behind "...".
std::string fitColumns(const std::string& text, int columns) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  if (static_cast<int>(starts.size()) <= columns) return text;
  if (columns <= 3) return "...";
  return "..." + text.substr(starts[starts.size() - static_cast<size_t>(columns - 3)]);
}

}  // namespace

ConsoleView::ConsoleView()
    : ConsoleView(stdout, isatty(fileno(stdout)) != 0, terminalColumns(stdout)) {}

ConsoleView::ConsoleView(std::FILE* out, bool terminal, int columns)
    : out_(out),
      terminal_(terminal),
      columns_(columns < kBarWidth + 10 ? kBarWidth + 10 : columns) {}

ConsoleView::~ConsoleView() { endLine(); }

void ConsoleView::setTitle(const std::u16string& text) { printBlock(text); }

void ConsoleView::setProgressText(const std::u16string& text) {
  if (text == progress_) return;
  progress_ = text;
  if (terminal_) {
    drawBar();
  } else if (!text.empty()) {
    std::fprintf(out_, "%s\n", wideToUtf8(text).c_str());
    std::fflush(out_);
  }
}

void ConsoleView::setProgressBar(int percent) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  if (percent == percent_) return;
  percent_ = percent;
  if (terminal_) drawBar();
}

void ConsoleView::setInfoText(const std::u16string& text) { printBlock(text); }

int ConsoleView::textWidth(std::u16string_view text) { return static_cast<int>(text.size()) * 6; }

void ConsoleView::pump() { processMessages(); }

bool ConsoleView::cancelled() { return gInterrupted != 0; }

void ConsoleView::endLine() {
  if (!lineOpen_) return;
  std::fputc('\n', out_);
  std::fflush(out_);
  lineOpen_ = false;
}

void ConsoleView::catchInterrupt() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

void ConsoleView::requestCancel() { gInterrupted = 1; }

void ConsoleView::drawBar() {
  const int textColumns = columns_ - 1 - kBarWidth;
  std::string line = fitColumns(wideToUtf8(progress_), textColumns);
  // Pad by characters so the bar stays in one place.
  int shown = 0;
  for (unsigned char c : line) shown += (c & 0xC0) != 0x80 ? 1 : 0;
  line.append(static_cast<size_t>(textColumns - shown), ' ');
  const int percent = percent_ < 0 ? 0 : percent_;
  const int filled = percent * kBarCells / 100;
  line += " [" + std::string(static_cast<size_t>(filled), '#') +
          std::string(static_cast<size_t>(kBarCells - filled), '.') + "] ";
  char number[16];
  std::snprintf(number, sizeof number, "%3d%%", percent);
  line += number;
  std::fprintf(out_, "\r%s\x1b[K", line.c_str());
  std::fflush(out_);
  lineOpen_ = true;
}

void ConsoleView::printBlock(const std::u16string& text) {
  if (text.empty()) return;
  endLine();
  std::fprintf(out_, "%s\n", wideToUtf8(text).c_str());
  std::fflush(out_);
}

}  // namespace zq
