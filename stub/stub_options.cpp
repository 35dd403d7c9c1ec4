#include "stub/stub_options.h"

#include <string_view>

namespace zq {

const char kStubUsage[] =
    "usage: stub [options]\n"
    "Without options the program restores the archive it carries and asks its questions.\n"
    "  --info               product, version, encryption, number of files and what the\n"
    "                       archive holds\n"
    "  --list               every stored file (program, tag, relative folder, source\n"
    "                       folder, file name, size, stored size) and the folders each\n"
    "                       program's files would go to (below DIR with --target DIR)\n"
    "  --check              decode every chunk of every file without writing anything and\n"
    "                       name each damaged file; the archive keeps no checksums, so a\n"
    "                       changed byte inside a stored chunk can pass unnoticed\n"
    "  --detect             restore each program's files where it keeps them; no questions\n"
    "  --target DIR         restore below DIR (a host path, or a Windows path such as\n"
    "                       D:\\Restore); no questions\n"
    "  --only NAME,NAME     restore only these entries (\"Manual\" for the manually selected\n"
    "                       files)\n"
    "  --passphrase-file F  take the passphrase from the first line of F\n"
    "  --machine DIR        the Windows computer to restore to: a Wine-style prefix folder\n"
    "                       (default: $WINEPREFIX, else ~/.wine)\n"
    "  --help               this text\n"
    "Exit status: 0 restored, 1 failed, 2 bad arguments or not an archive, 3 wrong passphrase.\n";

namespace {

// "--name VALUE" or "--name=VALUE"; false when the option is another one.
bool valueOf(std::string_view name, int argc, const char* const* argv, int& i, std::string& value,
             bool& missing) {
  const std::string_view arg = argv[i];
  if (arg == name) {
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
      missing = true;
    } else {
      value = argv[++i];
    }
    return true;
  }
  if (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=') {
    value = arg.substr(name.size() + 1);
    missing = value.empty();
    return true;
  }
  return false;
}

std::vector<std::string> splitNames(const std::string& text) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(start, end - start);
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (!name.empty()) names.push_back(name);
    start = end + 1;
  }
  return names;
}

}  // namespace

bool parseStubOptions(int argc, const char* const* argv, StubOptions& out, std::string& error) {
  out = StubOptions{};
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    std::string value;
    bool missing = false;
    if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else if (arg == "--info") {
      out.info = true;
    } else if (arg == "--list") {
      out.list = true;
    } else if (arg == "--check") {
      out.check = true;
    } else if (arg == "--detect") {
      out.detect = true;
    } else if (valueOf("--target", argc, argv, i, value, missing)) {
      out.hasTarget = true;
      out.target = value;
    } else if (valueOf("--only", argc, argv, i, value, missing)) {
      for (auto& name : splitNames(value)) out.only.push_back(std::move(name));
      if (!missing && out.only.empty()) missing = true;
    } else if (valueOf("--passphrase-file", argc, argv, i, value, missing)) {
      out.passphraseFile = value;
    } else if (valueOf("--machine", argc, argv, i, value, missing)) {
      out.machine = value;
    } else {
      error = "unknown option \"" + std::string(arg) + "\"";
      return false;
    }
    if (missing) {
      error = "the option \"" + std::string(arg) + "\" needs a value";
      return false;
    }
  }
  if (out.info + out.list + out.check > 1) {
    error = "--info, --list and --check go one at a time";
    return false;
  }
  if (out.detect && out.hasTarget) {
    error = "--detect and --target exclude each other";
    return false;
  }
  if ((out.info || out.check) && (out.detect || out.hasTarget || !out.only.empty())) {
    error = "--info and --check restore nothing: --detect, --target and --only do not apply";
    return false;
  }
  return true;
}

}  // namespace zq
