#include "core/ini_file.h"

#include "core/files.h"
#include "core/strings.h"
#include "core/system_helpers.h"
#include "core/text.h"
#include "core/text_file.h"

namespace zq {

bool tinifile::loadFile(std::u16string_view path) {
  path_ = std::u16string(path);
  lines_.clear();
  if (!fileExists(path)) return false;
  ttextfile text;
  if (!openTextFile(text, path)) return false;
  std::u16string line;
  while (readTextLine(text, line)) lines_.push_back(line);
  const bool failed = text.failed;
  closeTextFile(text);
  return !failed && !lines_.empty();
}

bool tinifile::findSection(std::u16string_view section, int64_t& index) const {
  const std::u16string header = wideUpper(u"[" + std::u16string(section) + u"]");
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::u16string& line = lines_[i];
    if (!line.empty() && line[0] == u'#') continue;
    if (wideUpper(trimText(line)) == header) {
      index = static_cast<int64_t>(i);
      return true;
    }
  }
  index = -1;
  return false;
}

bool tinifile::findKey(std::u16string_view section, std::u16string_view key,
                       int64_t& index) const {
  int64_t header = -1;
  if (findSection(section, header)) {
    const std::u16string wanted = wideUpper(key);
    for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
      const std::u16string trimmed = trimText(lines_[i]);
      if (trimmed.starts_with(u'[')) break;
      if (trimmed.starts_with(u'#')) continue;
      const size_t equals = lines_[i].find(u'=');
      if (equals == std::u16string::npos) continue;
      if (wideUpper(trimText(std::u16string_view(lines_[i]).substr(0, equals))) == wanted) {
        index = static_cast<int64_t>(i);
        return true;
      }
    }
  }
  index = -1;
  return false;
}

std::u16string tinifile::readValue(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view defaultText) const {
  int64_t index = -1;
  if (!findKey(section, key, index)) return std::u16string(defaultText);
  const std::u16string& line = lines_[static_cast<size_t>(index)];
  return line.substr(line.find(u'=') + 1);
}

int64_t tinifile::readNumber(std::u16string_view section, std::u16string_view key,
                             int64_t defaultValue) const {
  int64_t index = -1;
  if (!findKey(section, key, index)) return defaultValue;
  const std::u16string& line = lines_[static_cast<size_t>(index)];
  int64_t value = 0;
  if (!textToInt64(std::u16string_view(line).substr(line.find(u'=') + 1), value)) {
    return defaultValue;
  }
  return value;
}

void tinifile::release() {
  lines_.clear();
  lines_.shrink_to_fit();
}

std::string readIniString(std::u16string_view path, std::string_view section,
                          std::string_view key, std::string_view defaultText) {
  tinifile ini;
  ini.loadFile(path);
  int64_t index = -1;
  if (!ini.findKey(ansiToWide(section), ansiToWide(key), index)) return std::string(defaultText);
  const std::string value = wideToAnsi(ini.readValue(ansiToWide(section), ansiToWide(key), u""));
  ini.release();
  return value;
}

}  // namespace zq
