#include "core/registry_hive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/registry_text.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

const char* const kFixtureHives[] = {"user.reg", "system.reg", "userdef.reg",
                                     "user-after-reg-tests.reg"};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string fixturePath(const std::string& name) {
  return std::string(ZQ_FIXTURES_DIR) + "/wineprefix/" + name;
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

RegistryHive parsed(const std::string& text) {
  RegistryHive hive;
  std::string error;
  EXPECT_TRUE(hive.parse(text, "test.reg", error)) << error;
  return hive;
}

// The key blocks of a file by their path ("[...]" without the time).
std::map<std::string, std::string> blocksByKey(const std::string& text) {
  std::map<std::string, std::string> blocks;
  size_t pos = text.find("\n[");
  while (pos != std::string::npos) {
    size_t start = pos + 1;
    size_t next = text.find("\n[", start);
    std::string block = text.substr(start, (next == std::string::npos ? text.size() : next) - start);
    blocks[block.substr(0, block.find("] ") + 1)] = block;
    pos = next;
  }
  return blocks;
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "zq_registry_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename());
    return out;
  }

 private:
  std::string path_;
};

// ---------------------------------------------------------------- round trip

// The key test: a hive nothing changed gives back the file's bytes, and every
// key written afresh gives them too (the writer matches the prefix's).
TEST(RegistryHiveRoundTrip, FixtureFilesSerializeToTheirOwnBytes) {
  for (const char* name : kFixtureHives) {
    SCOPED_TRACE(name);
    std::string text = readFile(fixturePath(name));
    ASSERT_FALSE(text.empty());
    RegistryHive hive;
    std::string error;
    ASSERT_TRUE(hive.load(fixturePath(name), error)) << error;
    EXPECT_FALSE(hive.modified());
    EXPECT_EQ(hive.serialize(), text);
    EXPECT_EQ(hive.serializeRewritten(), text);
  }
}

