// The computer as the programs see it.
//
// Every question the programs ask of "the computer" (registry, drives, files,
// special folders, environment, version, services, the desktop's opener) goes
// through this one interface and never straight to the host. Implementations:
// the prefix machine (a Windows computer laid out as a Wine-style prefix
// directory, core/prefix_machine.h); later a native Windows one.
//
// Paths given to a Machine are Windows paths in wide text ("C:\Users\x\a.txt").
// Case is ignored when a path is resolved; the case of an existing entry is
// kept, a new component keeps the case it was given. Nothing here throws:
// failures are false, empty results or a reason text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zq {

// ---------------------------------------------------------------- registry

enum class RegRoot { CurrentUser, LocalMachine, ClassesRoot };

// Windows registry value types (the numbers are the system's).
enum RegType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
  kRegQword = 11,
};

// One value as Windows holds it: the data bytes exactly as stored (strings are
// UTF-16LE including their terminating NUL unit). Any type number is allowed.
struct RegValue {
  std::u16string name;  // empty = the key's default value ("@")
  uint32_t type = kRegSz;
  std::vector<uint8_t> data;

  // Convenience for the string types: the text up to the first NUL unit.
  std::u16string text() const;
  static RegValue fromText(std::u16string name, std::u16string_view text,
                           uint32_t type = kRegSz);
  static RegValue fromDword(std::u16string name, uint32_t value);
};

// ---------------------------------------------------------------- drives

// Drive kinds, numbered as the system numbers them.
enum class DriveType : uint32_t {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

struct DriveInfo {
  char16_t letter = u'C';     // upper case
  DriveType type = DriveType::Fixed;
  std::u16string fileSystem;  // "NTFS", "CDFS", ...; empty when unknown
  std::string hostRoot;       // host folder of the drive root, no trailing "/" (except "/")
};

// ---------------------------------------------------------------- files

// Windows attribute bits the programs use.
enum FileAttribute : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrVolumeLabel = 0x08,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
};

// The identity of a file or folder on its volume (device and inode on a
// prefix machine). Two names for one file give the same identity.
struct FileId {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FileId&) const = default;
};

// Times are Windows FILETIME values: 100-nanosecond units since 1601-01-01 UTC.
struct FileInfo {
  bool isFolder = false;
  uint64_t size = 0;
  uint32_t attributes = 0;
  uint64_t creationTime = 0;
  uint64_t writeTime = 0;
  uint64_t accessTime = 0;
  FileId id;
};

struct FolderEntry {
  std::u16string name;  // as stored on disk; never "." or ".."
  FileInfo info;        // of the entry itself (links are followed)
};

enum class OpenMode {
  Read,    // existing file, read only; shared with other readers
  Write,   // create or truncate, write only
  Append,  // existing file, write only, positioned at its end
  // A new file, write only; fails when anything of that name exists, a link
  // too (even one pointing nowhere), so nothing is ever written through it.
  CreateNew,
};

// An open file. Positions and sizes are 64-bit. Not copyable; closed by
// close() or by destruction.
class File {
 public:
  virtual ~File() = default;
  // Reads up to count bytes; returns the number read (0 at the end or on error).
  virtual size_t read(void* buffer, size_t count) = 0;
  // True only when all count bytes were written.
  virtual bool write(const void* buffer, size_t count) = 0;
  virtual bool seek(uint64_t position) = 0;
  virtual uint64_t position() const = 0;
  // The current size; -1 when it cannot be read.
  virtual int64_t size() const = 0;
  // Flushes and closes; false when a pending write failed (a full disk).
  virtual bool close() = 0;
};

// ---------------------------------------------------------------- system

struct WindowsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
};

// The folders the shell knows; special-folder lookup answers these.
enum class SpecialFolder {
  Desktop,
  AppData,       // roaming application data
  LocalAppData,
  Favorites,
  Documents,     // "Personal"
  Windows,
  Profile,       // the user's profile folder
  ProgramFiles,
  Temp,
  NetHood,
};

// ---------------------------------------------------------------- machine

class Machine {
 public:
  virtual ~Machine() = default;

  // --- registry. Keys are paths below the root, "\"-separated, case ignored.
  // ClassesRoot is "Software\Classes" of the user over that of the machine.

