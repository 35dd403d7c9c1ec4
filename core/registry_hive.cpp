#include "core/registry_hive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <unordered_map>

#include "core/dos_time.h"
#include "core/registry_text.h"
#include "core/text.h"

namespace zq {

namespace {

struct NoCaseHash {
  size_t operator()(std::u16string_view s) const {
    uint64_t h = 1469598103934665603ULL;
    for (char16_t c : s) {
      h ^= lowerChar(c);
      h *= 1099511628211ULL;
    }
    return static_cast<size_t>(h);
  }
};

struct NoCaseEqual {
  bool operator()(std::u16string_view a, std::u16string_view b) const {
    return equalsNoCase(a, b);
  }
};

// The prefix's order of sibling keys and of values: unit by unit on lower
// case, a name before any longer name it begins (so the default value "" is
// first).
int compareNames(std::u16string_view a, std::u16string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    int d = static_cast<int>(lowerChar(a[i])) - static_cast<int>(lowerChar(b[i]));
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Where a new name goes among names kept in sorted order: after every name
// that does not sort behind it.
template <typename Items, typename NameOf>
size_t insertionPoint(const Items& items, std::u16string_view name, NameOf nameOf) {
  size_t lo = 0, hi = items.size();
  while (lo < hi) {
    size_t mid = lo + (hi - lo) / 2;
    if (compareNames(name, nameOf(items[mid])) < 0) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo;
}

// Names of a "\"-separated key path; empty components are skipped.
std::vector<std::u16string_view> splitPath(std::u16string_view path) {
  std::vector<std::u16string_view> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t sep = path.find(u'\\', start);
    if (sep == std::u16string_view::npos) sep = path.size();
    if (sep > start) names.push_back(path.substr(start, sep - start));
    start = sep + 1;
  }
  return names;
}

struct Span {
  size_t begin = 0;
  size_t end = 0;
};

struct Key {
  std::u16string name;
  Key* parent = nullptr;
  std::vector<std::unique_ptr<Key>> subkeys;  // in file order
  std::unordered_map<std::u16string_view, Key*, NoCaseHash, NoCaseEqual> subkeyIndex;
  std::vector<std::unique_ptr<RegValue>> values;  // in file order
  std::unordered_map<std::u16string_view, RegValue*, NoCaseHash, NoCaseEqual> valueIndex;
  // "#" and ";" lines of the block other than "#time=" (#link, #class, ...).
  std::vector<std::string> options;
  uint64_t time = 0;        // last write, FILETIME
  bool inFile = false;      // had a block of its own in the loaded text
  bool keepText = false;    // that block still describes the key exactly
  Span separator;           // the blank line before the block
  Span text;                // the block, from its "[" line on

  Key* child(std::u16string_view n) const {
    auto it = subkeyIndex.find(n);
    return it == subkeyIndex.end() ? nullptr : it->second;
  }
  RegValue* value(std::u16string_view n) const {
    auto it = valueIndex.find(n);
    return it == valueIndex.end() ? nullptr : it->second;
  }
  Key* addChild(std::u16string_view n, size_t position) {
    auto k = std::make_unique<Key>();
    k->name = n;
    k->parent = this;
    Key* raw = k.get();
    subkeys.insert(subkeys.begin() + static_cast<std::ptrdiff_t>(position), std::move(k));
    subkeyIndex.emplace(raw->name, raw);
    return raw;
  }
  RegValue* addValue(const RegValue& v, size_t position) {
    auto owned = std::make_unique<RegValue>(v);
    RegValue* raw = owned.get();
    values.insert(values.begin() + static_cast<std::ptrdiff_t>(position), std::move(owned));
    valueIndex.emplace(raw->name, raw);
    return raw;
  }
};

// A blank line ending [begin, end): its length (1 for "\n", 2 for "\r\n"), or 0.
size_t trailingBlankLine(const std::string& s, size_t begin, size_t end) {
  if (end - begin >= 2 && s[end - 1] == '\n' && s[end - 2] == '\n') return 1;
  if (end - begin >= 3 && s[end - 1] == '\n' && s[end - 2] == '\r' && s[end - 3] == '\n')
    return 2;
  return 0;
}

const char* headerRootPath(HiveKind kind) {
  switch (kind) {
    case HiveKind::User: return "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000";
    case HiveKind::Machine: return "REGISTRY\\\\Machine";
    case HiveKind::DefaultUser: return "REGISTRY\\\\User\\\\.Default";
  }
  return "";
}

std::string errnoText(int err) { return std::strerror(err); }

bool readWholeFile(const std::string& path, std::string& out, std::string& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = path + ": cannot be read: " + errnoText(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = path + ": cannot be read: " + errnoText(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

// Replaces the file in one step: a crash leaves either the old file or the
// new one, never a half-written hive.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error) {
  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = path + ": cannot be saved: " + errnoText(errno);
    return false;
  }
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    error = path + ": cannot be saved: " + errnoText(err);
    return false;
  };
  if (::fchmod(fd, 0600) != 0) return fail(errno);
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    error = path + ": cannot be saved: " + errnoText(err);
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    error = path + ": cannot be saved: " + errnoText(err);
    return false;
  }
  // Make the rename itself durable.
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

}  // namespace

struct RegistryHive::Impl {
  std::string hostPath;
  std::string source;  // the loaded text; kept blocks point into it
  std::string header;  // everything before the first key block
  std::string tail;    // a blank line that ended the loaded text
  std::unique_ptr<Key> root = std::make_unique<Key>();
  bool modified = false;
  bool written = false;   // the file holds what the hive held when loaded or last saved
  bool unusable = false;  // loading failed: the hive must never be saved
  uint64_t fixedTime = 0;

