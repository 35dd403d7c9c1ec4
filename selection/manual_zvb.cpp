#include "selection/manual_zvb.h"

#include "core/byte_stream.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/known_folders.h"

namespace zq {
namespace {

constexpr char kMagic[4] = {'Z', 'Q', 'M', 'S'};
constexpr size_t kHeaderSize = 12;
constexpr uint8_t kTicked = 1;
// State byte, length, and at least one code unit.
constexpr size_t kSmallestItem = 1 + 2 + 2;

bool fail(std::string& error, std::string reason) {
  error = "manual.zvb: " + std::move(reason);
  return false;
}

}  // namespace

std::string encodeManualSelection(const ManualSelection& selection) {
  std::string out(kMagic, sizeof kMagic);
  putU16(out, kManualZvbVersion);
  putU16(out, 0);
  putU32(out, static_cast<uint32_t>(selection.items().size()));
  for (const std::u16string& item : selection.items()) {
    out.push_back(static_cast<char>(kTicked));
    putU16(out, static_cast<uint16_t>(item.size()));
    for (char16_t unit : item) putU16(out, static_cast<uint16_t>(unit));
  }
  return out;
}

bool decodeManualSelection(std::string_view bytes, ManualSelection& out, std::string& error) {
  out.clear();
  if (bytes.size() < kHeaderSize) {
    return fail(error, "too short for its header (" + std::to_string(bytes.size()) + " bytes)");
  }
  if (bytes.substr(0, 4) != std::string_view(kMagic, sizeof kMagic)) {
    return fail(error, "not a saved manual selection (wrong magic number)");
  }
  ByteReader in(bytes.substr(4));
  uint16_t version = 0, reserved = 0;
  uint32_t count = 0;
  in.u16(version);
  in.u16(reserved);
  in.u32(count);
  if (version != kManualZvbVersion) {
    return fail(error, "unsupported version " + std::to_string(version));
  }
  if (reserved != 0) return fail(error, "reserved header field is not 0");
  if (count > in.remaining() / kSmallestItem) {
    return fail(error, "item count " + std::to_string(count) + " does not fit the file");
  }

  std::vector<std::u16string> items;
  for (uint32_t i = 0; i < count; ++i) {
    const std::string where = "item " + std::to_string(i) + ": ";
    uint8_t state = 0;
    uint16_t length = 0;
    if (!in.u8(state) || !in.u16(length)) return fail(error, where + "cut short");
    if (state != kTicked) return fail(error, where + "unknown state " + std::to_string(state));
    if (length == 0 || length > kMaxItemPath) {
      return fail(error, where + "path length " + std::to_string(length) + " out of range");
    }
    if (in.remaining() < 2u * length) return fail(error, where + "path cut short");
    std::u16string path(length, u'\0');
    for (char16_t& unit : path) {
      uint16_t v = 0;
      in.u16(v);
      unit = static_cast<char16_t>(v);
    }
    if (!isTickablePath(path)) return fail(error, where + "not a full path");
    items.push_back(std::move(path));
  }
  if (in.remaining() != 0) {
    return fail(error, std::to_string(in.remaining()) + " stray bytes after the last item");
  }
  out.assign(std::move(items));
  return true;
}

std::u16string manualSelectionFilePath() {
  const std::u16string appData = appDataFolder();
  if (appData.empty()) return {};
  return addBackslash(appData) + u"Quillo Transfer Prime\\manual.zvb";
}

bool saveManualSelection(std::u16string_view path, const ManualSelection& selection,
                         std::string& error) {
  if (path.empty()) return fail(error, "no place to save it (application data folder unknown)");
  if (!replaceFileContents(path, encodeManualSelection(selection), error)) return fail(error, error);
  return true;
}

bool loadManualSelection(std::u16string_view path, ManualSelection& out, std::string& error) {
  out.clear();
  std::string bytes;
  if (!readWholeFile(path, kManualZvbMaxSize, bytes, error)) return fail(error, error);
  return decodeManualSelection(bytes, out, error);
}

}  // namespace zq
