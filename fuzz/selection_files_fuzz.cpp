// The two small files the wizard keeps between runs ("manual.zvb", the ticked
// items; "tree.zvb", the search result tree) are read back at every start: any
// bytes must load or be refused, never crash or allocate by a number in them,
// and whatever loads must write out to bytes that load to the same thing.
// The first input byte picks the format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "selection/manual_zvb.h"
#include "selection/tree_zvb.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string error;
  if (data[0] & 1) {
    zq::ResultTree tree;
    if (!zq::decodeResultTree(bytes, tree, error)) return 0;
    const std::string again = zq::encodeResultTree(tree);
    zq::ResultTree reloaded;
    if (!zq::decodeResultTree(again, reloaded, error)) abort();
    if (zq::encodeResultTree(reloaded) != again) abort();
  } else {
    zq::ManualSelection selection;
    if (!zq::decodeManualSelection(bytes, selection, error)) return 0;
    const std::string again = zq::encodeManualSelection(selection);
    zq::ManualSelection reloaded;
    if (!zq::decodeManualSelection(again, reloaded, error)) abort();
    if (!(reloaded == selection)) abort();
  }
  return 0;
}