  uint64_t now() const {
    if (fixedTime != 0) return fixedTime;
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                  std::chrono::system_clock::now().time_since_epoch())
                  .count();
    return unixToFileTime(ns / 1000000000, static_cast<uint32_t>(ns % 1000000000));
  }

  void clearContent() {
    source.clear();
    header.clear();
    tail.clear();
    root = std::make_unique<Key>();
  }

  Key* find(std::u16string_view path) const {
    Key* k = root.get();
    for (std::u16string_view name : splitPath(path)) {
      k = k->child(name);
      if (k == nullptr) return nullptr;
    }
    return k;
  }

  void touch(Key* k) {
    k->time = now();
    k->keepText = false;
    modified = true;
  }

  Key* findOrCreate(std::u16string_view path) {
    Key* k = root.get();
    for (std::u16string_view name : splitPath(path)) {
      Key* c = k->child(name);
      if (c == nullptr) {
        c = k->addChild(name, insertionPoint(k->subkeys, name,
                                             [](const auto& s) -> std::u16string_view {
                                               return s->name;
                                             }));
        c->time = now();
        touch(k);
      }
      k = c;
    }
    return k;
  }

  bool parse(std::string_view text, std::string_view sourceName, std::string& error);

  // Keys with values, without subkeys or with options have a block; a key
  // that only holds subkeys is implied by them. The root has a block only
  // when it holds something itself.
  bool hasBlock(const Key& k) const {
    if (k.inFile || !k.values.empty() || !k.options.empty()) return true;
    return k.subkeys.empty() && &k != root.get();
  }

  void writeKey(std::string& out, const Key& k, std::vector<const std::u16string*>& path,
                bool rewriteAll) const {
    if (hasBlock(k)) {
      if (!out.empty() && out.back() != '\n') out += '\n';
      if (k.keepText && !rewriteAll) {
        out.append(source, k.separator.begin, k.separator.end - k.separator.begin);
        out.append(source, k.text.begin, k.text.end - k.text.begin);
      } else {
        out += '\n';
        regfile::appendKeyHeader(out, path, k.time);
        for (const std::string& option : k.options) {
          out += option;
          out += '\n';
        }
        for (const auto& v : k.values) regfile::appendValue(out, *v);
      }
    }
    for (const auto& child : k.subkeys) {
      path.push_back(&child->name);
      writeKey(out, *child, path, rewriteAll);
      path.pop_back();
    }
  }

