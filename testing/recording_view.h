// A progress view that records every call, for tests that check what an
// engine showed: the texts in order, the bar values, the last title and
// information. It can also play the user who confirms Cancel.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/progress_view.h"

namespace zq {

class RecordingView : public ProgressView {
 public:
  enum class Kind { Title, ProgressText, ProgressBar, InfoText };
  struct Event {
    Kind kind;
    std::u16string text;  // empty for ProgressBar
    int value = 0;        // the bar value for ProgressBar
  };

  // Pixels per UTF-16 unit in textWidth: 454 / 7 = 64 units fit the line.
  int charWidth = 7;
  // Cancel is confirmed from the moment this is true (tests set it, or let
  // cancelWhen decide at each question).
  bool cancel = false;
  std::function<bool(const RecordingView&)> cancelWhen;

  std::vector<Event> events;
  int pumps = 0;

  void setTitle(const std::u16string& text) override {
    title = text;
    events.push_back({Kind::Title, text, 0});
  }
  void setProgressText(const std::u16string& text) override {
    events.push_back({Kind::ProgressText, text, 0});
  }
  void setProgressBar(int percent) override { events.push_back({Kind::ProgressBar, {}, percent}); }
  void setInfoText(const std::u16string& text) override {
    info = text;
    events.push_back({Kind::InfoText, text, 0});
  }
  int textWidth(std::u16string_view text) override {
    return static_cast<int>(text.size()) * charWidth;
  }
  void pump() override { ++pumps; }
  bool cancelled() override {
    if (!cancel && cancelWhen && cancelWhen(*this)) cancel = true;
    return cancel;
  }

  // The last title and information text shown.
  std::u16string title;
  std::u16string info;

  // Every text of one kind, in order.
  std::vector<std::u16string> texts(Kind kind) const {
    std::vector<std::u16string> out;
    for (const Event& e : events) {
      if (e.kind == kind) out.push_back(e.text);
    }
    return out;
  }
  std::vector<int> bars() const {
    std::vector<int> out;
    for (const Event& e : events) {
      if (e.kind == Kind::ProgressBar) out.push_back(e.value);
    }
    return out;
  }
};

}  // namespace zq
