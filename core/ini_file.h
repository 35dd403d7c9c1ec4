// A small read-only reader of INI-style text files (the settings files of
// other programs). The whole file is read as lines; lookups go by section and
// key, letter case ignored.
//
// As the reader sees a file: a section header is a line whose trimmed text is
// "[" + name + "]"; a line whose first character is "#" is a comment; a key
// line is any other line with "=", its key the trimmed text before the first
// "=", its value the text after it, not trimmed. A section runs until the next
// line whose trimmed text begins with "["; only the first header of a name
// counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zq {

class tinifile {
 public:
  // Remembers the path and loads the file's lines when the file exists
  // (ANSI, or UTF-16 / UTF-8 with a byte-order mark). True when at least one
  // line was loaded and reading did not fail.
  bool loadFile(std::u16string_view path);

  // Index (0-based, into lines()) of the section's header; -1 and false when
  // there is none.
  bool findSection(std::u16string_view section, int64_t& index) const;
  // Index of the key's line inside the section; -1 and false when missing.
  bool findKey(std::u16string_view section, std::u16string_view key, int64_t& index) const;

  // The text after the key line's first "=" (spaces kept), or the default.
  std::u16string readValue(std::u16string_view section, std::u16string_view key,
                           std::u16string_view defaultText) const;
  // The value as a 64-bit integer, or the default when it is missing or not
  // a whole integer ("12 kB" is not).
  int64_t readNumber(std::u16string_view section, std::u16string_view key,
                     int64_t defaultValue) const;

  // Frees the lines.
  void release();

  const std::u16string& path() const { return path_; }
  const std::vector<std::u16string>& lines() const { return lines_; }

 private:
  std::u16string path_;
  std::vector<std::u16string> lines_;
};

// One value of one file: load, read, release. Section, key and default are
// ANSI text (the machine's code page), and so is the result.
std::string readIniString(std::u16string_view path, std::string_view section,
                          std::string_view key, std::string_view defaultText);

}  // namespace zq