// Files the prefix did not write itself but reads: each parses and, unchanged,
// serializes to its own bytes.
TEST(RegistryHiveRoundTrip, ToleratedVariationsLoadAndKeepTheirBytes) {
  struct Case {
    const char* what;
    std::string text;
    std::u16string key, name, expected;
  };
  const std::string head = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n";
  const Case cases[] = {
      {"CRLF line ends",
       "WINE REGISTRY Version 2\r\n;; All keys relative to REGISTRY\\\\Machine\r\n\r\n"
       "[A\\\\B] 1796984374\r\n#time=1dd89591e490eb4\r\n\"v\"=\"x\"\r\n\"h\"=hex:01,\\\r\n  02\r\n"
       "\r\n[C] 1796984374\r\n\"w\"=\"y\"\r\n",
       u"a\\b", u"v", u"x"},
      {"no #time, no #arch, key without time", head + "\n[A] 1234\n\"v\"=\"x\"\n\n[B]\n@=\"d\"\n",
       u"B", u"", u"d"},
      {"extra blank lines and comments",
       head + "\n\n\n[A] 1\n\n\"v\"=\"x\"\n;; note\n\n\n[B] 2\n\"w\"=\"y\"\n\n", u"A", u"v", u"x"},
      {"no final line end", head + "\n[A] 1\n\"v\"=\"x\"", u"A", u"v", u"x"},
      {"indented lines and spaces around =", head + "\n  [A] 1\n  \"v\" = \"x\"\n", u"A", u"v",
       u"x"},
      {"raw UTF-8 in names and strings",
       head + "\n[Caf\xc3\xa9] 1\n\"Gr\xc3\xbc\xc3\x9f""e\"=\"\xe2\x82\xac \xf0\x9f\x98\x80\"\n",
       u"caf\u00e9", u"gr\u00fc\u00dfe", u"\u20ac \U0001F600"},
      {"unknown options kept", head + "\n[A] 1\n#time=1dd89591e490eb4\n#class=\"c\"\n#whatever\n\"v\"=\"x\"\n",
       u"A", u"v", u"x"},
      {"header only", head + "\n#arch=win64\n", u"", u"", u""},
      {"trailing spaces and stray carriage returns",
       head + "\n[A] 1 \r\n#link \r\r\n\"v\"=\"x\"  \r\n", u"A", u"v", u"x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegistryHive hive = parsed(c.text);
    hive.setFixedTime(0x1dd89591e490eb4);
    EXPECT_EQ(hive.serialize(), c.text);
    // The prefix's own form of it is stable.
    std::string rewritten = hive.serializeRewritten();
    RegistryHive again;
    again.setFixedTime(0x1dd89591e490eb4);
    std::string error;
    ASSERT_TRUE(again.parse(rewritten, "rewritten.reg", error)) << error;
    EXPECT_EQ(again.serializeRewritten(), rewritten);
    if (!c.expected.empty()) {
      const RegValue* v = hive.findValue(c.key, c.name);
      ASSERT_NE(v, nullptr);
      EXPECT_EQ(v->text(), c.expected);
    }
  }
}

// A change to a file with unusual spacing still gives a file that reads back.
TEST(RegistryHiveRoundTrip, ChangedUnusualFileStillReads) {
  RegistryHive hive = parsed(
      "WINE REGISTRY Version 2\r\n\r\n[B] 1\r\n\"v\"=\"x\"\r\n\r\n\r\n[D] 2\r\n\"w\"=\"y\"");
  hive.setValue(u"A", RegValue::fromText(u"n", u"1"));
  hive.setValue(u"E", RegValue::fromText(u"n", u"2"));
  hive.setValue(u"C", RegValue::fromText(u"n", u"3"));
  RegistryHive again = parsed(hive.serialize());
  EXPECT_EQ(again.subkeyNames(u""), (std::vector<std::u16string>{u"A", u"B", u"C", u"D", u"E"}));
  for (auto key : {u"B", u"D"}) EXPECT_EQ(again.valueNames(key).size(), 1u);
  EXPECT_EQ(again.findValue(u"E", u"n")->text(), u"2");
}

// ---------------------------------------------------------------- the tree

TEST(RegistryHive, ImplicitParentKeysExistButAreNotWritten) {
  RegistryHive hive;
  std::string error;
  ASSERT_TRUE(hive.load(fixturePath("user-after-reg-tests.reg"), error)) << error;
  std::string original = hive.serialize();
  ASSERT_EQ(original.find("[Software\\\\Test]"), std::string::npos);

  EXPECT_TRUE(hive.keyExists(u"Software\\Test"));
  EXPECT_TRUE(hive.valueNames(u"Software\\Test").empty());
  EXPECT_EQ(hive.subkeyNames(u"Software\\Test"),
            (std::vector<std::u16string>{u"Big", u"Br]acket", u"Imported",
                                         u"Key [brackets] \u00fc", u"Sub Key"}));
  EXPECT_EQ(hive.subkeyNames(u"Software\\Test\\Br]acket"),
            (std::vector<std::u16string>{u"Quote\"Key"}));
  EXPECT_TRUE(hive.keyExists(u"software\\TEST\\br]ACKET\\quote\"key\\SLASH/key"));
  EXPECT_EQ(hive.subkeyNames(u"")[0], u"AppEvents");
  // A key is spelt as in its own block, even when first named as a parent.
  RegistryHive spelt = parsed("WINE REGISTRY Version 2\n[SOFTWARE\\\\X] 1\n\"v\"=\"x\"\n[Software] 1\n");
  EXPECT_EQ(spelt.subkeyNames(u""), std::vector<std::u16string>{u"Software"});

  // A value deeper down keeps the parent implied...
  hive.setValue(u"Software\\Test\\Sub Key\\New", RegValue::fromText(u"v", u"1"));
  EXPECT_EQ(hive.serialize().find("[Software\\\\Test]"), std::string::npos);
  // ...a value of its own gives it a block.
  hive.setValue(u"Software\\Test", RegValue::fromText(u"v", u"1"));
  EXPECT_NE(hive.serialize().find("[Software\\\\Test] "), std::string::npos);
}

TEST(RegistryHive, LookupsIgnoreCaseAndMissingThingsAreAbsent) {
  RegistryHive hive;
  std::string error;
  ASSERT_TRUE(hive.load(fixturePath("user-after-reg-tests.reg"), error)) << error;
  const RegValue* v = hive.findValue(u"SOFTWARE\\test\\sub key", u"umlaut");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->name, u"Umlaut");
  EXPECT_EQ(v->text(), u"Gr\u00fc\u00dfe \u20ac \u65e5\u672c \U0001F600");
  EXPECT_NE(hive.findValue(u"\\Software\\Test\\Sub Key\\", u""), nullptr);  // "@"
  EXPECT_NE(hive.findValue(u"Software\\Test\\Key [BRACKETS] \u00dc\\deeper", u"a"), nullptr);

  EXPECT_EQ(hive.findValue(u"Software\\Test\\Sub Key", u"Nope"), nullptr);
  EXPECT_EQ(hive.findValue(u"Software\\Nope", u"Umlaut"), nullptr);
  EXPECT_FALSE(hive.keyExists(u"Software\\Test\\Sub"));
  EXPECT_TRUE(hive.subkeyNames(u"Software\\Nope").empty());
  EXPECT_TRUE(hive.valueNames(u"Software\\Nope").empty());
  EXPECT_EQ(hive.valueNames(u"Software\\Test\\Sub Key").front(), u"");
}

