#include "core/registry_text.h"

#include "core/text.h"

namespace zq::regfile {

namespace {

constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
constexpr uint64_t kTicksPerSecond = 10000000ULL;

// The C escapes the files use for control characters; '.' means octal.
constexpr char kControlEscapes[33] = ".......abtnvfr.............e....";

constexpr char kHexDigits[] = "0123456789abcdef";

bool isHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned hexValue(char c) {
  if (c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a') return static_cast<unsigned>(c - 'a' + 10);
  return static_cast<unsigned>(c - 'A' + 10);
}

bool isOctal(char16_t c) { return c >= u'0' && c <= u'7'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

void skipSpace(std::string_view s, size_t& p) {
  while (p < s.size() && isSpace(s[p])) ++p;
}

bool onlySpaceFrom(std::string_view s, size_t p) {
  skipSpace(s, p);
  return p == s.size();
}

void appendHex(std::string& out, uint64_t v, int minDigits) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = kHexDigits[v & 0xF];
    v >>= 4;
  } while (v != 0);
  for (; n < minDigits; ++n) buf[n] = '0';
  while (n > 0) out += buf[--n];
}

void appendOctal(std::string& out, unsigned v, int minDigits) {
  char buf[8];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + (v & 7));
    v >>= 3;
  } while (v != 0);
  for (; n < minDigits; ++n) buf[n] = '0';
  while (n > 0) out += buf[--n];
}

// One character of raw (unescaped) text at p: UTF-8 when the bytes form a
// valid sequence, else the single byte as Latin-1.
void readRawChar(std::string_view s, size_t& p, std::u16string& out) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char c = byte(p);
  size_t len = 0;
  uint32_t cp = 0;
  uint32_t minimum = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2, cp = c & 0x1F, minimum = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3, cp = c & 0x0F, minimum = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4, cp = c & 0x07, minimum = 0x10000;
  }
  if (len != 0 && p + len <= s.size()) {
    bool ok = true;
    for (size_t i = 1; i < len && ok; ++i) {
      unsigned char b = byte(p + i);
      ok = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (ok && cp >= minimum && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF)) {
      appendCodePoint(out, cp);
      p += len;
      return;
    }
  }
  out += static_cast<char16_t>(c);
  ++p;
}

bool startsWith(std::string_view s, size_t p, std::string_view prefix) {
  return s.substr(p, prefix.size()) == prefix;
}

// Reads up to maxDigits hex digits; false when there is none or more follow.
bool readHexNumber(std::string_view s, size_t& p, size_t maxDigits, uint64_t& v) {
  size_t start = p;
  v = 0;
  while (p < s.size() && isHex(s[p])) {
    if (p - start == maxDigits) return false;
    v = v * 16 + hexValue(s[p]);
    ++p;
  }
  return p > start;
}

bool parseHexData(std::string_view line, size_t p, LineReader& more, std::vector<uint8_t>& data,
                  std::string& reason) {
  for (;;) {
    while (p < line.size() && isHex(line[p])) {
      uint64_t byte = 0;
      if (!readHexNumber(line, p, 2, byte)) {
        reason = "bad hex byte";
        return false;
      }
      data.push_back(static_cast<uint8_t>(byte));
      skipSpace(line, p);
      if (p < line.size() && line[p] == ',') ++p;
      skipSpace(line, p);
    }
    if (p == line.size()) return true;
    if (line[p] != '\\' || !onlySpaceFrom(line, p + 1)) {
      reason = "bad hex data";
      return false;
    }
    if (!more.next(line)) {
      reason = "hex data continues past the end of the file";
      return false;
    }
    p = 0;
    skipSpace(line, p);
  }
}

}  // namespace

bool LineReader::next(std::string_view& line) {
  if (pos_ >= text_.size()) return false;
  start_ = pos_;
  size_t end = text_.find('\n', pos_);
  if (end == std::string_view::npos) {
    end = text_.size();
    pos_ = end;
  } else {
    pos_ = end + 1;
  }
  if (end > start_ && text_[end - 1] == '\r') --end;
  line = text_.substr(start_, end - start_);
  ++number_;
  return true;
}

void appendEscaped(std::string& out, std::u16string_view text, char delim1, char delim2) {
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    bool hasNext = i + 1 < text.size();
    char16_t next = hasNext ? text[i + 1] : 0;
    if (c > 127) {
      // A following hex digit would be read as part of the escape: pad.
      bool pad = hasNext && next < 128 && isHex(static_cast<char>(next));
      out += "\\x";
      appendHex(out, c, pad ? 4 : 1);
    } else if (c < 32) {
      out += '\\';
      if (kControlEscapes[c] != '.') {
        out += kControlEscapes[c];
      } else {
        appendOctal(out, c, hasNext && isOctal(next) ? 3 : 1);
      }
    } else {
      char a = static_cast<char>(c);
      if (a == '\\' || a == delim1 || a == delim2) out += '\\';
      out += a;
    }
  }
}

