#include "wizard/show_machine.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/text.h"

namespace zq {

namespace {

constexpr char16_t kNtCurrentVersion[] = u"Software\\Microsoft\\Windows NT\\CurrentVersion";

const char* typeName(DriveType type) {
  switch (type) {
    case DriveType::Removable: return "removable";
    case DriveType::Fixed: return "fixed";
    case DriveType::Remote: return "network";
    case DriveType::CdRom: return "CD-ROM";
    case DriveType::RamDisk: return "RAM disk";
    case DriveType::NoRootDir: return "no root";
    case DriveType::Unknown: break;
  }
  return "unknown";
}

// text padded with spaces to `width` characters (counted as wide units, so
// non-ASCII names line up too).
std::string padded(std::u16string_view text, size_t width) {
  std::string out = wideToUtf8(text);
  if (text.size() < width) out.append(width - text.size(), ' ');
  return out;
}

std::string line(std::string_view label, const std::u16string& value) {
  std::string out(label);
  out.append(17 > label.size() ? 17 - label.size() : 1, ' ');
  return out + (value.empty() ? "(unknown)" : wideToUtf8(value)) + "\n";
}

// A real prefix links Desktop, Documents and others to the Unix home
// folder: say so, since everything there is then in that folder.
std::string linkNote(const std::string& host) {
  std::error_code ec;
  const auto target = std::filesystem::read_symlink(host, ec);
  return ec ? std::string() : " (link to " + target.string() + ")";
}

std::u16string registryText(Machine& machine, std::u16string_view name) {
  RegValue value;
  if (!machine.readValue(RegRoot::LocalMachine, kNtCurrentVersion, name, value)) return {};
  return value.text();
}

std::u16string versionText(Machine& machine) {
  const WindowsVersion v = machine.version();
  if (v.major == 0) return {};
  std::u16string out = utf8ToWide(std::to_string(v.major) + "." + std::to_string(v.minor));
  std::u16string product = registryText(machine, u"ProductName");
  const std::u16string pack = registryText(machine, u"CSDVersion");
  if (!pack.empty()) product += (product.empty() ? u"" : u" ") + pack;
  if (!product.empty()) out += u" (" + product + u")";
  return out;
}

std::string drivesText(Machine& machine) {
  std::string out = "Drives:\n";
  for (const DriveInfo& d : machine.drives()) {
    out += "  " + wideToUtf8(std::u16string(1, d.letter)) + ":  ";
    out += padded(utf8ToWide(typeName(d.type)), 10);
    out += padded(d.fileSystem.empty() ? u"-" : d.fileSystem, 6);
    out += d.hostRoot + "\n";
  }
  return out;
}

std::string foldersText(Machine& machine) {
  struct Named {
    const char* label;
    SpecialFolder folder;
  };
  const Named named[] = {
      {"desktop", SpecialFolder::Desktop},
      {"application data", SpecialFolder::AppData},
      {"local application data", SpecialFolder::LocalAppData},
      {"favorites", SpecialFolder::Favorites},
      {"documents", SpecialFolder::Documents},
      {"Windows", SpecialFolder::Windows},
      {"profile", SpecialFolder::Profile},
      {"program files", SpecialFolder::ProgramFiles},
      {"temp", SpecialFolder::Temp},
      {"NetHood", SpecialFolder::NetHood},
  };
  // Asked of the machine itself: the special-folder helpers would create a
  // missing folder, and showing must not change the computer.
  std::string out = "Special folders (Windows path -> host path):\n";
  for (const auto& n : named) {
    out += "  " + padded(utf8ToWide(n.label), 24);
    const std::u16string path = machine.specialFolder(n.folder);
    if (path.empty()) {
      out += "(unknown)\n";
      continue;
    }
    out += wideToUtf8(path) + "  ->  ";
    const std::string host = machine.hostPath(path);
    FileInfo info;
    if (host.empty()) {
      out += "(no host folder)\n";
    } else if (!machine.fileInfo(path, info) || !info.isFolder) {
      out += host + " (missing)\n";
    } else {
      out += host + linkNote(host) + "\n";
    }
  }
  return out;
}

}  // namespace

std::string describeMachine(Machine& machine, const std::string& folder) {
  std::string out;
  out += "Machine folder:  " + folder + "\n";
  out += line("User:", machine.userName());
  out += line("Windows version:", versionText(machine));
  out += line("Computer name:", machine.computerName());
  out += line("ANSI code page:", utf8ToWide(std::to_string(machine.ansiCodePage())));
  out += "\n" + drivesText(machine) + "\n" + foldersText(machine);
  return out;
}

}  // namespace zq
