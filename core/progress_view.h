// What a long operation (backup run, restore run, disk search) shows and asks
// while it works. Engines talk only to this; the window implements it with its
// labels and progress bar, headless runs with a console view, tests with a
// recording view.
#pragma once

#include <string>
#include <string_view>

namespace zq {

class ProgressView {
 public:
  virtual ~ProgressView() = default;

  // The page's headline (shown when a run ends).
  virtual void setTitle(const std::u16string& text) = 0;
  // The progress line: what is being worked on now.
  virtual void setProgressText(const std::u16string& text) = 0;
  // Progress of the current item, 0 to 100.
  virtual void setProgressBar(int percent) = 0;
  // The information text below the progress (collector announcements, results).
  virtual void setInfoText(const std::u16string& text) = 0;
  // Width of a text in the progress line's font, in pixels; used to shorten
  // long paths so they fit the line.
  virtual int textWidth(std::u16string_view text) = 0;
  // Lets the user interface catch up: repaint and process pending events.
  virtual void pump() = 0;
  // True once the user has confirmed Cancel.
  virtual bool cancelled() = 0;
};

}  // namespace zq