// Rebuilding a whole hive from its keys and values, given in reverse order,
// must put every key and value where the prefix put it.
TEST(RegistryHive, NewKeysAndValuesGoWhereThePrefixPutsThem) {
  for (const char* name : {"system.reg", "user-after-reg-tests.reg"}) {
    SCOPED_TRACE(name);
    RegistryHive original;
    std::string error;
    ASSERT_TRUE(original.load(fixturePath(name), error)) << error;

    std::vector<std::u16string> keys;
    std::vector<std::u16string> pending{u""};
    while (!pending.empty()) {
      std::u16string key = pending.back();
      pending.pop_back();
      keys.push_back(key);
      for (const auto& sub : original.subkeyNames(key))
        pending.push_back(key.empty() ? sub : key + u"\\" + sub);
    }

    RegistryHive rebuilt = RegistryHive::create(HiveKind::Machine, "");
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
      rebuilt.createKey(*k);
      auto values = original.valueNames(*k);
      for (auto v = values.rbegin(); v != values.rend(); ++v)
        rebuilt.setValue(*k, *original.findValue(*k, *v));
    }
    for (const auto& key : keys) {
      ASSERT_EQ(rebuilt.subkeyNames(key), original.subkeyNames(key));
      ASSERT_EQ(rebuilt.valueNames(key), original.valueNames(key));
    }
  }
}

TEST(RegistryHive, SiblingsSortOnLowerCaseLikeThePrefix) {
  RegistryHive hive = RegistryHive::create(HiveKind::User, "");
  for (auto name : {u"GBK", u"beta", u"GB_2312-80", u"Alpha", u"ALPHA2", u"_x", u"Zulu"})
    hive.createKey(std::u16string(u"K\\") + name);
  for (auto name : {u"b", u"", u"A", u"a_", u"aB"})
    hive.setValue(u"K", RegValue::fromText(name, u"x"));
  // '_' sorts after the upper-case letters but before the lower-case ones.
  EXPECT_EQ(hive.subkeyNames(u"K"), (std::vector<std::u16string>{u"_x", u"Alpha", u"ALPHA2",
                                                                 u"beta", u"GB_2312-80", u"GBK",
                                                                 u"Zulu"}));
  EXPECT_EQ(hive.valueNames(u"K"), (std::vector<std::u16string>{u"", u"A", u"a_", u"aB", u"b"}));
}

TEST(RegistryHive, ReplacingAValueKeepsItsPlaceAndNameCase) {
  RegistryHive hive = parsed(readFile(fixturePath("user-after-reg-tests.reg")));
  auto before = hive.valueNames(u"Software\\Test\\Sub Key");
  hive.setValue(u"Software\\Test\\Sub Key", RegValue::fromDword(u"PLAIN", 5));
  EXPECT_EQ(hive.valueNames(u"Software\\Test\\Sub Key"), before);
  const RegValue* v = hive.findValue(u"Software\\Test\\Sub Key", u"plain");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->name, u"Plain");
  EXPECT_EQ(v->type, kRegDword);
  EXPECT_NE(hive.serialize().find("\n\"Plain\"=dword:00000005\n"), std::string::npos);
}

