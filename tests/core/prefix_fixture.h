// A small Windows computer for the helper tests: a prefix folder with a
// drive_c tree, a CD-ROM as D:, and minimal user.reg / system.reg, all
// declared below as data. The prefix machine over it is current for the
// duration of each test.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/machine.h"
#include "core/prefix_machine.h"
#include "testing/scratch_dir.h"

namespace zq::fixture {

// Folders below the prefix folder.
inline const std::vector<std::string> kFolders = {
    "drive_c/windows/system32",
    "drive_c/Program Files/Common Files",
    "drive_c/users/alice/Desktop",
    "drive_c/users/alice/Documents/Mail",
    "drive_c/users/alice/Favorites",
    "drive_c/users/alice/Temp",
    "drive_c/users/alice/AppData/Local",
    "drive_c/users/alice/AppData/Roaming/Microsoft/Windows/Network Shortcuts/Office Share",
    "drive_d",
    "dosdevices",
};

struct File {
  std::string path;  // below the prefix folder
  std::string content;
};

inline const std::vector<File> kFiles = {
    {"drive_c/users/alice/Documents/notes.txt", "hello\r\n"},
    {"drive_c/users/alice/Documents/Empty.txt", ""},
    {"drive_c/users/alice/Documents/Mail/Inbox.dbx", "inbox"},
    {"drive_c/users/alice/Documents/Mail/Sent.DBX", "sent"},
    {"drive_c/users/alice/Documents/Mail/outbox.wab", "wab"},
    {"drive_c/users/alice/Documents/COM5", "not a device"},
    {"drive_c/users/alice/Documents/COM2", "a device name all the same"},
    {"drive_c/windows/win.ini", "[fonts]\r\n"},
};

inline const char kUserReg[] =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1700000000\n"
    "\"AppData\"=\"C:\\\\users\\\\alice\\\\AppData\\\\Roaming\"\n"
    "\"Desktop\"=\"C:\\\\users\\\\alice\\\\Desktop\"\n"
    "\"Favorites\"=\"C:\\\\users\\\\alice\\\\Favorites\"\n"
    "\"Local AppData\"=\"C:\\\\users\\\\alice\\\\AppData\\\\Local\"\n"
    "\"NetHood\"=\"C:\\\\users\\\\alice\\\\AppData\\\\Roaming\\\\Microsoft\\\\Windows\\\\Network "
    "Shortcuts\"\n"
    "\"Personal\"=\"C:\\\\users\\\\alice\\\\Documents\\\\\"\n"
    "\n"
    "[Software\\\\Zq\\\\Test] 1700000000\n"
    "@=\"default text\"\n"
    "\"Expand\"=str(2):\"%APPDATA%\\\\Thing\"\n"
    "\"Number\"=dword:0000002a\n"
    "\"Text\"=\"Gr\\xfc\\x00dfe\"\n";

inline const char kSystemReg[] =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Classes\\\\.txt] 1700000000\n"
    "@=\"txtfile\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1700000000\n"
    "\"CurrentVersion\"=\"6.1\"\n"
    "\"SystemRoot\"=\"C:\\\\windows\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Policies\\\\System] 1700000000\n"
    "\"EnableLUA\"=dword:00000001\n"
    "\n"
    "[Software\\\\Wine\\\\Drives] 1700000000\n"
    "\"d:\"=\"cdrom\"\n"
    "\n"
    "[System\\\\CurrentControlSet\\\\Control\\\\ComputerName\\\\ComputerName] 1700000000\n"
    "\"ComputerName\"=\"FIXTURE-PC\"\n"
    "\n"
    "[System\\\\CurrentControlSet\\\\Services\\\\Schedule] 1700000000\n"
    "\"Start\"=dword:00000003\n"
    "\n"
    "[System\\\\CurrentControlSet\\\\Services\\\\Disabled] 1700000000\n"
    "\"Start\"=dword:00000004\n";

}  // namespace zq::fixture

namespace zq {

class PrefixFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.path().empty());
    dir_ = scratch_.sub("prefix");
    ASSERT_EQ(::mkdir(dir_.c_str(), 0700), 0);
    for (const std::string& folder : fixture::kFolders) makeFolders(folder);
    for (const fixture::File& file : fixture::kFiles) writeHostFile(file.path, file.content);
    writeHostFile("user.reg", fixture::kUserReg);
    writeHostFile("system.reg", fixture::kSystemReg);
    ASSERT_EQ(::symlink("../drive_c", host("dosdevices/c:").c_str()), 0);
    ASSERT_EQ(::symlink("../drive_d", host("dosdevices/d:").c_str()), 0);

    PrefixOptions options;
    options.hostUser = "alice";
    options.hostName = "fixture-pc";
    options.opener = "/bin/false";
    std::string error;
    machine_ = PrefixMachine::open(dir_, error, options);
    ASSERT_TRUE(machine_) << error;
    scope_ = std::make_unique<ScopedMachine>(*machine_);
  }

  void TearDown() override {
    scope_.reset();
    machine_.reset();
  }

  // Host path of something below the prefix folder.
  std::string host(const std::string& below) const { return dir_ + "/" + below; }

  void makeFolders(const std::string& below) const {
    std::string path = dir_;
    size_t at = 0;
    while (at <= below.size()) {
      size_t next = below.find('/', at);
      if (next == std::string::npos) next = below.size();
      path += "/" + below.substr(at, next - at);
      ::mkdir(path.c_str(), 0700);
      at = next + 1;
    }
  }

  void writeHostFile(const std::string& below, const std::string& content) const {
    std::ofstream out(host(below), std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good()) << below;
  }

  std::string readHostFile(const std::string& below) const {
    std::ifstream in(host(below), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  ScratchDir scratch_{"zq-helpers"};
  std::string dir_;
  std::unique_ptr<PrefixMachine> machine_;
  std::unique_ptr<ScopedMachine> scope_;
};

}  // namespace zq
