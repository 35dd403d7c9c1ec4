// The run log: "lastlog.html" in the folder "Quillo Transfer Prime" of the
// user's application-data folder, rewritten by every backup run. Each line
// ends in CR LF; the header carries the date and time of the run in the
// user's own short date and long time formats.
#pragma once

#include <string>
#include <string_view>

#include "core/text_file.h"

namespace zq {

// The folder below application data that holds the log (and the selection
// files), the same in both editions.
inline constexpr std::u16string_view kDataFolderName = u"Quillo Transfer Prime";
inline constexpr std::u16string_view kRunLogName = u"lastlog.html";

// A local date and time, as the clock shows it.
struct LocalDateTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The host's local time now.
LocalDateTime localNow();

// A date or time written with a Windows format picture: d dd ddd dddd,
// M MM MMM MMMM, y yy yyyy, h hh H HH, m mm, s ss, t tt; text in single
// quotes is copied ('' is one quote); every other character is copied as
// it is. `am` and `pm` are the designators for t and tt.
std::u16string formatDateTime(const LocalDateTime& when, std::u16string_view picture,
                              std::u16string_view am = u"AM", std::u16string_view pm = u"PM");

// The user's short date, a blank and the long time, as HKCU "Control
// Panel\International" gives them (sShortDate, sTimeFormat, s1159, s2359;
// "M/d/yyyy", "h:mm:ss tt", "AM" and "PM" when missing). At exactly
// midnight the time is left out.
std::u16string userDateTimeText(const LocalDateTime& when);

// Where the log goes: application data + "\Quillo Transfer Prime\lastlog.html";
// empty when the application-data folder is unknown.
std::u16string runLogPath();

// Markup characters of a text made harmless for the log page (& < >).
std::u16string escapeLogText(std::u16string_view text);

class RunLog {
 public:
  RunLog() = default;
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Creates the log (and its folder) at runLogPath() and writes the header
  // with the title and date. False, and the log stays closed for the run,
  // when it cannot be created.
  bool start(std::u16string_view applicationTitle, const LocalDateTime& when);
  // The same at a path of the caller's choice.
  bool startAt(const std::u16string& path, std::u16string_view applicationTitle,
               const LocalDateTime& when);

  // Writes text + "<br>"; nothing while the log is closed. The text goes in
  // as it is: callers escape what came from outside (escapeLogText).
  void writeLine(std::u16string_view text);
  // Writes the closing line and closes the file.
  void end();

  bool isOpen() const { return open_; }
  const std::u16string& path() const { return path_; }

 private:
  void put(std::u16string_view line);

  ttextfile file_;
  bool open_ = false;
  std::u16string path_;
};

}  // namespace zq