TEST(RegistryHive, DeletingKeysAndValues) {
  RegistryHive hive = parsed(readFile(fixturePath("user-after-reg-tests.reg")));
  EXPECT_FALSE(hive.deleteKey(u"Software\\Test\\Missing"));
  EXPECT_FALSE(hive.deleteKey(u""));
  EXPECT_FALSE(hive.deleteValue(u"Software\\Test\\Sub Key", u"Missing"));
  EXPECT_FALSE(hive.modified());

  EXPECT_TRUE(hive.deleteValue(u"software\\test\\sub key", u"UMLAUT"));
  EXPECT_EQ(hive.findValue(u"Software\\Test\\Sub Key", u"Umlaut"), nullptr);
  EXPECT_EQ(hive.serialize().find("\"Umlaut\"="), std::string::npos);

  EXPECT_TRUE(hive.deleteKey(u"Software\\Test\\Br]acket"));  // with everything below
  EXPECT_FALSE(hive.keyExists(u"Software\\Test\\Br]acket\\Quote\"Key\\Slash/Key"));
  EXPECT_EQ(hive.serialize().find("Slash/Key"), std::string::npos);
  EXPECT_TRUE(hive.modified());

  // A parent left with neither subkeys nor values still exists, so it is
  // written as an empty key, as the prefix does.
  for (const auto& sub : hive.subkeyNames(u"Software\\Test"))
    ASSERT_TRUE(hive.deleteKey(u"Software\\Test\\" + sub));
  EXPECT_TRUE(hive.keyExists(u"Software\\Test"));
  std::string text = hive.serialize();
  size_t at = text.find("\n[Software\\\\Test] ");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(text.find("\n[Software\\\\Wine", at), text.find("\n\n[", at + 1) + 1);
  RegistryHive again = parsed(text);
  EXPECT_TRUE(again.keyExists(u"Software\\Test"));
  EXPECT_TRUE(again.subkeyNames(u"Software\\Test").empty());
}

// ---------------------------------------------------------------- files

TEST(RegistryHiveFile, ChangeIsSavedAtomicallyAndOtherKeysKeepTheirBytes) {
  TempFolder folder;
  const std::string path = folder.file("user.reg");
  const std::string original = readFile(fixturePath("user-after-reg-tests.reg"));
  writeFile(path, original);
  ::chmod(path.c_str(), 0644);

  RegistryHive hive;
  std::string error;
  ASSERT_TRUE(hive.load(path, error)) << error;
  const uint64_t time = 0x1dd8959a0000000;  // second 1796984592
  hive.setFixedTime(time);
  hive.setValue(u"software\\test\\SUB KEY", RegValue::fromText(u"Bin2", u"new"));
  hive.setValue(u"Software\\Test\\Alpha\\Deep", RegValue::fromDword(u"N", 7));
  EXPECT_TRUE(hive.modified());
  ASSERT_TRUE(hive.save(error)) << error;
  EXPECT_FALSE(hive.modified());

  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"user.reg"});  // no temporary left

  const std::string saved = readFile(path);
  auto before = blocksByKey(original);
  auto after = blocksByKey(saved);
  const std::string changed = "[Software\\\\Test\\\\Sub Key]";
  const std::string added = "[Software\\\\Test\\\\Alpha\\\\Deep]";
  for (const auto& [key, block] : before)
    if (key != changed) {
      EXPECT_EQ(after[key], block) << key;
    }
  EXPECT_EQ(after.size(), before.size() + 1);  // the implied "Alpha" has no block

  // The changed key: fresh time, its other lines as the prefix wrote them.
  std::string expected = before[changed];
  expected.replace(0, expected.find("\n@="),
                   changed + " 1796984592\n#time=1dd8959a0000000");
  size_t bin = expected.find("\"Dw\"=");
  expected.insert(bin, "\"Bin2\"=\"new\"\n");
  EXPECT_EQ(after[changed], expected);
  EXPECT_EQ(after[added], added + " 1796984592\n#time=1dd8959a0000000\n\"N\"=dword:00000007\n");
  EXPECT_LT(saved.find(added), saved.find("[Software\\\\Test\\\\Big]"));
  EXPECT_GT(saved.find(added), saved.find("[Software\\\\Microsoft"));

  RegistryHive again;
  ASSERT_TRUE(again.load(path, error)) << error;
  EXPECT_EQ(again.findValue(u"Software\\Test\\Sub Key", u"Bin2")->text(), u"new");
  EXPECT_EQ(again.findValue(u"Software\\Test\\Alpha\\Deep", u"N")->data,
            (std::vector<uint8_t>{7, 0, 0, 0}));
  EXPECT_EQ(again.serialize(), saved);
}

