#include "core/strings.h"

#include <algorithm>
#include <limits>

#include "core/text.h"

namespace zq {
namespace {

// Both kinds of text share one implementation of every helper.

template <typename Char>
std::basic_string<Char> left(std::basic_string_view<Char> s, int64_t n) {
  if (n < 1) return {};
  return std::basic_string<Char>(s.substr(0, static_cast<size_t>(n)));
}

template <typename Char>
std::basic_string<Char> mid(std::basic_string_view<Char> s, int64_t from, int64_t to) {
  if (from < 1) from = 1;
  const int64_t size = static_cast<int64_t>(s.size());
  if (to > size) to = size;
  if (to < from) return {};
  return std::basic_string<Char>(s.substr(static_cast<size_t>(from - 1),
                                          static_cast<size_t>(to - from + 1)));
}

template <typename Char>
int64_t findFrom(std::basic_string_view<Char> sub, std::basic_string_view<Char> s, int64_t from) {
  if (sub.empty()) return 0;
  if (from < 1) from = 1;
  if (from > static_cast<int64_t>(s.size())) return 0;
  const size_t at = s.find(sub, static_cast<size_t>(from - 1));
  return at == std::basic_string_view<Char>::npos ? 0 : static_cast<int64_t>(at) + 1;
}

template <typename Char>
int64_t findLastOf(std::basic_string_view<Char> sub, std::basic_string_view<Char> s) {
  if (sub.empty()) return 0;
  const size_t at = s.rfind(sub);
  return at == std::basic_string_view<Char>::npos ? 0 : static_cast<int64_t>(at) + 1;
}

template <typename Char>
std::basic_string<Char> replaceIn(std::basic_string_view<Char> s, std::basic_string_view<Char> from,
                                std::basic_string_view<Char> to) {
  if (from.empty()) return std::basic_string<Char>(s);
  std::basic_string<Char> out;
  out.reserve(s.size());
  size_t start = 0;
  for (;;) {
    const size_t at = s.find(from, start);
    if (at == std::basic_string_view<Char>::npos) break;
    out.append(s.substr(start, at - start));
    out.append(to);
    start = at + from.size();
  }
  out.append(s.substr(start));
  return out;
}

template <typename Char>
std::basic_string_view<Char> strip(std::basic_string_view<Char> s, Char c) {
  while (!s.empty() && s.front() == c) s.remove_prefix(1);
  while (!s.empty() && s.back() == c) s.remove_suffix(1);
  return s;
}

template <typename Char>
std::basic_string_view<Char> trimmed(std::basic_string_view<Char> s) {
  return strip(strip(s, Char(' ')), Char('\r'));
}

template <typename Char>
std::basic_string<Char> field(std::basic_string_view<Char> s, int64_t n, Char separator) {
  if (n < 1) return {};
  std::basic_string_view<Char> rest = trimmed(s);
  for (int64_t i = 1;; ++i) {
    const size_t at = rest.find(separator);
    if (i == n) return std::basic_string<Char>(rest.substr(0, at));
    if (at == std::basic_string_view<Char>::npos) return {};
    rest.remove_prefix(at + 1);
  }
}

template <typename Char>
std::basic_string<Char> argument(std::basic_string_view<Char> s, int64_t n) {
  if (s.size() == 1 && n == 1) return std::basic_string<Char>(s);
  if (n < 1) return {};
  std::basic_string_view<Char> rest = trimmed(s);
  for (int64_t i = 1;; ++i) {
    while (!rest.empty() && rest.front() == Char(' ')) rest.remove_prefix(1);
    if (rest.empty()) return {};
    std::basic_string_view<Char> arg;
    if (rest.front() == Char('"')) {
      rest.remove_prefix(1);
      const size_t close = rest.find(Char('"'));
      arg = rest.substr(0, close);
      rest.remove_prefix(close == std::basic_string_view<Char>::npos ? rest.size() : close + 1);
    } else {
      const size_t space = rest.find(Char(' '));
      arg = rest.substr(0, space);
      rest.remove_prefix(arg.size());
    }
    if (i == n) return std::basic_string<Char>(arg);
  }
}

template <typename Char>
bool toInt64(std::basic_string_view<Char> s, int64_t& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == Char(' ')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == Char('-') || s[i] == Char('+'))) {
    negative = s[i] == Char('-');
    ++i;
  }
  if (i == s.size()) return false;
  // Accumulate as a negative number so that the smallest int64 fits.
  int64_t value = 0;
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (; i < s.size(); ++i) {
    if (s[i] < Char('0') || s[i] > Char('9')) return false;
    const int digit = static_cast<int>(s[i] - Char('0'));
    if (value < (kMin + digit) / 10) return false;
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == kMin) return false;
    value = -value;
  }
  out = value;
  return true;
}

}  // namespace

