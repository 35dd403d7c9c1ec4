#include "core/text_file.h"

#include "core/codepage.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr size_t kReadChunk = 1 << 16;

size_t unitSize(const ttextfile& t) {
  return t.encoding == TextEncoding::Utf16LE || t.encoding == TextEncoding::Utf16BE ? 2 : 1;
}

// Reads the next chunk behind what is buffered. False when nothing came.
bool readMore(ttextfile& t) {
  if (t.sourceEnded || !t.file.isOpen()) return false;
  t.buffer.erase(0, t.position);
  t.position = 0;
  const size_t had = t.buffer.size();
  t.buffer.resize(had + kReadChunk);
  size_t count = kReadChunk;
  readBlock(t.file, t.buffer.data() + had, count);
  t.buffer.resize(had + count);
  if (count == 0) {
    t.sourceEnded = true;
    // Nothing read before the end of the file is a read error.
    if (!atEndOfFile(t.file)) t.failed = true;
    return false;
  }
  return true;
}

// Offset of the next line feed unit at or after `from`, or npos.
size_t findLineFeed(const ttextfile& t, size_t from) {
  const std::string& b = t.buffer;
  switch (t.encoding) {
    case TextEncoding::Utf16LE:
      for (size_t i = from; i + 1 < b.size(); i += 2)
        if (b[i] == '\n' && b[i + 1] == 0) return i;
      return std::string::npos;
    case TextEncoding::Utf16BE:
      for (size_t i = from; i + 1 < b.size(); i += 2)
        if (b[i] == 0 && b[i + 1] == '\n') return i;
      return std::string::npos;
    default:
      return b.find('\n', from);
  }
}

std::u16string decode(const ttextfile& t, std::string_view bytes) {
  switch (t.encoding) {
    case TextEncoding::Ansi:
      return ansiToWide(bytes, t.codePage);
    case TextEncoding::Utf8:
      return utf8ToWide(bytes);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
      const bool little = t.encoding == TextEncoding::Utf16LE;
      std::u16string out;
      out.reserve(bytes.size() / 2);
      for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<uint8_t>(bytes[little ? i : i + 1]);
        const auto hi = static_cast<uint8_t>(bytes[little ? i + 1 : i]);
        out += static_cast<char16_t>(lo | (hi << 8));
      }
      return out;
    }
  }
  return {};
}

void reset(ttextfile& t) {
  closeFile(t.file);
  t.writing = false;
  t.encoding = TextEncoding::Ansi;
  t.failed = false;
  t.buffer.clear();
  t.position = 0;
  t.sourceEnded = false;
}

}  // namespace

bool createTextFile(ttextfile& t, std::u16string_view path) {
  reset(t);
  t.codePage = currentMachine().ansiCodePage();
  t.writing = true;
  return openForWrite(t.file, path);
}

bool openTextFile(ttextfile& t, std::u16string_view path) {
  reset(t);
  t.codePage = currentMachine().ansiCodePage();
  if (!openForRead(t.file, path)) return false;
  while (t.buffer.size() < 3 && readMore(t)) {
  }
  const std::string_view head = t.buffer;
  if (head.starts_with("\xFF\xFE")) {
    t.encoding = TextEncoding::Utf16LE;
    t.position = 2;
  } else if (head.starts_with("\xFE\xFF")) {
    t.encoding = TextEncoding::Utf16BE;
    t.position = 2;
  } else if (head.starts_with("\xEF\xBB\xBF")) {
    t.encoding = TextEncoding::Utf8;
    t.position = 3;
  }
  return !t.failed;
}

bool readTextLine(ttextfile& t, std::u16string& out) {
  out.clear();
  if (t.writing || !t.file.isOpen() || t.failed) return false;
  const size_t unit = unitSize(t);
  // Bytes after `position` already searched (whole units). Stays valid when
  // readMore moves the unread bytes to the front of the buffer.
  size_t searched = 0;
  size_t lineFeed;
  for (;;) {
    lineFeed = findLineFeed(t, t.position + searched);
    if (lineFeed != std::string::npos) break;
    searched = (t.buffer.size() - t.position) / unit * unit;
    if (!readMore(t)) break;
  }
  if (t.failed) return false;
  size_t end, next;
  if (lineFeed != std::string::npos) {
    end = lineFeed;
    next = lineFeed + unit;
  } else {
    // The last line has no line end; a stray odd byte of UTF-16 is dropped.
    end = t.buffer.size() - (t.buffer.size() - t.position) % unit;
    next = t.buffer.size();
    if (end == t.position) {
      t.position = next;
      return false;
    }
  }
  out = decode(t, std::string_view(t.buffer).substr(t.position, end - t.position));
  if (!out.empty() && out.back() == u'\r') out.pop_back();
  t.position = next;
  return true;
}

bool writeTextLine(ttextfile& t, std::u16string_view s) {
  return writeTextLine(t, std::string_view(wideToAnsi(s, t.codePage)));
}

bool writeTextLine(ttextfile& t, std::string_view bytes) {
  if (!t.writing || !t.file.isOpen() || t.failed) return false;
  std::string line(bytes);
  line += "\r\n";
  if (!writeBlock(t.file, line.data(), line.size())) {
    t.failed = true;
    return false;
  }
  return true;
}

void closeTextFile(ttextfile& t) { reset(t); }

bool textFileEnded(ttextfile& t) {
  if (t.failed || !t.file.isOpen()) return true;
  if (t.writing) return false;
  if (t.buffer.size() - t.position >= unitSize(t)) return false;
  // Nothing whole is buffered: ended when the file has nothing more either.
  while (!t.sourceEnded && t.buffer.size() - t.position < unitSize(t)) {
    if (!readMore(t)) break;
  }
  return t.failed || t.buffer.size() - t.position < unitSize(t);
}

}  // namespace zq
