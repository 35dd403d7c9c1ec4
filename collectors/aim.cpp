#include "collectors/aim.h"

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "core/text_file.h"

namespace zq {

namespace {

constexpr std::string_view kProgramName = "AIM";

// The text of the value="..." on a lower-cased settings line; up to the end
// of the line when its closing quote is missing.
std::u16string quotedValue(const std::u16string& line) {
  constexpr std::u16string_view kValue = u"value=\"";
  const size_t start = line.find(kValue);
  if (start == std::u16string::npos) return {};
  const size_t from = start + kValue.size();
  const size_t end = line.find(u'"', from);
  return line.substr(from, end == std::u16string::npos ? std::u16string::npos : end - from);
}

}  // namespace

bool readAimLogSettings(const std::u16string& settingsFile, std::u16string& folder,
                        std::string& tag) {
  folder.clear();
  tag.clear();
  ttextfile text;
  if (!openTextFile(text, settingsFile)) return false;
  std::u16string line;
  while (readTextLine(text, line)) {
    line = wideLower(line);
    if (line.find(u"logginglogim") != std::u16string::npos) {
      tag = "aimlogsdocs";
      if (line.find(u"value=\"yes\"") == std::u16string::npos) break;  // logging is off
      const std::u16string documents = documentsFolder();
      folder = documents.empty() ? std::u16string() : addBackslash(documents) + u"AIMLogger";
    }
    if (line.find(u"logginglogpath") != std::u16string::npos) {
      tag = "aimlogs";
      folder = quotedValue(line);
      break;
    }
  }
  closeTextFile(text);
  return !folder.empty();
}

bool collectAim(Entries& entries) {
  const std::u16string local = localAppDataFolder();
  const std::u16string folder =
      local.empty() ? std::u16string() : addBackslash(local) + u"aim\\settings\\";
  const bool stored = !folder.empty() && folderExists(folder) &&
                      entries.addFolder(folder, u"*", u"", u"", "aim",
                                        std::string(kProgramName), true);
  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(static_cast<size_t>(catalogueIndex(kProgramName))));
  }
  return stored;
}

}  // namespace zq