  std::string write(bool rewriteAll) const {
    std::string out;
    out.reserve(source.size() + 4096);
    out += header;
    if (rewriteAll) {
      // Blocks bring their own blank line before them.
      while (size_t blank = trailingBlankLine(out, 0, out.size())) out.resize(out.size() - blank);
    }
    std::vector<const std::u16string*> path;
    writeKey(out, *root, path, rewriteAll);
    if (!rewriteAll) out += tail;
    return out;
  }
};

bool RegistryHive::Impl::parse(std::string_view text, std::string_view sourceName,
                               std::string& error) {
  clearContent();
  source.assign(text);
  regfile::LineReader reader(source);
  auto fail = [&](std::string_view reason) {
    size_t lineNumber = reader.lineNumber() == 0 ? 1 : reader.lineNumber();
    error = std::string(sourceName) + ":" + std::to_string(lineNumber) + ": " +
            std::string(reason);
    clearContent();
    return false;
  };

  std::string_view line;
  if (!reader.next(line) || line != "WINE REGISTRY Version 2")
    return fail("not a registry file (no \"WINE REGISTRY Version 2\" header)");

  Key* open = nullptr;      // the key whose block is being read
  size_t chunkStart = 0;    // where the header or the open key's block began
  bool chunkIsKey = false;  // false while in the header
  Span pendingSeparator;
  // Closes the header or the open block at `end`; a blank line ending it
  // goes with whatever follows.
  auto closeChunk = [&](size_t end) {
    // A header that no key follows keeps all its lines.
    bool headerOnly = !chunkIsKey && end == source.size();
    size_t blank = headerOnly ? 0 : trailingBlankLine(source, chunkStart, end);
    if (!chunkIsKey) {
      header.assign(source, chunkStart, end - blank - chunkStart);
    } else if (open != nullptr && open->keepText) {
      open->text = {chunkStart, end - blank};
    }
    pendingSeparator = {end - blank, end};
  };

  regfile::KeyLine keyLine;
  RegValue value;
  std::string reason;
  while (reader.next(line)) {
    size_t p = 0;
    while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
    std::string_view t = line.substr(p);
    size_t end = t.size();
    while (end > 0 && (t[end - 1] == ' ' || t[end - 1] == '\t' || t[end - 1] == '\r')) --end;
    t = t.substr(0, end);
    if (t.empty()) continue;
    switch (t[0]) {
      case '[': {
        closeChunk(reader.lineStart());
        if (!regfile::parseKeyLine(t, keyLine, reason)) return fail(reason);
        uint64_t time = keyLine.hasSeconds ? regfile::fileTimeOfSeconds(keyLine.seconds) : now();
        Key* k = root.get();
        for (const std::u16string& name : keyLine.path) {
          Key* c = k->child(name);
          if (c == nullptr) {
            c = k->addChild(name, k->subkeys.size());
            c->time = time;
          }
          k = c;
        }
        if (k->inFile) {
          // A second block for the same key: its values join the first
          // ones, and the key is written afresh as one block.
          k->keepText = false;
        } else {
          k->inFile = true;
          k->keepText = true;
          k->separator = pendingSeparator;
          // A key is spelt as in its own block; an earlier mention as a
          // parent may have used other letter case.
          if (k->parent != nullptr && k->name != keyLine.path.back()) {
            k->parent->subkeyIndex.erase(k->name);
            k->name = keyLine.path.back();
            k->parent->subkeyIndex.emplace(k->name, k);
          }
        }
        k->time = time;
        open = k;
        chunkStart = reader.lineStart();
        chunkIsKey = true;
        break;
      }
      case '@':
      case '"': {
        if (open == nullptr) return fail("value outside any key");
        if (!regfile::parseValue(t, reader, value, reason)) return fail(reason);
        if (RegValue* existing = open->value(value.name)) {
          // The later line wins, as when the prefix reads the file.
          existing->type = value.type;
          existing->data = std::move(value.data);
        } else {
          open->addValue(value, open->values.size());
        }
        break;
      }
      case '#':
        if (open == nullptr) break;  // global options stay in the header
        if (t.substr(0, 6) == "#time=") {
          if (!regfile::parseTimeOption(t, open->time)) return fail("bad #time line");
        } else {
          open->options.emplace_back(t);
        }
        break;
      case ';':
        if (open != nullptr) open->options.emplace_back(t);
        break;
      default:
        return fail("unrecognized line");
    }
  }
  closeChunk(source.size());
  tail.assign(source, pendingSeparator.begin, pendingSeparator.end - pendingSeparator.begin);
  return true;
}

RegistryHive::RegistryHive() : impl_(std::make_unique<Impl>()) {}
RegistryHive::~RegistryHive() = default;
RegistryHive::RegistryHive(RegistryHive&&) noexcept = default;
RegistryHive& RegistryHive::operator=(RegistryHive&&) noexcept = default;

RegistryHive RegistryHive::create(HiveKind kind, std::string hostPath) {
  RegistryHive hive;
  Impl& h = *hive.impl_;
  h.hostPath = std::move(hostPath);
  h.header = std::string("WINE REGISTRY Version 2\n;; All keys relative to ") +
             headerRootPath(kind) + "\n\n#arch=win64\n";
  h.modified = true;
  return hive;
}

bool RegistryHive::load(const std::string& hostPath, std::string& error) {
  impl_->hostPath = hostPath;
  impl_->modified = false;
  impl_->written = false;
  std::string text;
  if (!readWholeFile(hostPath, text, error)) {
    impl_->clearContent();
    impl_->unusable = true;
    return false;
  }
  if (!parse(text, hostPath, error)) return false;
  impl_->written = true;
  return true;
}

bool RegistryHive::parse(std::string_view text, std::string_view sourceName, std::string& error) {
  impl_->modified = false;
  impl_->unusable = !impl_->parse(text, sourceName, error);
  return !impl_->unusable;
}

std::string RegistryHive::serialize() const { return impl_->write(false); }
std::string RegistryHive::serializeRewritten() const { return impl_->write(true); }

bool RegistryHive::save(std::string& error) {
  Impl& h = *impl_;
  if (h.unusable) {
    error = h.hostPath + ": not saved: the file could not be read";
    return false;
  }
  if (h.hostPath.empty()) {
    error = "the hive has no file to be saved to";
    return false;
  }
  if (!h.modified && h.written) return true;
  if (!writeFileAtomically(h.hostPath, serialize(), error)) return false;
  h.modified = false;
  h.written = true;
  return true;
}

bool RegistryHive::modified() const { return impl_->modified; }
const std::string& RegistryHive::hostPath() const { return impl_->hostPath; }
void RegistryHive::setFixedTime(uint64_t fileTime) { impl_->fixedTime = fileTime; }

bool RegistryHive::keyExists(std::u16string_view key) const { return impl_->find(key) != nullptr; }

const RegValue* RegistryHive::findValue(std::u16string_view key, std::u16string_view name) const {
  const Key* k = impl_->find(key);
  return k == nullptr ? nullptr : k->value(name);
}

std::vector<std::u16string> RegistryHive::subkeyNames(std::u16string_view key) const {
  std::vector<std::u16string> names;
  if (const Key* k = impl_->find(key)) {
    names.reserve(k->subkeys.size());
    for (const auto& s : k->subkeys) names.push_back(s->name);
  }
  return names;
}

std::vector<std::u16string> RegistryHive::valueNames(std::u16string_view key) const {
  std::vector<std::u16string> names;
  if (const Key* k = impl_->find(key)) {
    names.reserve(k->values.size());
    for (const auto& v : k->values) names.push_back(v->name);
  }
  return names;
}

void RegistryHive::setValue(std::u16string_view key, const RegValue& value) {
  Key* k = impl_->findOrCreate(key);
  if (RegValue* existing = k->value(value.name)) {
    existing->type = value.type;
    existing->data = value.data;
  } else {
    k->addValue(value, insertionPoint(k->values, value.name,
                                      [](const auto& v) -> std::u16string_view {
                                        return v->name;
                                      }));
  }
  impl_->touch(k);
}

void RegistryHive::createKey(std::u16string_view key) { impl_->findOrCreate(key); }

bool RegistryHive::deleteValue(std::u16string_view key, std::u16string_view name) {
  Key* k = impl_->find(key);
  RegValue* v = k == nullptr ? nullptr : k->value(name);
  if (v == nullptr) return false;
  k->valueIndex.erase(v->name);
  for (size_t i = 0; i < k->values.size(); ++i) {
    if (k->values[i].get() == v) {
      k->values.erase(k->values.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  impl_->touch(k);
  return true;
}

bool RegistryHive::deleteKey(std::u16string_view key) {
  Key* k = impl_->find(key);
  if (k == nullptr || k == impl_->root.get()) return false;
  Key* parent = k->parent;
  parent->subkeyIndex.erase(k->name);
  for (size_t i = 0; i < parent->subkeys.size(); ++i) {
    if (parent->subkeys[i].get() == k) {
      parent->subkeys.erase(parent->subkeys.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  impl_->touch(parent);
  return true;
}

}  // namespace zq