  // False when the key or value does not exist.
  virtual bool readValue(RegRoot root, std::u16string_view key, std::u16string_view name,
                         RegValue& out) = 0;
  // Creates missing keys, writes the value and saves the hive. False with a
  // reason in *error when the hive cannot be saved.
  virtual bool writeValue(RegRoot root, std::u16string_view key, const RegValue& value,
                          std::string* error = nullptr) = 0;
  virtual bool deleteValue(RegRoot root, std::u16string_view key, std::u16string_view name) = 0;
  // Deletes the key and everything below it.
  virtual bool deleteKey(RegRoot root, std::u16string_view key) = 0;
  virtual bool keyExists(RegRoot root, std::u16string_view key) = 0;
  // Names of the direct subkeys, in the order the hive keeps them.
  virtual std::vector<std::u16string> subkeyNames(RegRoot root, std::u16string_view key) = 0;
  // Names of the values of a key, in stored order.
  virtual std::vector<std::u16string> valueNames(RegRoot root, std::u16string_view key) = 0;

  // --- paths

  // The host path of a Windows path, each component matched case-insensitively
  // (exact match first); components that do not exist keep their case. Empty
  // when the path cannot be mapped: unknown drive, UNC share the machine does
  // not map, a ".." above the drive root, or a relative path.
  virtual std::string hostPath(std::u16string_view windowsPath) = 0;
  // The Windows name of an absolute host path (through the drive that holds
  // it, else Z:). Empty when there is none.
  virtual std::u16string windowsPath(std::string_view hostPath) = 0;

  // --- drives

  virtual std::vector<DriveInfo> drives() = 0;
  // Bit 0 = A:, bit 1 = B:, ...
  virtual uint32_t logicalDriveMask() = 0;

  // --- files and folders

  // Null with a reason in *error when the file cannot be opened.
  virtual std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode,
                                         std::string* error = nullptr) = 0;
  // False when the entry does not exist or cannot be read.
  virtual bool fileInfo(std::u16string_view path, FileInfo& out) = 0;
  // Lists a folder; false when it cannot be read (the list is then empty).
  virtual bool listFolder(std::u16string_view path, std::vector<FolderEntry>& out) = 0;
  // Creates one folder (the parent must exist). True when it exists afterwards.
  virtual bool createFolder(std::u16string_view path) = 0;
  // Removes an empty folder.
  virtual bool removeFolder(std::u16string_view path) = 0;
  virtual bool deleteFile(std::u16string_view path) = 0;
  // Renames or moves a file or folder; an existing target file is replaced.
  virtual bool moveFile(std::u16string_view from, std::u16string_view to) = 0;
  // Windows attribute bits and times, where the machine can keep them.
  virtual bool setAttributes(std::u16string_view path, uint32_t attributes) = 0;
  virtual bool setTimes(std::u16string_view path, uint64_t creation, uint64_t write,
                        uint64_t access) = 0;

  // --- system

  virtual WindowsVersion version() = 0;
  virtual std::u16string computerName() = 0;
  virtual std::u16string userName() = 0;
  // The ANSI code page (1252 unless the machine says otherwise).
  virtual uint32_t ansiCodePage() = 0;
  // Special folder path without trailing "\"; empty when unknown.
  virtual std::u16string specialFolder(SpecialFolder folder) = 0;
  // A variable as a Windows process of this user sees it; empty when unset.
  virtual std::u16string environmentVariable(std::u16string_view name) = 0;
  // The text with its %name% references expanded as that process would; a
  // reference to an unset variable stays as it is.
  virtual std::u16string expandEnvironment(std::u16string_view text) = 0;

  // --- services

  virtual bool isServiceRunning(std::u16string_view name) = 0;
  virtual bool startService(std::u16string_view name) = 0;

  // --- shell

  // Opens a file, folder or address with the desktop's opener. False (quietly)
  // where there is none.
  virtual bool openDocument(std::u16string_view target) = 0;
};

// The machine every helper of the program talks to. Set once at start-up by
// the program (or for one scope by a test); there is always one.
Machine& currentMachine();

// Installs a machine for the lifetime of this object, then puts the previous
// one back. Tests use it to run against a fixture machine.
class ScopedMachine {
 public:
  explicit ScopedMachine(Machine& machine);
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

 private:
  Machine* previous_;
};

// Makes `machine` current for the rest of the process (program start-up).
void setCurrentMachine(std::unique_ptr<Machine> machine);

}  // namespace zq
