#include "core/files.h"

#include <vector>

#include "core/dos_time.h"
#include "core/paths.h"
#include "core/text.h"

namespace zq {
namespace {

bool isDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// "C:" or "C:\".
bool isBareDrive(std::u16string_view p) {
  if (p.size() < 2 || p.size() > 3) return false;
  if (!isDriveLetter(p[0]) || p[1] != u':') return false;
  return p.size() == 2 || p[2] == u'\\';
}

bool isDigitIn(char16_t c, char16_t low, char16_t high) { return c >= low && c <= high; }

// "COM1".."COM4", "LPT1".."LPT9" or "AUX" exactly (upper case given).
bool isDeviceWord(std::u16string_view w) {
  if (w == u"AUX") return true;
  if (w.size() != 4) return false;
  if (w.substr(0, 3) == u"COM") return isDigitIn(w[3], u'1', u'4');
  if (w.substr(0, 3) == u"LPT") return isDigitIn(w[3], u'1', u'9');
  return false;
}

bool entryInfo(std::u16string_view path, FileInfo& info) {
  if (path.empty()) return false;
  return currentMachine().fileInfo(path, info);
}

}  // namespace

bool isDeviceName(std::u16string_view p) {
  if (p.size() < 3) return false;
  const std::u16string upper = wideUpper(p);
  const std::u16string_view u = upper;
  if (isDeviceWord(u)) return true;
  const size_t slash = u.rfind(u'\\');
  return slash != std::u16string_view::npos && isDeviceWord(u.substr(slash + 1));
}

bool folderExists(std::u16string_view p) {
  if (isBareDrive(p)) return true;
  FileInfo info;
  return entryInfo(removeBackslash(p), info) && info.isFolder;
}

bool forceFolders(std::u16string_view p) {
  const std::u16string path = removeBackslash(p);
  if (path.empty()) return false;
  if (folderExists(path)) return true;
  const std::u16string parent = removeBackslash(folderOfPath(path));
  if (!parent.empty() && parent != path && !forceFolders(parent)) return false;
  return currentMachine().createFolder(path) || folderExists(path);
}

bool fileExists(std::u16string_view p) {
  if (isDeviceName(p)) return false;
  FileInfo info;
  return entryInfo(p, info) && !info.isFolder;
}

bool isNtfsVolume(std::u16string_view root) {
  if (root.size() < 2 || !isDriveLetter(root[0]) || root[1] != u':') return false;
  const char16_t letter = upperChar(root[0]);
  for (const DriveInfo& drive : currentMachine().drives()) {
    if (upperChar(drive.letter) == letter) return equalsNoCase(drive.fileSystem, u"NTFS");
  }
  return false;
}

// ---------------------------------------------------------------- open files

namespace {

bool openAs(tfile& file, std::u16string_view path, OpenMode mode) {
  closeFile(file);
  if (path.empty()) return false;
  file.handle = currentMachine().openFile(path, mode);
  file.mode = mode;
  return file.isOpen();
}

}  // namespace

bool openForWrite(tfile& file, std::u16string_view path) {
  const std::u16string folder = folderOfPath(path);
  if (!folder.empty()) forceFolders(folder);
  return openAs(file, path, OpenMode::Write);
}

bool openForRead(tfile& file, std::u16string_view path) {
  return openAs(file, path, OpenMode::Read);
}

bool openForAppend(tfile& file, std::u16string_view path, uint64_t position) {
  if (!openAs(file, path, OpenMode::Append)) return false;
  if (position != 0 && !seekTo(file, position)) {
    closeFile(file);
    return false;
  }
  return true;
}

size_t readBlock(tfile& file, void* buffer, size_t& count) {
  if (!file.isOpen() || count == 0) {
    count = 0;
    return 0;
  }
  count = file.handle->read(buffer, count);
  return count;
}

size_t readAt(tfile& file, void* buffer, size_t& count, uint64_t position) {
  if (!seekTo(file, position)) {
    count = 0;
    return 0;
  }
  return readBlock(file, buffer, count);
}

bool writeBlock(tfile& file, const void* buffer, size_t count) {
  if (!file.isOpen()) return false;
  if (count == 0) return true;
  return file.handle->write(buffer, count);
}

bool closeFile(tfile& file) {
  if (!file.isOpen()) return true;
  const bool ok = file.handle->close();
  file.handle.reset();
  return ok;
}

uint64_t filePosition(const tfile& file) { return file.isOpen() ? file.handle->position() : 0; }

int64_t fileSizeOf(const tfile& file) { return file.isOpen() ? file.handle->size() : -1; }

bool atEndOfFile(const tfile& file) {
  const int64_t size = fileSizeOf(file);
  if (size < 0) return true;
  return filePosition(file) >= static_cast<uint64_t>(size);
}

bool seekTo(tfile& file, uint64_t position) {
  return file.isOpen() && file.handle->seek(position);
}

// ---------------------------------------------------------------- entries

int64_t sizeOfFile(std::u16string_view path) {
  FileInfo info;
  // A folder's directory entry carries no size.
  if (!entryInfo(path, info) || info.isFolder || info.size == 0) return -1;
  return static_cast<int64_t>(info.size);
}

double creationTimeOf(std::u16string_view path) {
  FileInfo info;
  return entryInfo(path, info) ? fileTimeToDays(info.creationTime) : 0.0;
}

double writeTimeOf(std::u16string_view path) {
  FileInfo info;
  return entryInfo(path, info) ? fileTimeToDays(info.writeTime) : 0.0;
}

double accessTimeOf(std::u16string_view path) {
  FileInfo info;
  return entryInfo(path, info) ? fileTimeToDays(info.accessTime) : 0.0;
}

uint32_t attributesOf(std::u16string_view path) {
  FileInfo info;
  return entryInfo(path, info) ? info.attributes : 0;
}

bool setAttributesOf(std::u16string_view path, uint32_t attributes) {
  return !path.empty() && currentMachine().setAttributes(path, attributes);
}

// ---------------------------------------------------------------- whole files

bool moveFile(std::u16string_view from, std::u16string_view to) {
  if (from.empty() || to.empty()) return false;
  return currentMachine().moveFile(from, to);
}

bool deleteFile(std::u16string_view path) {
  return !path.empty() && currentMachine().deleteFile(path);
}

bool copyFile(std::u16string_view from, std::u16string_view to) {
  Machine& machine = currentMachine();
  FileInfo source;
  if (!entryInfo(from, source) || source.isFolder || to.empty()) return false;

  // Opening the destination for writing truncates it: if it is the source
  // under another name, the data would be gone before it was read.
  FileInfo target;
  if (equalsNoCase(from, to)) return false;
  if (entryInfo(to, target)) {
    if (target.isFolder) return false;
    if (source.id == target.id && !(source.id == FileId{})) return false;
  }

  tfile in, out;
  if (!openForRead(in, from)) return false;
  if (!openForWrite(out, to)) return false;

  std::vector<uint8_t> buffer(1 << 16);
  bool ok = true;
  for (;;) {
    size_t count = buffer.size();
    if (readBlock(in, buffer.data(), count) == 0) break;
    if (!writeBlock(out, buffer.data(), count)) {
      ok = false;
      break;
    }
  }
  // A read that stops before the end is a failed read, not the end of the copy.
  if (ok && static_cast<int64_t>(filePosition(in)) < fileSizeOf(in)) ok = false;
  closeFile(in);
  if (!closeFile(out)) ok = false;
  if (!ok) {
    machine.deleteFile(to);
    return false;
  }
  machine.setTimes(to, source.creationTime, source.writeTime, source.accessTime);
  machine.setAttributes(to, source.attributes);
  return true;
}

bool replaceFileContents(std::u16string_view path, std::string_view bytes, std::string& error) {
  if (path.empty()) {
    error = "no place to save it";
    return false;
  }
  const std::u16string temporary = std::u16string(path) + u".tmp";
  tfile file;
  if (!openForWrite(file, temporary)) {
    error = "cannot create the file";
    return false;
  }
  const bool written = writeBlock(file, bytes.data(), bytes.size());
  if (!closeFile(file) || !written) {
    deleteFile(temporary);
    error = "cannot write the file (disk full?)";
    return false;
  }
  if (!moveFile(temporary, path)) {
    deleteFile(temporary);
    error = "cannot replace the previous file";
    return false;
  }
  return true;
}

bool readWholeFile(std::u16string_view path, uint64_t maxSize, std::string& bytes,
                   std::string& error) {
  bytes.clear();
  tfile file;
  if (path.empty() || !openForRead(file, path)) {
    error = "cannot open the file";
    return false;
  }
  const int64_t size = fileSizeOf(file);
  if (size < 0 || static_cast<uint64_t>(size) > maxSize) {
    closeFile(file);
    error = "unreadable or implausibly large (" + std::to_string(size) + " bytes)";
    return false;
  }
  bytes.assign(static_cast<size_t>(size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    size_t count = bytes.size() - done;
    if (readBlock(file, bytes.data() + done, count) == 0) break;
    done += count;
  }
  closeFile(file);
  if (done != bytes.size()) {
    bytes.clear();
    error = "cannot read the whole file";
    return false;
  }
  return true;
}

}  // namespace zq