TEST(RegistryHiveFile, ChangedKeyGetsTheCurrentTime) {
  RegistryHive hive = parsed(readFile(fixturePath("userdef.reg")));
  const int64_t before = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
  hive.setValue(u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                RegValue::fromText(u"AppData", u"C:\\x"));
  std::string text = hive.serialize();
  size_t at = text.find("\\\\Shell Folders] ");
  ASSERT_NE(at, std::string::npos);
  regfile::KeyLine key;
  std::string reason;
  size_t lineStart = text.rfind('\n', at) + 1;
  ASSERT_TRUE(regfile::parseKeyLine(text.substr(lineStart, text.find('\n', at) - lineStart), key,
                                    reason));
  EXPECT_GE(static_cast<int64_t>(key.seconds), before);
  EXPECT_LE(static_cast<int64_t>(key.seconds), before + 60);
  uint64_t fileTime = 0;
  size_t timeLine = text.find('\n', at) + 1;
  ASSERT_TRUE(regfile::parseTimeOption(text.substr(timeLine, text.find('\n', timeLine) - timeLine),
                                       fileTime));
  EXPECT_EQ(regfile::keyLineSeconds(fileTime), key.seconds);
}

TEST(RegistryHiveFile, UnchangedHiveIsNotRewritten) {
  TempFolder folder;
  const std::string path = folder.file("system.reg");
  fs::copy_file(fixturePath("userdef.reg"), path);
  struct stat before {};
  ::stat(path.c_str(), &before);
  RegistryHive hive;
  std::string error;
  ASSERT_TRUE(hive.load(path, error)) << error;
  ASSERT_TRUE(hive.save(error)) << error;
  struct stat after {};
  ::stat(path.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);
}

TEST(RegistryHiveFile, CreatedHiveWritesThePrefixsHeader) {
  const std::pair<HiveKind, const char*> kinds[] = {{HiveKind::User, "user.reg"},
                                                    {HiveKind::Machine, "system.reg"},
                                                    {HiveKind::DefaultUser, "userdef.reg"}};
  for (const auto& [kind, fixture] : kinds) {
    SCOPED_TRACE(fixture);
    std::string text = readFile(fixturePath(fixture));
    std::string header = text.substr(0, text.find("\n\n[") + 1);
    EXPECT_EQ(RegistryHive::create(kind, "").serialize(), header);
  }

  TempFolder folder;
  RegistryHive hive = RegistryHive::create(HiveKind::User, folder.file("user.reg"));
  EXPECT_TRUE(hive.modified());
  hive.setFixedTime(0x1dd89591e29d300);  // second 1796984374
  hive.setValue(u"Software\\Test\\Sub Key", RegValue::fromText(u"", u"default value"));
  hive.setValue(u"Software\\Test\\Sub Key", RegValue::fromText(u"Exp", u"%APPDATA%\\Thing",
                                                               kRegExpandSz));
  hive.createKey(u"Software\\Wine\\AppDefaults");
  std::string error;
  ASSERT_TRUE(hive.save(error)) << error;
  EXPECT_EQ(readFile(folder.file("user.reg")),
            "WINE REGISTRY Version 2\n"
            ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
            "\n"
            "#arch=win64\n"
            "\n"
            "[Software\\\\Test\\\\Sub Key] 1796984374\n"
            "#time=1dd89591e29d300\n"
            "@=\"default value\"\n"
            "\"Exp\"=str(2):\"%APPDATA%\\\\Thing\"\n"
            "\n"
            "[Software\\\\Wine\\\\AppDefaults] 1796984374\n"
            "#time=1dd89591e29d300\n");
}

