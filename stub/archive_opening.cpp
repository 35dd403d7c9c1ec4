#include "stub/archive_opening.h"

#include <unistd.h>

#include <climits>

#include "archive/companion.h"
#include "core/blowfish.h"
#include "core/system_helpers.h"
#include "core/text.h"

namespace zq {

namespace {

// A shorter passphrase is refused before any attempt.
constexpr size_t kMinimumPassphraseLength = 5;

}  // namespace

std::string runningProgramPath() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<size_t>(n));
}

bool CarriedArchive::open(const std::string& executable, std::string& why) {
  reader_.reset();
  source_.close();
  if (executable.empty()) {
    why = "the program cannot find its own file";
    return false;
  }
  bodyPath_ = locateBody(executable);
  if (!source_.open(bodyPath_, &why)) return false;
  reader_ = std::make_unique<ArchiveReader>(source_);
  std::string reason;
  if (!reader_->open(&reason)) {
    why = bodyPath_ + ": " + reason;
    return false;
  }
  return true;
}

PassphraseCheck tryPassphrase(ArchiveReader& reader, std::string_view passphrase) {
  const std::u16string typed = utf8ToWide(passphrase);
  if (typed.size() < kMinimumPassphraseLength) return PassphraseCheck::TooShort;
  const std::string keyText = keyTextFromPassphrase(wideToAnsi(typed));
  return reader.useKeyText(keyText) ? PassphraseCheck::Accepted : PassphraseCheck::Wrong;
}

}  // namespace zq
