#include "archive/run_log.h"

#include <ctime>

#include "core/files.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr std::u16string_view kInternational = u"Control Panel\\International";

constexpr std::u16string_view kMonthNames[] = {u"January",   u"February", u"March",    u"April",
                                               u"May",       u"June",     u"July",     u"August",
                                               u"September", u"October",  u"November", u"December"};
constexpr std::u16string_view kDayNames[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                             u"Thursday", u"Friday", u"Saturday"};

// 0 = Sunday, for a date of the Gregorian calendar.
int weekday(int year, int month, int day) {
  static constexpr int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + kOffsets[(month + 11) % 12] + day) % 7;
}

std::u16string number(int value, int minDigits) {
  std::u16string digits = utf8ToWide(std::to_string(value < 0 ? -value : value));
  while (static_cast<int>(digits.size()) < minDigits) digits.insert(digits.begin(), u'0');
  return digits;
}

std::u16string_view clampedName(const std::u16string_view* names, int count, int index) {
  return index >= 0 && index < count ? names[index] : std::u16string_view{};
}

// The text of one run of a letter in the picture ("dd", "MMMM", "tt").
std::u16string field(const LocalDateTime& when, char16_t letter, int run, std::u16string_view am,
                     std::u16string_view pm) {
  const int hour12 = when.hour % 12 == 0 ? 12 : when.hour % 12;
  const std::u16string_view designator = when.hour < 12 ? am : pm;
  switch (letter) {
    case u'd':
      if (run <= 2) return number(when.day, run);
      return std::u16string(clampedName(kDayNames, 7, weekday(when.year, when.month, when.day))
                                .substr(0, run == 3 ? 3 : std::u16string_view::npos));
    case u'M':
      if (run <= 2) return number(when.month, run);
      return std::u16string(clampedName(kMonthNames, 12, when.month - 1)
                                .substr(0, run == 3 ? 3 : std::u16string_view::npos));
    case u'y':
      if (run <= 2) return number(when.year % 100, run);
      return number(when.year, 4);
    case u'h':
      return number(hour12, run >= 2 ? 2 : 1);
    case u'H':
      return number(when.hour, run >= 2 ? 2 : 1);
    case u'm':
      return number(when.minute, run >= 2 ? 2 : 1);
    case u's':
      return number(when.second, run >= 2 ? 2 : 1);
    case u't':
      return std::u16string(run == 1 ? designator.substr(0, 1) : designator);
    default:
      return std::u16string(static_cast<size_t>(run), letter);
  }
}

bool isFieldLetter(char16_t c) {
  return c == u'd' || c == u'M' || c == u'y' || c == u'h' || c == u'H' || c == u'm' || c == u's' ||
         c == u't';
}

}  // namespace

LocalDateTime localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  LocalDateTime out;
  out.year = parts.tm_year + 1900;
  out.month = parts.tm_mon + 1;
  out.day = parts.tm_mday;
  out.hour = parts.tm_hour;
  out.minute = parts.tm_min;
  out.second = parts.tm_sec;
  return out;
}

std::u16string formatDateTime(const LocalDateTime& when, std::u16string_view picture,
                              std::u16string_view am, std::u16string_view pm) {
  std::u16string out;
  size_t i = 0;
  while (i < picture.size()) {
    const char16_t c = picture[i];
    if (c == u'\'') {
      // Quoted text; a doubled quote inside or outside stands for one quote.
      size_t j = i + 1;
      if (j < picture.size() && picture[j] == u'\'') {
        out += u'\'';
        i = j + 1;
        continue;
      }
      while (j < picture.size()) {
        if (picture[j] == u'\'') {
          if (j + 1 < picture.size() && picture[j + 1] == u'\'') {
            out += u'\'';
            j += 2;
            continue;
          }
          break;
        }
        out += picture[j++];
      }
      i = j + 1;
      continue;
    }
    if (!isFieldLetter(c)) {
      out += c;
      ++i;
      continue;
    }
    size_t j = i;
    while (j < picture.size() && picture[j] == c) ++j;
    out += field(when, c, static_cast<int>(j - i), am, pm);
    i = j;
  }
  return out;
}

std::u16string userDateTimeText(const LocalDateTime& when) {
  std::u16string text =
      formatDateTime(when, readUserRegString(kInternational, u"sShortDate", u"M/d/yyyy"));
  if (when.hour == 0 && when.minute == 0 && when.second == 0) return text;
  const std::u16string am = readUserRegString(kInternational, u"s1159", u"AM");
  const std::u16string pm = readUserRegString(kInternational, u"s2359", u"PM");
  return text + u" " +
         formatDateTime(when, readUserRegString(kInternational, u"sTimeFormat", u"h:mm:ss tt"), am,
                        pm);
}

std::u16string runLogPath() {
  const std::u16string appData = appDataFolder();
  if (appData.empty()) return {};
  return addBackslash(appData) + std::u16string(kDataFolderName) + u"\\" +
         std::u16string(kRunLogName);
}

std::u16string escapeLogText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    switch (c) {
      case u'&':
        out += u"&amp;";
        break;
      case u'<':
        out += u"&lt;";
        break;
      case u'>':
        out += u"&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

RunLog::~RunLog() {
  if (open_) closeTextFile(file_);
}

bool RunLog::start(std::u16string_view applicationTitle, const LocalDateTime& when) {
  return startAt(runLogPath(), applicationTitle, when);
}

bool RunLog::startAt(const std::u16string& path, std::u16string_view applicationTitle,
                     const LocalDateTime& when) {
  if (open_) end();
  path_ = path;
  if (path.empty() || !createTextFile(file_, path)) return false;
  open_ = true;
  const std::u16string title(applicationTitle);
  put(u"<html>");
  put(u"<title>" + title + u" Log</title>");
  put(u"<body>");
  put(u"<h1>" + title + u" Log</h1><br>");
  put(u"<h2>Date: " + userDateTimeText(when) + u"</h2><br><br>");
  return true;
}

void RunLog::writeLine(std::u16string_view text) {
  if (open_) put(std::u16string(text) + u"<br>");
}

void RunLog::end() {
  if (!open_) return;
  put(u"</body></html>");
  closeTextFile(file_);
  open_ = false;
}

void RunLog::put(std::u16string_view line) { writeTextLine(file_, line); }

}  // namespace zq
