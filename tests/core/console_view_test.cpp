// The console view's output: plain lines when the output is not a terminal,
// one redrawn progress line with a bar when it is.
#include "core/console_view.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace zq {
namespace {

// Everything written to a temporary file.
std::string contents(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string out;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) out += static_cast<char>(c);
  return out;
}

TEST(ConsoleView, PlainOutputIsOneLinePerText) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  {
    ConsoleView view(file, false);
    view.setProgressText(u"Initializing...");
    view.setProgressText(u"Initializing...");  // unchanged: not repeated
    view.setProgressBar(40);                   // no bar without a terminal
    view.setInfoText(u"");
    view.setProgressText(u"Archiving C:\\users\\alice\\Gr\u00fc\u00dfe.txt");
    view.setTitle(u"Done!");
    view.setInfoText(u"A total of 1 files\n\nhere");
  }
  EXPECT_EQ(contents(file),
            "Initializing...\n"
            "Archiving C:\\users\\alice\\Gr\xc3\xbc\xc3\x9f"
            "e.txt\n"
            "Done!\n"
            "A total of 1 files\n\nhere\n");
  std::fclose(file);
}

TEST(ConsoleView, TerminalRedrawsOneBarLine) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  {
    // 60 columns: 31 for the text, then " [" 20 cells "] " and the percentage.
    ConsoleView view(file, true, 60);
    view.setProgressText(u"Archiving a.txt");
    view.setProgressBar(50);
    view.setProgressBar(50);  // unchanged: not redrawn
    view.setProgressText(std::u16string(40, u'\u00e9'));
    view.setTitle(u"Done!");
  }
  const std::string pad(16, ' ');
  std::string accents = "...";  // a longer text keeps its end
  for (int i = 0; i < 28; ++i) accents += "\xc3\xa9";
  EXPECT_EQ(contents(file), "\rArchiving a.txt" + pad +
                                " [....................]   0%\x1b[K"
                                "\rArchiving a.txt" +
                                pad +
                                " [##########..........]  50%\x1b[K"
                                "\r" +
                                accents +
                                " [##########..........]  50%\x1b[K"
                                "\nDone!\n");
  std::fclose(file);
}

}  // namespace
}  // namespace zq
