// The hive parser on arbitrary text: it must never read out of bounds, and
// whatever it accepts must write out as text that reads back to the same
// keys and values (checked through the rewritten form, which must be stable).
// Build the libraries with -fsanitize=fuzzer-no-link as well, or the fuzzer
// sees no coverage inside them.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/registry_hive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = "WINE REGISTRY Version 2\n";
  text.append(reinterpret_cast<const char*>(data), size);
  // Keys without a time in the text get the clock's: keep it still.
  const uint64_t now = 0x1dd89591e490eb4;
  zq::RegistryHive hive;
  hive.setFixedTime(now);
  std::string error;
  if (!hive.parse(text, "fuzz.reg", error)) return 0;
  std::string kept = hive.serialize();
  std::string rewritten = hive.serializeRewritten();

  zq::RegistryHive again;
  again.setFixedTime(now);
  if (!again.parse(rewritten, "rewritten.reg", error)) abort();
  if (again.serializeRewritten() != rewritten) abort();
  zq::RegistryHive keptAgain;
  keptAgain.setFixedTime(now);
  if (!keptAgain.parse(kept, "kept.reg", error)) abort();
  // A key only ever named as a parent, in differing letter case, is spelt as
  // at its first mention, which the kept text may move: compare without case.
  auto lower = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
  };
  if (lower(keptAgain.serializeRewritten()) != lower(rewritten)) abort();
  return 0;
}
