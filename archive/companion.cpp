#include "archive/companion.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "archive/format.h"

namespace zq {

std::u16string companionPath(std::u16string_view archivePath) {
  const size_t keep = archivePath.size() > 4 ? archivePath.size() - 4 : 0;
  return std::u16string(archivePath.substr(0, keep)) + u"Data.dat";
}

std::string companionHostPath(std::string_view archiveHostPath) {
  size_t end = archiveHostPath.size();
  for (int dropped = 0; dropped < 4 && end > 0; ++dropped) {
    --end;
    // Step over UTF-8 continuation bytes to the start of the character.
    while (end > 0 && (static_cast<unsigned char>(archiveHostPath[end]) & 0xC0) == 0x80) --end;
  }
  return std::string(archiveHostPath.substr(0, end)) + "Data.dat";
}

namespace {

// True when the file's last bytes are a trailer opened by the marker.
bool endsInTrailer(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in.seekg(0, std::ios::end)) return false;
  const std::streamoff size = in.tellg();
  if (size < static_cast<std::streamoff>(kTrailerSize)) return false;
  std::array<uint8_t, kMarkerSize> marker{};
  in.seekg(size - static_cast<std::streamoff>(kTrailerSize));
  if (!in.read(reinterpret_cast<char*>(marker.data()), marker.size())) return false;
  return checkMarker(marker, nullptr);
}

}  // namespace

std::string locateBody(const std::string& executableHostPath) {
  if (endsInTrailer(executableHostPath)) return executableHostPath;
  const std::string companion = companionHostPath(executableHostPath);
  std::error_code error;
  if (std::filesystem::is_regular_file(companion, error)) return companion;
  return executableHostPath;
}

}  // namespace zq