std::string leftPart(std::string_view s, int64_t n) { return left(s, n); }
std::u16string leftPart(std::u16string_view s, int64_t n) { return left(s, n); }
std::u16string wideLeft(std::u16string_view s, int64_t n) { return left(s, n); }

std::string rightPart(std::string_view s, int64_t from) {
  return mid(s, from, static_cast<int64_t>(s.size()));
}
std::u16string rightPart(std::u16string_view s, int64_t from) {
  return mid(s, from, static_cast<int64_t>(s.size()));
}
std::u16string wideFrom(std::u16string_view s, int64_t from) { return rightPart(s, from); }

std::string midPart(std::string_view s, int64_t from, int64_t to) { return mid(s, from, to); }
std::u16string midPart(std::u16string_view s, int64_t from, int64_t to) {
  return mid(s, from, to);
}
std::u16string wideMid(std::u16string_view s, int64_t from, int64_t to) {
  return mid(s, from, to);
}

int64_t posFrom(std::string_view sub, std::string_view s, int64_t from) {
  return findFrom(sub, s, from);
}
int64_t posFrom(std::u16string_view sub, std::u16string_view s, int64_t from) {
  return findFrom(sub, s, from);
}
int64_t widePosFrom(std::u16string_view sub, std::u16string_view s, int64_t from) {
  return findFrom(sub, s, from);
}
int64_t widePos(std::u16string_view sub, std::u16string_view s) { return findFrom(sub, s, 1); }

int64_t lastPos(std::string_view sub, std::string_view s) { return findLastOf(sub, s); }
int64_t lastPos(std::u16string_view sub, std::u16string_view s) { return findLastOf(sub, s); }
int64_t wideLastPos(std::u16string_view sub, std::u16string_view s) { return findLastOf(sub, s); }

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
  return replaceIn(s, from, to);
}
std::u16string replaceAll(std::u16string_view s, std::u16string_view from,
                          std::u16string_view to) {
  return replaceIn(s, from, to);
}

std::string trimText(std::string_view s) { return std::string(trimmed(s)); }
std::u16string trimText(std::u16string_view s) { return std::u16string(trimmed(s)); }

std::string fieldAt(std::string_view s, int64_t n, char separator) {
  return field(s, n, separator);
}
std::u16string fieldAt(std::u16string_view s, int64_t n, char16_t separator) {
  return field(s, n, separator);
}

std::string argumentAt(std::string_view s, int64_t n) { return argument(s, n); }
std::u16string argumentAt(std::u16string_view s, int64_t n) { return argument(s, n); }

std::u16string upperText(std::u16string_view s) { return wideUpper(s); }
std::u16string lowerText(std::u16string_view s) { return wideLower(s); }

void copyToWideArray(char16_t* array, size_t capacity, std::u16string_view s) {
  if (capacity == 0) return;
  const size_t count = std::min({s.size(), kWideArrayTextLimit, capacity - 1});
  std::copy_n(s.data(), count, array);
  array[count] = 0;
}

std::string int64ToText(int64_t v) { return std::to_string(v); }

bool textToInt64(std::string_view s, int64_t& out) { return toInt64(s, out); }
bool textToInt64(std::u16string_view s, int64_t& out) { return toInt64(s, out); }

int64_t textToInt64OrMinus1(std::string_view s) {
  int64_t v = 0;
  return toInt64(s, v) ? v : -1;
}
int64_t textToInt64OrMinus1(std::u16string_view s) {
  int64_t v = 0;
  return toInt64(s, v) ? v : -1;
}

int64_t minOf(int64_t a, int64_t b) { return a < b ? a : b; }
int64_t maxOf(int64_t a, int64_t b) { return a > b ? a : b; }

bool stepCounter(int64_t& counter, int64_t limit, int64_t restart) {
  ++counter;
  if (counter <= limit) return false;
  counter = restart;
  return true;
}

int64_t wholeBlockBytes(int64_t blockBits, int64_t bits) {
  if (blockBits < 1 || bits < 1) return 0;
  const int64_t blocks = (bits + blockBits - 1) / blockBits;
  return blocks * blockBits / 8;
}

}  // namespace zq
