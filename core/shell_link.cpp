#include "core/shell_link.h"

#include <array>
#include <optional>

namespace zq {

namespace {

// Sizes and flags of the shell link format.
constexpr uint32_t kHeaderSize = 0x4C;
constexpr std::array<uint8_t, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr size_t kFlagsOffset = 0x14;
constexpr size_t kShowCommandOffset = 0x3C;

constexpr uint32_t kHasLinkTargetIdList = 0x01;
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kIsUnicode = 0x80;

// LinkInfo header: the short one ends before the Unicode offsets.
constexpr uint32_t kLinkInfoShortHeader = 0x1C;
constexpr uint32_t kLinkInfoLongHeader = 0x24;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kCommonNetworkRelativeLink = 0x02;

// CommonNetworkRelativeLink: the Unicode offsets follow when the ANSI name
// starts past the short header.
constexpr uint32_t kNetLinkShortHeader = 0x14;
constexpr uint32_t kNetLinkLongHeader = 0x1C;
constexpr uint32_t kValidNetType = 0x02;
constexpr uint32_t kNetTypeLanman = 0x00020000;

constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kVolumeIdHeader = 0x10;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five holes
// decode to the same code point, as the system's conversion does.
constexpr std::array<char16_t, 32> k1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encode1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t i = 0; i < k1252High.size(); ++i) {
    if (k1252High[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// A bounds-checked view of a byte range: every read says whether it fit.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t size() const { return bytes_.size(); }

  std::optional<uint32_t> u16(size_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 2) return std::nullopt;
    return static_cast<uint32_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
  }

  std::optional<uint32_t> u32(size_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 4) return std::nullopt;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | bytes_[offset + i];
    return v;
  }

  // The part [offset, offset + length), or nothing when it does not fit.
  std::optional<Reader> part(size_t offset, size_t length) const {
    if (offset > bytes_.size() || bytes_.size() - offset < length) return std::nullopt;
    return Reader(bytes_.subspan(offset, length));
  }

  bool startsWith(size_t offset, std::span<const uint8_t> expected) const {
    if (offset > bytes_.size() || bytes_.size() - offset < expected.size()) return false;
    for (size_t i = 0; i < expected.size(); ++i) {
      if (bytes_[offset + i] != expected[i]) return false;
    }
    return true;
  }

  // A NUL-terminated ANSI text; nothing when no NUL ends it inside the view.
  std::optional<std::string> ansiText(size_t offset) const {
    std::string out;
    for (size_t i = offset; i < bytes_.size(); ++i) {
      if (bytes_[i] == 0) return out;
      out += static_cast<char>(bytes_[i]);
    }
    return std::nullopt;
  }

  // A NUL-terminated UTF-16LE text, likewise.
  std::optional<std::u16string> wideText(size_t offset) const {
    std::u16string out;
    for (size_t i = offset; i <= bytes_.size() && bytes_.size() - i >= 2; i += 2) {
      char16_t c = static_cast<char16_t>(bytes_[i] | (bytes_[i + 1] << 8));
      if (c == 0) return out;
      out += c;
    }
    return std::nullopt;
  }

 private:
  std::span<const uint8_t> bytes_;
};

// A text inside a structure whose header is headerSize bytes: its offset
// must point past the header and inside the structure.
std::optional<std::u16string> textAt(const Reader& r, uint32_t offset, uint32_t headerSize,
                                     bool wide, const AnsiDecoder& decode) {
  if (offset < headerSize || offset >= r.size()) return std::nullopt;
  if (wide) return r.wideText(offset);
  auto ansi = r.ansiText(offset);
  if (!ansi) return std::nullopt;
  return decode ? decode(*ansi) : decodeWindows1252(*ansi);
}

std::optional<std::u16string> networkName(const Reader& linkInfo, uint32_t offset,
                                          uint32_t linkInfoHeader, const AnsiDecoder& decode) {
  if (offset < linkInfoHeader) return std::nullopt;
  auto size = linkInfo.u32(offset);
  if (!size || *size < kNetLinkShortHeader) return std::nullopt;
  auto net = linkInfo.part(offset, *size);
  if (!net) return std::nullopt;
  auto nameOffset = net->u32(8);
  if (!nameOffset) return std::nullopt;
  if (*nameOffset > kNetLinkShortHeader) {
    auto wideOffset = net->u32(kNetLinkShortHeader);
    if (!wideOffset) return std::nullopt;
    if (*wideOffset != 0) return textAt(*net, *wideOffset, kNetLinkLongHeader, true, decode);
  }
  return textAt(*net, *nameOffset, kNetLinkShortHeader, false, decode);
}

// ---------------------------------------------------------------- writing

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void set32(std::vector<uint8_t>& out, size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

void putAnsi(std::vector<uint8_t>& out, std::u16string_view text) {
  for (char16_t c : text) out.push_back(static_cast<uint8_t>(encode1252(c)));
  out.push_back(0);
}

void putWide(std::vector<uint8_t>& out, std::u16string_view text) {
  for (char16_t c : text) put16(out, c);
  put16(out, 0);
}

std::vector<uint8_t> linkHeader() {
  std::vector<uint8_t> out;
  put32(out, kHeaderSize);
  out.insert(out.end(), kLinkClsid.begin(), kLinkClsid.end());
  out.resize(kHeaderSize, 0);
  set32(out, kFlagsOffset, kHasLinkInfo | kIsUnicode);
  set32(out, kShowCommandOffset, 1);  // shown normally
  return out;
}

// Appends a LinkInfo block whose fields after the header are written by
// `body`; the header's offsets are filled in from what body reports.
struct LinkInfoOffsets {
  uint32_t flags = 0;
  uint32_t volumeId = 0, localBase = 0, netLink = 0, suffix = 0;
  uint32_t localBaseWide = 0, suffixWide = 0;
};

void finishLinkInfo(std::vector<uint8_t>& link, size_t start, const LinkInfoOffsets& o) {
  set32(link, start, static_cast<uint32_t>(link.size() - start));
  set32(link, start + 4, kLinkInfoLongHeader);
  set32(link, start + 8, o.flags);
  set32(link, start + 12, o.volumeId);
  set32(link, start + 16, o.localBase);
  set32(link, start + 20, o.netLink);
  set32(link, start + 24, o.suffix);
  set32(link, start + 28, o.localBaseWide);
  set32(link, start + 32, o.suffixWide);
}

void putTerminalBlock(std::vector<uint8_t>& link) { put32(link, 0); }

}  // namespace

std::u16string decodeWindows1252(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto b = static_cast<uint8_t>(ch);
    out += (b >= 0x80 && b < 0xA0) ? k1252High[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

std::u16string shellLinkTarget(std::span<const uint8_t> bytes, const AnsiDecoder& decode) {
  Reader link(bytes);
  if (link.u32(0) != kHeaderSize || !link.startsWith(4, kLinkClsid)) return {};
  auto flags = link.u32(kFlagsOffset);
  if (!flags) return {};

  size_t pos = kHeaderSize;
  if (*flags & kHasLinkTargetIdList) {
    auto idListSize = link.u16(pos);
    if (!idListSize) return {};
    pos += 2 + *idListSize;
  }
  if (!(*flags & kHasLinkInfo)) return {};

  auto infoSize = link.u32(pos);
  if (!infoSize || *infoSize < kLinkInfoShortHeader) return {};
  auto info = link.part(pos, *infoSize);
  if (!info) return {};
  auto headerSize = info->u32(4);
  auto infoFlags = info->u32(8);
  if (!headerSize || !infoFlags || *headerSize < kLinkInfoShortHeader || *headerSize > *infoSize) {
    return {};
  }
  const bool hasWideOffsets = *headerSize >= kLinkInfoLongHeader;

  // A text of LinkInfo given by an ANSI offset field and, in the long
  // header, a Unicode one that wins when it is set.
  auto infoText = [&](size_t ansiField, size_t wideField) -> std::optional<std::u16string> {
    if (hasWideOffsets) {
      auto wideOffset = info->u32(wideField);
      if (!wideOffset) return std::nullopt;
      if (*wideOffset != 0) return textAt(*info, *wideOffset, *headerSize, true, decode);
    }
    auto ansiOffset = info->u32(ansiField);
    if (!ansiOffset) return std::nullopt;
    return textAt(*info, *ansiOffset, *headerSize, false, decode);
  };

  auto suffix = infoText(24, 32);
  if (!suffix) return {};

  std::u16string target;
  if (*infoFlags & kVolumeIdAndLocalBasePath) {
    auto base = infoText(16, 28);
    if (!base) return {};
    target = *base + *suffix;
  } else if (*infoFlags & kCommonNetworkRelativeLink) {
    auto netOffset = info->u32(20);
    if (!netOffset) return {};
    auto net = networkName(*info, *netOffset, *headerSize, decode);
    if (!net) return {};
    target = *net;
    if (!suffix->empty()) {
      if (target.empty() || target.back() != u'\\') target += u'\\';
      target += *suffix;
    }
  } else {
    return {};
  }
  if (target.size() > kMaxShellLinkPath) return {};
  return target;
}

std::vector<uint8_t> makeLocalShellLink(std::u16string_view path) {
  std::vector<uint8_t> link = linkHeader();
  const size_t start = link.size();
  link.resize(start + kLinkInfoLongHeader, 0);
  LinkInfoOffsets o;
  o.flags = kVolumeIdAndLocalBasePath;

  // A fixed drive without serial number or label.
  o.volumeId = static_cast<uint32_t>(link.size() - start);
  put32(link, kVolumeIdHeader + 1);
  put32(link, kDriveFixed);
  put32(link, 0);
  put32(link, kVolumeIdHeader);
  link.push_back(0);

  o.localBase = static_cast<uint32_t>(link.size() - start);
  putAnsi(link, path);
  o.suffix = static_cast<uint32_t>(link.size() - start);
  putAnsi(link, u"");
  o.localBaseWide = static_cast<uint32_t>(link.size() - start);
  putWide(link, path);
  o.suffixWide = static_cast<uint32_t>(link.size() - start);
  putWide(link, u"");
  finishLinkInfo(link, start, o);
  putTerminalBlock(link);
  return link;
}

std::vector<uint8_t> makeNetworkShellLink(std::u16string_view netName,
                                          std::u16string_view suffix) {
  std::vector<uint8_t> link = linkHeader();
  const size_t start = link.size();
  link.resize(start + kLinkInfoLongHeader, 0);
  LinkInfoOffsets o;
  o.flags = kCommonNetworkRelativeLink;

  // CommonNetworkRelativeLink with both the ANSI and the Unicode share name.
  o.netLink = static_cast<uint32_t>(link.size() - start);
  const size_t net = link.size();
  link.resize(net + kNetLinkLongHeader, 0);
  set32(link, net + 4, kValidNetType);
  set32(link, net + 8, kNetLinkLongHeader);
  set32(link, net + 16, kNetTypeLanman);
  putAnsi(link, netName);
  set32(link, net + 20, static_cast<uint32_t>(link.size() - net));
  putWide(link, netName);
  set32(link, net, static_cast<uint32_t>(link.size() - net));

  o.suffix = static_cast<uint32_t>(link.size() - start);
  putAnsi(link, suffix);
  o.suffixWide = static_cast<uint32_t>(link.size() - start);
  putWide(link, suffix);
  finishLinkInfo(link, start, o);
  putTerminalBlock(link);
  return link;
}

}  // namespace zq
