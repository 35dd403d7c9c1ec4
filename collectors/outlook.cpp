#include "collectors/outlook.h"

#include <array>
#include <string_view>

#include "collectors/catalogue.h"
#include "core/machine.h"
#include "core/system_helpers.h"

namespace zq {
namespace {

constexpr std::string_view kProgramName = "Outlook";
constexpr std::u16string_view kPathValue = u"01020fff";

// Office keeps the profiles in the first key; older systems in the second.
constexpr std::array<std::u16string_view, 2> kProfileKeys = {
    u"Software\\Microsoft\\Windows Messaging Subsystem\\Profiles",
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles",
};

// The value begins with a header of this many bytes; shorter values name no file.
constexpr size_t kHeaderSize = 53;

// A byte of the value; bytes past its end read as zero, as they would in a
// zero-filled buffer, so a short value is judged like any other.
uint8_t byteAt(const std::vector<uint8_t>& data, size_t offset) {
  return offset < data.size() ? data[offset] : 0;
}

std::u16string narrowFrom(const std::vector<uint8_t>& data, size_t offset) {
  std::string text;
  for (size_t i = offset; i < data.size() && data[i] != 0; ++i) {
    text += static_cast<char>(data[i]);
  }
  return ansiToWide(text);
}

std::u16string wideFrom(const std::vector<uint8_t>& data, size_t offset) {
  std::u16string text;
  for (size_t i = offset; i + 1 < data.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    text += unit;
  }
  return text;
}

}  // namespace

std::u16string pstPathFromValue(const std::vector<uint8_t>& data) {
  if (data.size() <= kHeaderSize) return {};
  if (byteAt(data, 54) == 0 && byteAt(data, 55) == 0) return narrowFrom(data, 57);
  if (data[53] == 0) return wideFrom(data, 54);
  return narrowFrom(data, 53);
}

bool collectOutlook(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));

  Machine& machine = currentMachine();
  std::u16string profiles;
  for (std::u16string_view key : kProfileKeys) {
    if (machine.keyExists(RegRoot::CurrentUser, key)) {
      profiles = key;
      break;
    }
  }

  bool stored = false;
  if (!profiles.empty()) {
    for (const std::u16string& profile : machine.subkeyNames(RegRoot::CurrentUser, profiles)) {
      const std::u16string profileKey = profiles + u"\\" + profile;
      for (const std::u16string& section :
           machine.subkeyNames(RegRoot::CurrentUser, profileKey)) {
        RegValue value;
        // Only a binary value holds a path; the whole value is read, however long.
        if (!machine.readValue(RegRoot::CurrentUser, profileKey + u"\\" + section, kPathValue,
                               value) ||
            value.type != kRegBinary) {
          continue;
        }
        const std::u16string path = pstPathFromValue(value.data);
        if (path.empty()) continue;
        if (entries.addFile(path, u"", "pst", std::string(kProgramName))) stored = true;
      }
    }
  }

  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(index));
  }
  return stored;
}

}  // namespace zq
