// The line format of a prefix's registry files: how names and strings are
// escaped, how one value is written (with hex continuation lines) and read
// back, and the key header line. RegistryHive builds on these; they are kept
// apart so that each rule can be checked line by line.
//
// The files are ASCII: every UTF-16 unit above 127 is written as a "\x"
// escape. Reading also accepts raw UTF-8 (hand-edited files); bytes that are
// not valid UTF-8 are taken as Latin-1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"

namespace zq::regfile {

// The lines of a text, one at a time, without their line end ("\n" or
// "\r\n"). The last line need not end with a line end.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool next(std::string_view& line);
  size_t lineNumber() const { return number_; }  // 1-based, of the line last returned
  size_t lineStart() const { return start_; }    // offset of the line last returned
  size_t position() const { return pos_; }       // offset after it and its line end

 private:
  std::string_view text_;
  size_t pos_ = 0;
  size_t start_ = 0;
  size_t number_ = 0;
};

// Appends wide text escaped as the files write it: backslash and the two
// delimiters get a backslash, control characters become C or octal escapes,
// units above 127 "\x" escapes. Every unit is written, a NUL included.
void appendEscaped(std::string& out, std::u16string_view text, char delim1, char delim2);

// Reads escaped text from `in` at `pos` up to the first unescaped `end`
// character and leaves `pos` just after it. False when there is no end.
bool readEscaped(std::string_view in, size_t& pos, char end, std::u16string& out);

// "[Software\\Key \[x\]] 1796984563": the key path below the hive root
// (empty for the root itself) and the Unix seconds that follow, if any.
struct KeyLine {
  std::vector<std::u16string> path;
  bool hasSeconds = false;
  uint32_t seconds = 0;
};
// `line` starts with "[". False with a reason when it is not a key line.
bool parseKeyLine(std::string_view line, KeyLine& out, std::string& reason);

// "[path] seconds\n#time=filetime\n" for a key with the given write time.
void appendKeyHeader(std::string& out, const std::vector<const std::u16string*>& path,
                     uint64_t fileTime);

// The value's line (and continuation lines), ending with "\n": strings as
// "..."/str(2):/str(7): when the data is a NUL-terminated UTF-16 string,
// dword: for exactly 4 bytes, hex:/hex(N): otherwise.
void appendValue(std::string& out, const RegValue& value);

// Reads a value that starts on `line` ("@=..." or "\"name\"=..."); hex data
// continued with a final "\" takes further lines from `more`. False with a
// reason when the value cannot be read.
bool parseValue(std::string_view line, LineReader& more, RegValue& out, std::string& reason);

// "#time=1dd89598f39c2d0": the key's write time as FILETIME. False when the
// line is not a valid time option.
bool parseTimeOption(std::string_view line, uint64_t& fileTime);

// Unix seconds of a FILETIME as the key line shows them (32 bits, like the
// files), and the FILETIME of such seconds.
uint32_t keyLineSeconds(uint64_t fileTime);
uint64_t fileTimeOfSeconds(uint32_t seconds);

}  // namespace zq::regfile