TEST(RegistryHiveFile, KeyNamesNeedingEscapesSurviveSaving) {
  const std::u16string names[] = {u"Br]acket [x]", u"Quote\"Key", u"Slash/Key", u"Caf\u00e9",
                                  u"\u00e9abc",    u"\U0001F30E", std::u16string(u"Tab\tNul\0x", 9)};
  RegistryHive hive = RegistryHive::create(HiveKind::User, "");
  for (const auto& name : names)
    hive.setValue(u"Software\\" + name, RegValue::fromText(name, u"d"));
  RegistryHive again = parsed(hive.serialize());
  for (const auto& name : names) {
    const RegValue* v = again.findValue(u"Software\\" + name, name);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->name, name);
  }
  EXPECT_EQ(again.subkeyNames(u"Software"), hive.subkeyNames(u"Software"));
}

// Damaged files: each is reported with its file and line, and the file on
// disk stays as it was, whatever is changed and saved afterwards.
TEST(RegistryHiveFile, DamagedFilesAreReportedAndNeverWritten) {
  const std::string head = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";
  struct Case {
    std::string text;
    int line;
    const char* reason;
  };
  const Case cases[] = {
      {"", 1, "not a registry file"},
      {"REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n", 1, "not a registry file"},
      {"Windows Registry Editor Version 5.00\n", 1, "not a registry file"},
      {head + "\"v\"=\"x\"\n[A] 1\n", 4, "value outside any key"},
      {head + "[A] 1\n\"v\"=\"x\"\n\n[Software\\\\Unterminated 12\n", 7, "unterminated key name"},
      {head + "[A\\] 1\n", 4, "unterminated key name"},
      {head + "[A]B] 1\n", 4, "unexpected text after the key name"},
      {head + "[A] 1\n\"v\"=\"abc\n", 5, "unterminated string"},
      {head + "[A] 1\n\"v\"=\"abc\\\"\n", 5, "unterminated string"},
      {head + "[A] 1\n\"v\"=\"a\"b\"\n", 5, "unexpected text after the string"},
      {head + "[A] 1\n\"v=\"x\"\n", 5, "missing \"=\""},
      {head + "[A] 1\n\"v\"=hex:0g\n", 5, "bad hex data"},
      {head + "[A] 1\n\"v\"=hex:123\n", 5, "bad hex byte"},
      {head + "[A] 1\n\"v\"=hex:00,01,\\\n  02,zz\n", 6, "bad hex data"},
      {head + "[A] 1\n\"v\"=hex:00,01,\\\n", 5, "continues past the end"},
      {head + "[A] 1\n\"v\"=hex(xyz):00\n", 5, "bad value type"},
      {head + "[A] 1\n\"v\"=dword:123456789\n", 5, "bad dword"},
      {head + "[A] 1\n\"v\"=dword:\n", 5, "bad dword"},
      {head + "[A] 1\n\"v\"=qword:1\n", 5, "unknown value type"},
      {head + "[A] 1\n#time=zz\n", 5, "bad #time"},
      {head + "[A] 1\n\"v\"=\"x\"\nstray text\n", 6, "unrecognized line"},
  };
  TempFolder folder;
  const std::string path = folder.file("system.reg");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    writeFile(path, c.text);
    RegistryHive hive;
    std::string error;
    ASSERT_FALSE(hive.load(path, error));
    std::string where = path + ":" + std::to_string(c.line) + ": ";
    EXPECT_EQ(error.substr(0, where.size()), where) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_FALSE(hive.keyExists(u"A"));

    hive.setValue(u"A", RegValue::fromText(u"v", u"y"));
    std::string saveError;
    EXPECT_FALSE(hive.save(saveError));
    EXPECT_NE(saveError.find(path), std::string::npos);
    EXPECT_EQ(readFile(path), c.text);
  }
  EXPECT_EQ(folder.names(), std::vector<std::string>{"system.reg"});

  RegistryHive missing;
  std::string error;
  EXPECT_FALSE(missing.load(folder.file("absent.reg"), error));
  EXPECT_NE(error.find("absent.reg"), std::string::npos);
  missing.setValue(u"A", RegValue::fromText(u"v", u"y"));
  EXPECT_FALSE(missing.save(error));
  EXPECT_FALSE(fs::exists(folder.file("absent.reg")));
}

}  // namespace
}  // namespace zq
