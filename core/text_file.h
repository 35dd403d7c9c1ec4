// Line-by-line text files. Reading understands the machine's ANSI code page,
// UTF-16 with a byte-order mark (either byte order) and UTF-8 with a
// byte-order mark; lines end in CRLF or LF and come back as wide text without
// their ending. Writing produces ANSI text with CRLF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/files.h"

namespace zq {

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct ttextfile {
  tfile file;
  bool writing = false;
  TextEncoding encoding = TextEncoding::Ansi;
  uint32_t codePage = 1252;
  bool failed = false;
  // Read-ahead: bytes from `position` on are not yet returned as lines.
  std::string buffer;
  size_t position = 0;
  bool sourceEnded = false;
};

// Creates the parent folders and a new (or emptied) file for writing lines.
bool createTextFile(ttextfile& text, std::u16string_view path);
// Opens an existing file for reading lines; its byte-order mark, if any,
// decides the encoding.
bool openTextFile(ttextfile& text, std::u16string_view path);
// The next line; false at the end of the file or on an error. A last line
// without a line end is still a line.
bool readTextLine(ttextfile& text, std::u16string& out);
// Writes s in the ANSI code page (characters it cannot hold become "?")
// followed by CR LF. True on success.
bool writeTextLine(ttextfile& text, std::u16string_view s);
// Writes the bytes as they are, followed by CR LF.
bool writeTextLine(ttextfile& text, std::string_view bytes);
// Closes the file, ignoring errors.
void closeTextFile(ttextfile& text);
// True at the end of the file, after an error, or when the file is closed.
bool textFileEnded(ttextfile& text);

}  // namespace zq
