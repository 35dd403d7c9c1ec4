// A progress view for terminals, used by headless runs. On a terminal the
// progress is one line redrawn in place (the text and a bar); otherwise every
// new progress text is a plain line of its own and the bar is not shown, so
// logs and pipes get readable output. Titles and information texts are
// printed as they come. Ctrl+C, once catchInterrupt() is called, counts as a
// confirmed Cancel.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/progress_view.h"

namespace zq {

class ConsoleView : public ProgressView {
 public:
  // Standard output; the one-line bar when it is a terminal.
  ConsoleView();
  // `columns` is the width the bar line is cut to.
  ConsoleView(std::FILE* out, bool terminal, int columns = 80);
  ~ConsoleView() override;
  ConsoleView(const ConsoleView&) = delete;
  ConsoleView& operator=(const ConsoleView&) = delete;

  void setTitle(const std::u16string& text) override;
  void setProgressText(const std::u16string& text) override;
  void setProgressBar(int percent) override;
  void setInfoText(const std::u16string& text) override;
  // Six pixels a character: the 454-pixel progress line holds 75.
  int textWidth(std::u16string_view text) override;
  // Handles pending events of the current event loop.
  void pump() override;
  bool cancelled() override;

  // Ends the bar line, if one is drawn, so that other output starts afresh.
  void endLine();

  // From now on Ctrl+C (SIGINT) cancels every console view's work instead of
  // ending the program at once.
  static void catchInterrupt();
  // Tests and callers that cancel by other means.
  static void requestCancel();

 private:
  void drawBar();
  void printBlock(const std::u16string& text);

  std::FILE* out_;
  bool terminal_;
  int columns_;
  std::u16string progress_;
  int percent_ = -1;
  bool lineOpen_ = false;
};

}  // namespace zq
