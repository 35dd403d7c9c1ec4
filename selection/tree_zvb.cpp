#include "selection/tree_zvb.h"

#include <utility>
#include <vector>

#include "core/byte_stream.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/known_folders.h"

namespace zq {
namespace {

constexpr char kMagic[4] = {'Z', 'Q', 'S', 'T'};
constexpr size_t kHeaderSize = 16;
// State, child count, icon, two lengths and one code unit for each text.
constexpr size_t kSmallestNode = 1 + 4 + 4 + 2 + 2 + 2 + 2;

uint32_t childCount(const SearchNode& node) {
  uint32_t n = 0;
  for (const SearchNode* child = node.firstChild; child; child = child->next) ++n;
  return n;
}

bool fail(std::string& error, std::string reason) {
  error = "tree.zvb: " + std::move(reason);
  return false;
}

}  // namespace

std::string encodeResultTree(const ResultTree& tree) {
  std::string out(kMagic, sizeof kMagic);
  putU16(out, kTreeZvbVersion);
  putU16(out, 0);
  putU32(out, childCount(tree.root()));
  putU32(out, static_cast<uint32_t>(tree.nodeCount()));
  for (const SearchNode* node = tree.root().firstChild; node; node = tree.following(*node)) {
    out.push_back(static_cast<char>(node->state));
    putU32(out, childCount(*node));
    putU32(out, static_cast<uint32_t>(node->imageIndex));
    putText(out, node->name.substr(0, kMaxNodeText));
    putText(out, node->folder.substr(0, kMaxNodeText));
  }
  return out;
}

bool decodeResultTree(std::string_view bytes, ResultTree& tree, std::string& error) {
  tree.clear();
  if (bytes.size() < kHeaderSize) {
    return fail(error, "too short for its header (" + std::to_string(bytes.size()) + " bytes)");
  }
  if (bytes.substr(0, 4) != std::string_view(kMagic, sizeof kMagic)) {
    return fail(error, "not a saved search result (wrong magic number)");
  }
  ByteReader in(bytes.substr(4));
  uint16_t version = 0, reserved = 0;
  uint32_t drives = 0, count = 0;
  in.u16(version);
  in.u16(reserved);
  in.u32(drives);
  in.u32(count);
  if (version != kTreeZvbVersion)
    return fail(error, "unsupported version " + std::to_string(version));
  if (reserved != 0) return fail(error, "reserved header field is not 0");
  if (count > in.remaining() / kSmallestNode) {
    return fail(error, "node count " + std::to_string(count) + " does not fit the file");
  }
  if (drives > count) return fail(error, "more drive nodes than nodes");

  // The nodes whose children are still to come, with how many are left.
  std::vector<std::pair<SearchNode*, uint32_t>> open = {{&tree.root(), drives}};
  uint32_t read = 0;
  while (!open.empty()) {
    if (open.back().second == 0) {
      open.pop_back();
      continue;
    }
    --open.back().second;
    const std::string where = "node " + std::to_string(read) + ": ";
    if (read == count) {
      tree.clear();
      return fail(error, where + "more nodes than the header counts");
    }
    uint8_t state = 0;
    uint32_t children = 0, icon = 0;
    std::u16string name, folder;
    if (!in.u8(state) || !in.u32(children) || !in.u32(icon) || !in.text(name, kMaxNodeText) ||
        !in.text(folder, kMaxNodeText)) {
      tree.clear();
      return fail(error, where + "cut short or a text length out of range");
    }
    ++read;
    if (state > static_cast<uint8_t>(CheckState::Mixed) || children > count - read) {
      tree.clear();
      return fail(error, where + "bad check state or child count");
    }
    SearchNode& node = tree.addChild(*open.back().first, std::move(name), std::move(folder),
                                     static_cast<CheckState>(state), static_cast<int32_t>(icon));
    if (children > 0) {
      if (open.size() > kMaxTreeDepth) {
        tree.clear();
        return fail(error, where + "nested too deeply");
      }
      open.emplace_back(&node, children);
    }
  }
  if (read != count) {
    tree.clear();
    return fail(error, "header counts " + std::to_string(count) + " nodes, the tree holds " +
                           std::to_string(read));
  }
  if (in.remaining() != 0) {
    tree.clear();
    return fail(error, std::to_string(in.remaining()) + " stray bytes after the last node");
  }
  return true;
}

std::u16string resultTreeFilePath() {
  const std::u16string appData = appDataFolder();
  if (appData.empty()) return {};
  return addBackslash(appData) + u"Quillo Transfer Prime\\tree.zvb";
}

bool saveResultTree(std::u16string_view path, const ResultTree& tree, std::string& error) {
  if (path.empty()) return fail(error, "no place to save it (application data folder unknown)");
  if (!replaceFileContents(path, encodeResultTree(tree), error)) return fail(error, error);
  return true;
}

bool loadResultTree(std::u16string_view path, ResultTree& tree, std::string& error) {
  tree.clear();
  std::string bytes;
  if (!readWholeFile(path, kTreeZvbMaxSize, bytes, error)) return fail(error, error);
  return decodeResultTree(bytes, tree, error);
}

}  // namespace zq
