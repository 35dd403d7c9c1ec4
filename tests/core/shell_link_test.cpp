#include "core/shell_link.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zq {
namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A link laid out as older systems write it, built here byte by byte so the
// reader is not only checked against our own writer: a target ID list to
// skip, the short LinkInfo header (ANSI texts only), a base path and a suffix.
std::vector<uint8_t> ansiOnlyLink(const std::string& base, const std::string& suffix) {
  std::vector<uint8_t> link;
  put32(link, 0x4C);
  const uint8_t clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  link.insert(link.end(), clsid, clsid + 16);
  link.resize(0x4C, 0);
  set32(link, 0x14, 0x01 | 0x02);  // target ID list, LinkInfo

  // An ID list of 20 bytes of noise (its content is never read).
  link.push_back(20);
  link.push_back(0);
  for (int i = 0; i < 20; ++i) link.push_back(static_cast<uint8_t>(0xA0 + i));

  const size_t start = link.size();
  link.resize(start + 0x1C, 0);
  set32(link, start + 4, 0x1C);
  set32(link, start + 8, 0x01);
  set32(link, start + 12, 0x1C);  // volume ID
  put32(link, 0x11);
  put32(link, 3);
  put32(link, 0x1234);
  put32(link, 0x10);
  link.push_back(0);
  set32(link, start + 16, static_cast<uint32_t>(link.size() - start));
  link.insert(link.end(), base.begin(), base.end());
  link.push_back(0);
  set32(link, start + 24, static_cast<uint32_t>(link.size() - start));
  link.insert(link.end(), suffix.begin(), suffix.end());
  link.push_back(0);
  set32(link, start, static_cast<uint32_t>(link.size() - start));
  put32(link, 0);
  return link;
}

TEST(ShellLink, ReadsTargets) {
  EXPECT_EQ(shellLinkTarget(makeLocalShellLink(u"C:\\users\\alice\\Documents\\report.doc")),
            u"C:\\users\\alice\\Documents\\report.doc");
  // Characters no ANSI code page holds survive through the Unicode path.
  EXPECT_EQ(shellLinkTarget(makeLocalShellLink(u"D:\\Fotos \x65e5\x672c\\Gr\xfc\xdf\x65.jpg")),
            u"D:\\Fotos \x65e5\x672c\\Gr\xfc\xdf\x65.jpg");
  EXPECT_EQ(shellLinkTarget(makeNetworkShellLink(u"\\\\server\\share", u"backups\\alice")),
            u"\\\\server\\share\\backups\\alice");
  EXPECT_EQ(shellLinkTarget(makeNetworkShellLink(u"\\\\nas\\public", u"")), u"\\\\nas\\public");

  // Unicode offsets left at zero: the ANSI texts are used.
  auto ansiOnly = makeNetworkShellLink(u"\\\\srv\\d\xe9p\xf4t", u"sub");
  const size_t info = 0x4C;
  set32(ansiOnly, info + 0x24 + 20, 0);  // share name
  set32(ansiOnly, info + 32, 0);         // suffix
  EXPECT_EQ(shellLinkTarget(ansiOnly), u"\\\\srv\\d\xe9p\xf4t\\sub");
}

TEST(ShellLink, ReadsAnsiOnlyLinkWithIdListInTheCodePageGiven) {
  const auto link = ansiOnlyLink("C:\\Daten\\M\xfcller", "\\Brief \x80.txt");
  EXPECT_EQ(shellLinkTarget(link), u"C:\\Daten\\M\xfcller\\Brief \x20ac.txt");

  // The caller's decoder (the machine's code page) is the one used.
  AnsiDecoder upper = [](std::string_view s) {
    std::u16string out;
    for (char c : s) out += static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return out;
  };
  EXPECT_EQ(shellLinkTarget(ansiOnlyLink("C:\\abc", ""), upper), u"C:\\ABC");
}

TEST(ShellLink, RejectsPathsLongerThanTheSystemBuffer) {
  const std::u16string fits = u"C:\\" + std::u16string(257, u'a');
  EXPECT_EQ(shellLinkTarget(makeLocalShellLink(fits)), fits);
  EXPECT_EQ(shellLinkTarget(makeLocalShellLink(fits + u"b")), u"");
}

// Every damaged or cut-off link must give an empty target without reading
// outside the buffer (the sanitizer build turns any such read into a failure).
TEST(ShellLink, DamagedLinksGiveEmpty) {
  const auto local = makeLocalShellLink(u"C:\\target\\file.txt");
  const auto net = makeNetworkShellLink(u"\\\\server\\share", u"dir");
  const size_t info = 0x4C;  // LinkInfo follows the header directly in our links

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  auto with32 = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
    set32(b, at, v);
    return b;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"header only", std::vector<uint8_t>(local.begin(), local.begin() + 0x4C)},
      {"wrong header size", with32(local, 0, 0x4D)},
      {"wrong class id", [&] { auto b = local; b[10] ^= 1; return b; }()},
      {"no LinkInfo flag", with32(local, 0x14, 0x80)},
      {"ID list past the end", with32(local, 0x14, 0x83)},
      {"LinkInfo size past the end", with32(local, info, 0x7FFFFFFF)},
      {"LinkInfo size below its header", with32(local, info, 8)},
      {"header size past LinkInfo", with32(local, info + 4, 0x10000)},
      {"neither local nor network", with32(local, info + 8, 0)},
      {"base path offset past LinkInfo", with32(local, info + 28, 0xFFFFFFF0)},
      {"base path offset inside header", with32(local, info + 28, 4)},
      {"suffix offset past LinkInfo", with32(local, info + 32, 0x100000)},
      {"network link offset huge", with32(net, info + 20, 0xFFFFFFFF)},
      {"network link size huge", with32(net, info + 0x24, 0x7FFFFFFF)},
      {"network name offset past link", with32(net, info + 0x24 + 20, 0x4000)},
  };
  // Every cut of both links, one byte at a time.
  for (const auto* whole : {&local, &net}) {
    for (size_t n = 0; n + 4 < whole->size(); ++n) {
      cases.push_back({"cut", std::vector<uint8_t>(whole->begin(), whole->begin() + n)});
    }
  }
  // A text whose terminating NUL is missing: fill the rest of LinkInfo.
  {
    auto b = local;
    const size_t end = info + (b[info] | (b[info + 1] << 8));
    for (size_t i = end - 2; i < end; ++i) b[i] = 'x';
    cases.push_back({"unterminated Unicode suffix", b});
  }

  for (const auto& c : cases) {
    // Copy into an exactly sized buffer so a read past its end is caught.
    std::vector<uint8_t> exact(c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(shellLinkTarget(exact), u"") << c.what << " (" << exact.size() << " bytes)";
  }
}

}  // namespace
}  // namespace zq
