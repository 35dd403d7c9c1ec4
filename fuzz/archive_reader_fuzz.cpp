// Arbitrary bytes as an archive body, through everything a restore does:
// open, passphrase, records, every file into a null sink.
//
// The first input byte picks the mode. Odd: the body is made an encrypted
// archive of a fixed passphrase (its check block and flag are written into
// the trailer), so the records and payloads are deciphered before they are
// checked, as they would be with the right passphrase typed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/byte_io.h"
#include "archive/format.h"
#include "core/blowfish.h"

namespace {

const std::string& fixedKeyText() {
  static const std::string keyText = zq::keyTextFromPassphrase("fuzz passphrase");
  return keyText;
}

void makeEncrypted(std::vector<uint8_t>& body) {
  if (body.size() < zq::kTrailerSize) return;
  static const auto check = [] {
    zq::tblowfish cipher;
    cipher.setKey(fixedKeyText());
    uint32_t left = zq::kCheckBlockLeft;
    uint32_t right = zq::kCheckBlockRight;
    cipher.encryptBlock(left, right);
    return std::pair<uint32_t, uint32_t>(left, right);
  }();
  uint8_t* trailer = body.data() + body.size() - zq::kTrailerSize;
  trailer[zq::trailer_field::kEncrypted] = 1;
  for (int i = 0; i < 4; ++i) {
    trailer[zq::trailer_field::kCheckLeft + i] = static_cast<uint8_t>(check.first >> (8 * i));
    trailer[zq::trailer_field::kCheckRight + i] = static_cast<uint8_t>(check.second >> (8 * i));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::vector<uint8_t> body(data + 1, data + size);
  if (data[0] & 1) makeEncrypted(body);

  zq::MemorySource source(body);
  zq::ArchiveReader reader(source);
  std::string why;
  if (!reader.open(&why)) return 0;
  if (reader.encrypted() && !reader.useKeyText(fixedKeyText())) return 0;
  if (!reader.readRecords(&why)) return 0;
  for (size_t i = 0; i < reader.records().size(); ++i) {
    zq::NullSink sink;
    reader.restoreFile(i, sink, {}, &why);
    // A restore never gives more than the record's file size.
    const int64_t filesize = reader.records()[i].filesize;
    if (static_cast<int64_t>(sink.written) > (filesize < 0 ? 0 : filesize)) std::abort();
  }
  return 0;
}
