#include "core/machine.h"

namespace zq {

std::u16string RegValue::text() const {
  std::u16string out;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    out += c;
  }
  return out;
}

RegValue RegValue::fromText(std::u16string name, std::u16string_view text, uint32_t type) {
  RegValue v;
  v.name = std::move(name);
  v.type = type;
  v.data.reserve(text.size() * 2 + 2);
  for (char16_t c : text) {
    v.data.push_back(static_cast<uint8_t>(c & 0xFF));
    v.data.push_back(static_cast<uint8_t>(c >> 8));
  }
  v.data.push_back(0);
  v.data.push_back(0);
  return v;
}

RegValue RegValue::fromDword(std::u16string name, uint32_t value) {
  RegValue v;
  v.name = std::move(name);
  v.type = kRegDword;
  for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return v;
}

namespace {

// The machine in force before the program chooses one: it has nothing and
// answers every question with "not there".
class EmptyMachine final : public Machine {
 public:
  bool readValue(RegRoot, std::u16string_view, std::u16string_view, RegValue&) override {
    return false;
  }
  bool writeValue(RegRoot, std::u16string_view, const RegValue&, std::string* error) override {
    if (error) *error = "no machine has been chosen";
    return false;
  }
  bool deleteValue(RegRoot, std::u16string_view, std::u16string_view) override { return false; }
  bool deleteKey(RegRoot, std::u16string_view) override { return false; }
  bool keyExists(RegRoot, std::u16string_view) override { return false; }
  std::vector<std::u16string> subkeyNames(RegRoot, std::u16string_view) override { return {}; }
  std::vector<std::u16string> valueNames(RegRoot, std::u16string_view) override { return {}; }
  std::string hostPath(std::u16string_view) override { return {}; }
  std::u16string windowsPath(std::string_view) override { return {}; }
  std::vector<DriveInfo> drives() override { return {}; }
  uint32_t logicalDriveMask() override { return 0; }
  std::unique_ptr<File> openFile(std::u16string_view, OpenMode, std::string* error) override {
    if (error) *error = "no machine has been chosen";
    return nullptr;
  }
  bool fileInfo(std::u16string_view, FileInfo&) override { return false; }
  bool listFolder(std::u16string_view, std::vector<FolderEntry>& out) override {
    out.clear();
    return false;
  }
  bool createFolder(std::u16string_view) override { return false; }
  bool removeFolder(std::u16string_view) override { return false; }
  bool deleteFile(std::u16string_view) override { return false; }
  bool moveFile(std::u16string_view, std::u16string_view) override { return false; }
  bool setAttributes(std::u16string_view, uint32_t) override { return false; }
  bool setTimes(std::u16string_view, uint64_t, uint64_t, uint64_t) override { return false; }
  WindowsVersion version() override { return {}; }
  std::u16string computerName() override { return {}; }
  std::u16string userName() override { return {}; }
  uint32_t ansiCodePage() override { return 1252; }
  std::u16string specialFolder(SpecialFolder) override { return {}; }
  std::u16string environmentVariable(std::u16string_view) override { return {}; }
  std::u16string expandEnvironment(std::u16string_view text) override {
    return std::u16string(text);
  }
  bool isServiceRunning(std::u16string_view) override { return false; }
  bool startService(std::u16string_view) override { return false; }
  bool openDocument(std::u16string_view) override { return false; }
};

EmptyMachine& emptyMachine() {
  static EmptyMachine machine;
  return machine;
}

std::unique_ptr<Machine>& ownedMachine() {
  static std::unique_ptr<Machine> owned;
  return owned;
}

Machine*& current() {
  static Machine* machine = &emptyMachine();
  return machine;
}

}  // namespace

Machine& currentMachine() { return *current(); }

ScopedMachine::ScopedMachine(Machine& machine) : previous_(current()) { current() = &machine; }

ScopedMachine::~ScopedMachine() { current() = previous_; }

void setCurrentMachine(std::unique_ptr<Machine> machine) {
  ownedMachine() = std::move(machine);
  current() = ownedMachine() ? ownedMachine().get() : &emptyMachine();
}

}  // namespace zq