bool readEscaped(std::string_view in, size_t& pos, char end, std::u16string& out) {
  size_t p = pos;
  while (p < in.size()) {
    char c = in[p];
    if (c == end) {
      pos = p + 1;
      return true;
    }
    if (static_cast<unsigned char>(c) >= 0x80) {
      readRawChar(in, p, out);
      continue;
    }
    ++p;
    if (c != '\\') {
      out += static_cast<char16_t>(c);
      continue;
    }
    if (p == in.size()) return false;
    char e = in[p];
    switch (e) {
      case 'a': out += u'\a'; ++p; break;
      case 'b': out += u'\b'; ++p; break;
      case 't': out += u'\t'; ++p; break;
      case 'n': out += u'\n'; ++p; break;
      case 'v': out += u'\v'; ++p; break;
      case 'f': out += u'\f'; ++p; break;
      case 'r': out += u'\r'; ++p; break;
      case 'e': out += char16_t{0x1b}; ++p; break;
      case 'x': {
        ++p;
        uint64_t v = 0;
        if (p < in.size() && isHex(in[p])) {
          for (int n = 0; n < 4 && p < in.size() && isHex(in[p]); ++n) v = v * 16 + hexValue(in[p++]);
          out += static_cast<char16_t>(v);
        } else {
          out += u'x';
        }
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned v = 0;
          for (int n = 0; n < 3 && p < in.size() && in[p] >= '0' && in[p] <= '7'; ++n)
            v = v * 8 + static_cast<unsigned>(in[p++] - '0');
          out += static_cast<char16_t>(v);
        } else if (static_cast<unsigned char>(e) >= 0x80) {
          readRawChar(in, p, out);
        } else {
          out += static_cast<char16_t>(e);
          ++p;
        }
    }
  }
  return false;
}

bool parseKeyLine(std::string_view line, KeyLine& out, std::string& reason) {
  out = KeyLine{};
  size_t p = 1;
  std::u16string full;
  if (line.empty() || line[0] != '[' || !readEscaped(line, p, ']', full)) {
    reason = "unterminated key name";
    return false;
  }
  // An escaped backslash is the separator; a name cannot hold one.
  size_t start = 0;
  while (start <= full.size()) {
    size_t sep = full.find(u'\\', start);
    if (sep == std::u16string::npos) sep = full.size();
    if (sep > start) out.path.emplace_back(full.substr(start, sep - start));
    start = sep + 1;
  }
  skipSpace(line, p);
  if (p < line.size() && line[p] >= '0' && line[p] <= '9') {
    uint64_t seconds = 0;
    while (p < line.size() && line[p] >= '0' && line[p] <= '9') {
      seconds = seconds * 10 + static_cast<uint64_t>(line[p++] - '0');
      if (seconds > 0xFFFFFFFFULL) {
        reason = "bad key time";
        return false;
      }
    }
    out.hasSeconds = true;
    out.seconds = static_cast<uint32_t>(seconds);
  }
  if (!onlySpaceFrom(line, p)) {
    reason = "unexpected text after the key name";
    return false;
  }
  return true;
}

void appendKeyHeader(std::string& out, const std::vector<const std::u16string*>& path,
                     uint64_t fileTime) {
  out += '[';
  for (size_t i = 0; i < path.size(); ++i) {
    if (i > 0) out += "\\\\";
    appendEscaped(out, *path[i], '[', ']');
  }
  out += "] ";
  out += std::to_string(keyLineSeconds(fileTime));
  out += "\n#time=";
  appendHex(out, fileTime, 1);
  out += '\n';
}

void appendValue(std::string& out, const RegValue& value) {
  size_t lineStart = out.size();
  if (value.name.empty()) {
    out += "@=";
  } else {
    out += '"';
    appendEscaped(out, value.name, '"', '"');
    out += "\"=";
  }
  const std::vector<uint8_t>& data = value.data;
  switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegMultiSz: {
      // Only a NUL-terminated UTF-16 string has a string form; the
      // terminating NUL is implied, so it is not written.
      size_t n = data.size();
      if (n < 2 || n % 2 != 0 || data[n - 2] != 0 || data[n - 1] != 0) break;
      if (value.type != kRegSz) {
        out += "str(";
        appendHex(out, value.type, 1);
        out += "):";
      }
      std::u16string text;
      text.reserve(n / 2 - 1);
      for (size_t i = 0; i + 2 < n; i += 2)
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
      out += '"';
      appendEscaped(out, text, '"', '"');
      out += "\"\n";
      return;
    }
    case kRegDword:
      if (data.size() != 4) break;
      out += "dword:";
      appendHex(out, static_cast<uint32_t>(data[0] | (data[1] << 8) | (data[2] << 16)) |
                         (static_cast<uint32_t>(data[3]) << 24),
                8);
      out += '\n';
      return;
    default:
      break;
  }
  if (value.type == kRegBinary) {
    out += "hex:";
  } else {
    out += "hex(";
    appendHex(out, value.type, 1);
    out += "):";
  }
  for (size_t i = 0; i < data.size(); ++i) {
    appendHex(out, data[i], 2);
    if (i + 1 < data.size()) {
      out += ',';
      // Wrap after a comma once the line is longer than 76 characters.
      if (out.size() - lineStart > 76) {
        out += "\\\n  ";
        lineStart = out.size() - 2;
      }
    }
  }
  out += '\n';
}

bool parseValue(std::string_view line, LineReader& more, RegValue& out, std::string& reason) {
  out = RegValue{};
  size_t p = 0;
  skipSpace(line, p);
  if (p < line.size() && line[p] == '@') {
    ++p;
  } else if (p < line.size() && line[p] == '"') {
    ++p;
    if (!readEscaped(line, p, '"', out.name)) {
      reason = "unterminated value name";
      return false;
    }
  } else {
    reason = "not a value";
    return false;
  }
  skipSpace(line, p);
  if (p == line.size() || line[p] != '=') {
    reason = "missing \"=\" after the value name";
    return false;
  }
  ++p;
  skipSpace(line, p);

  size_t stringStart = 0;
  if (startsWith(line, p, "\"")) {
    out.type = kRegSz, stringStart = p + 1;
  } else if (startsWith(line, p, "str:\"")) {
    out.type = kRegSz, stringStart = p + 5;
  } else if (startsWith(line, p, "str(2):\"")) {
    out.type = kRegExpandSz, stringStart = p + 8;
  } else if (startsWith(line, p, "str(7):\"")) {
    out.type = kRegMultiSz, stringStart = p + 8;
  }
  if (stringStart != 0) {
    std::u16string text;
    size_t q = stringStart;
    if (!readEscaped(line, q, '"', text)) {
      reason = "unterminated string";
      return false;
    }
    if (!onlySpaceFrom(line, q)) {
      reason = "unexpected text after the string";
      return false;
    }
    out.data.reserve(text.size() * 2 + 2);
    for (char16_t c : text) {
      out.data.push_back(static_cast<uint8_t>(c & 0xFF));
      out.data.push_back(static_cast<uint8_t>(c >> 8));
    }
    out.data.push_back(0);
    out.data.push_back(0);
    return true;
  }

  if (startsWith(line, p, "dword:")) {
    p += 6;
    uint64_t v = 0;
    if (!readHexNumber(line, p, 8, v) || !onlySpaceFrom(line, p)) {
      reason = "bad dword";
      return false;
    }
    out.type = kRegDword;
    for (int i = 0; i < 4; ++i) out.data.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return true;
  }
  if (startsWith(line, p, "hex:")) {
    out.type = kRegBinary;
    p += 4;
  } else if (startsWith(line, p, "hex(")) {
    p += 4;
    uint64_t type = 0;
    if (!readHexNumber(line, p, 8, type) || !startsWith(line, p, "):")) {
      reason = "bad value type";
      return false;
    }
    out.type = static_cast<uint32_t>(type);
    p += 2;
  } else {
    reason = "unknown value type";
    return false;
  }
  return parseHexData(line, p, more, out.data, reason);
}

bool parseTimeOption(std::string_view line, uint64_t& fileTime) {
  if (!startsWith(line, 0, "#time=")) return false;
  size_t p = 6;
  return readHexNumber(line, p, 16, fileTime) && onlySpaceFrom(line, p);
}

uint32_t keyLineSeconds(uint64_t fileTime) {
  int64_t ticks = static_cast<int64_t>(fileTime - kUnixEpochAsFileTime);
  return static_cast<uint32_t>(ticks / static_cast<int64_t>(kTicksPerSecond));
}

uint64_t fileTimeOfSeconds(uint32_t seconds) {
  return seconds * kTicksPerSecond + kUnixEpochAsFileTime;
}

}  // namespace zq::regfile
