#include "core/prefix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <system_error>

#include "core/text.h"

namespace zq {
namespace {

constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr uint64_t kTicksPerSecond = 10000000;
constexpr const char* kAttributeName = "user.DOSATTRIB";

// Bits that are never stored: they follow from what the entry is.
constexpr uint32_t kDerivedBits = kAttrDirectory | kAttrNormal | kAttrVolumeLabel | 0x40;

bool ownerCanWrite(const struct stat& st) { return (st.st_mode & S_IWUSR) != 0; }

std::string lastComponent(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The attribute bits kept by setHostAttributes, when there are any. The text
// form "0x<hex>" is the one other Windows layers on Linux write.
bool storedAttributes(const std::string& path, uint32_t& out) {
  char buffer[64];
  ssize_t n = getxattr(path.c_str(), kAttributeName, buffer, sizeof(buffer) - 1);
  if (n < 3) return false;
  buffer[n] = '\0';
  if (buffer[0] != '0' || (buffer[1] != 'x' && buffer[1] != 'X')) return false;
  char* end = nullptr;
  unsigned long value = std::strtoul(buffer + 2, &end, 16);
  if (end == buffer + 2) return false;
  out = static_cast<uint32_t>(value);
  return true;
}

uint32_t attributesOf(const std::string& path, const std::string& name, bool isFolder,
                      bool readOnlyMode) {
  uint32_t attributes = isFolder ? uint32_t{kAttrDirectory} : 0u;
  uint32_t stored = 0;
  if (storedAttributes(path, stored)) {
    stored &= ~kDerivedBits;
    // A file's read-only bit is its mode; a folder keeps its own, because a
    // folder without write permission would refuse new files on the host.
    if (!isFolder) stored &= ~kAttrReadOnly;
    attributes |= stored;
  } else if (!isFolder) {
    attributes |= kAttrArchive;
  }
  if (readOnlyMode) attributes |= kAttrReadOnly;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttrHidden;
  if (attributes == 0) attributes = kAttrNormal;
  return attributes;
}

bool infoFromStatx(const struct statx& sx, const std::string& path, FileInfo& out) {
  bool isFolder = S_ISDIR(sx.stx_mode);
  out = FileInfo{};
  out.isFolder = isFolder;
  out.size = isFolder ? 0 : sx.stx_size;
  out.writeTime = fileTimeFromUnix(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
  out.accessTime = fileTimeFromUnix(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
  // Without a birth time the earlier of modification and change stands in.
  const struct statx_timestamp* created = &sx.stx_mtime;
  if (sx.stx_mask & STATX_BTIME) {
    created = &sx.stx_btime;
  } else if (sx.stx_ctime.tv_sec < sx.stx_mtime.tv_sec) {
    created = &sx.stx_ctime;
  }
  out.creationTime = fileTimeFromUnix(created->tv_sec, created->tv_nsec);
  out.id.volume = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  out.id.index = sx.stx_ino;
  out.attributes = attributesOf(path, lastComponent(path), isFolder, !(sx.stx_mode & S_IWUSR));
  return true;
}

class HostFile final : public File {
 public:
  explicit HostFile(int fd) : fd_(fd) {}
  ~HostFile() override { close(); }
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;

  size_t read(void* buffer, size_t count) override {
    size_t done = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (fd_ >= 0 && done < count) {
      ssize_t n = ::read(fd_, bytes + done, count - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  bool write(const void* buffer, size_t count) override {
    size_t done = 0;
    auto* bytes = static_cast<const char*>(buffer);
    while (done < count) {
      ssize_t n = fd_ >= 0 ? ::write(fd_, bytes + done, count - done) : -1;
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed_ = true;
        return false;
      }
      done += static_cast<size_t>(n);
    }
    return true;
  }

  bool seek(uint64_t position) override {
    if (fd_ < 0 || position > static_cast<uint64_t>(INT64_MAX)) return false;
    return lseek(fd_, static_cast<off_t>(position), SEEK_SET) != -1;
  }

  uint64_t position() const override {
    off_t at = fd_ >= 0 ? lseek(fd_, 0, SEEK_CUR) : -1;
    return at < 0 ? 0 : static_cast<uint64_t>(at);
  }

  int64_t size() const override {
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
    return st.st_size;
  }

  // A write that failed earlier makes close report failure too, so a caller
  // that checks only close still learns of a full disk.
  bool close() override {
    if (fd_ >= 0) {
      if (::close(fd_) != 0 && errno != EINTR) failed_ = true;
      fd_ = -1;
    }
    return !failed_;
  }

 private:
  int fd_;
  bool failed_ = false;
};

// Copies a regular file's bytes, mode and times to a new file beside `to`,
// then renames it over `to`: the target is never left half written.
bool copyAcross(const std::string& from, const std::string& to, int& error) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    error = errno;
    return false;
  }
  struct stat st;
  fstat(in, &st);
  std::string temp = to + ".zq-move-XXXXXX";
  int out = mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) {
    error = errno;
    ::close(in);
    return false;
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(in, buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      ok = false;
    }
    if (n <= 0) break;
    for (ssize_t done = 0; ok && done < n;) {
      ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        error = w < 0 ? errno : ENOSPC;
        ok = false;
      } else {
        done += w;
      }
    }
    if (!ok) break;
  }
  ::close(in);
  if (ok) {
    fchmod(out, st.st_mode & 07777);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out, times);
  }
  if (::close(out) != 0 && ok) {
    error = errno;
    ok = false;
  }
  if (ok && rename(temp.c_str(), to.c_str()) != 0) {
    error = errno;
    ok = false;
  }
  if (!ok) unlink(temp.c_str());
  return ok;
}

// A Windows program file (".exe", such as a self-restoring archive) is made
// runnable on the host too, so that it can be started from the host's side as
// well as from Windows' side.
bool namesProgramFile(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  for (char& c : end) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return end == ".exe";
}

void makeRunnable(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  const mode_t readable = st.st_mode & 0444;
  chmod(path.c_str(), (st.st_mode & 07777) | (readable >> 2));
}

}  // namespace

std::string hostErrorText(int error) {
  switch (error) {
    case ENOENT: return "no such file or folder";
    case ENOTDIR: return "a part of the path is not a folder";
    case EACCES:
    case EPERM: return "access denied";
    case EEXIST: return "already exists";
    case EISDIR: return "is a folder";
    case ENOTEMPTY: return "the folder is not empty";
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EROFS: return "the drive is read-only";
    case EBUSY:
    case ETXTBSY: return "in use";
    case ENAMETOOLONG: return "the name is too long";
    case ELOOP: return "too many levels of links";
    case EXDEV: return "on another drive";
    case EIO: return "a device error";
    case EMFILE:
    case ENFILE: return "too many open files";
    case kErrNotRegularFile: return "not a file (a device or pipe)";
    case kErrUnmappedPath: return "no such drive or path";
    case kErrFolderAcrossDrives: return "a folder cannot be moved to another drive";
    default: return std::error_code(error, std::generic_category()).message();
  }
}

uint64_t fileTimeFromUnix(int64_t seconds, uint32_t nanoseconds) {
  if (seconds < -kSecondsFrom1601To1970) return 0;
  return static_cast<uint64_t>(seconds + kSecondsFrom1601To1970) * kTicksPerSecond +
         nanoseconds / 100;
}

void unixFromFileTime(uint64_t fileTime, int64_t& seconds, uint32_t& nanoseconds) {
  seconds = static_cast<int64_t>(fileTime / kTicksPerSecond) - kSecondsFrom1601To1970;
  nanoseconds = static_cast<uint32_t>(fileTime % kTicksPerSecond) * 100;
}

std::unique_ptr<File> openHostFile(const std::string& path, OpenMode mode, int& error) {
  struct stat st;
  bool exists = stat(path.c_str(), &st) == 0;
  if (exists && mode == OpenMode::CreateNew) {
    error = EEXIST;
    return nullptr;
  }
  if (exists && S_ISDIR(st.st_mode)) {
    error = EISDIR;
    return nullptr;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    error = kErrNotRegularFile;
    return nullptr;
  }
  if (mode != OpenMode::Read && exists && !ownerCanWrite(st)) {
    error = EACCES;  // root could write it, Windows would not
    return nullptr;
  }
  // O_NONBLOCK keeps a pipe that appeared since the check from blocking us.
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (mode) {
    case OpenMode::Read: flags |= O_RDONLY; break;
    case OpenMode::Write: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case OpenMode::Append: flags |= O_WRONLY; break;  // no O_APPEND: seek must work
    case OpenMode::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;  // never through a link
  }
  int fd = ::open(path.c_str(), flags, namesProgramFile(path) ? 0777 : 0666);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = kErrNotRegularFile;
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (mode == OpenMode::Append && lseek(fd, 0, SEEK_END) < 0) {
    error = errno;
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<HostFile>(fd);
}

bool hostFileInfo(const std::string& path, FileInfo& out) {
  struct statx sx;
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return false;
  return infoFromStatx(sx, path, out);
}

bool listHostFolder(const std::string& path, std::vector<FolderEntry>& out) {
  out.clear();
  DIR* dir = opendir(path.c_str());
  if (!dir) return false;
  std::string prefix = path == "/" ? "/" : path + "/";
  std::vector<std::pair<std::u16string, FolderEntry>> sorted;
  while (struct dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry item;
    if (!hostFileInfo(prefix + name, item.info)) continue;
    item.name = utf8ToWide(name);
    sorted.emplace_back(wideUpper(item.name), std::move(item));
  }
  closedir(dir);
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
  });
  out.reserve(sorted.size());
  for (auto& [key, item] : sorted) out.push_back(std::move(item));
  return true;
}

bool createHostFolder(const std::string& path, int& error) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  error = errno;
  struct stat st;
  return error == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeHostFolder(const std::string& path, int& error) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    error = errno;
    return false;
  }
  // A link to a folder is removed like a folder, never followed.
  if (S_ISLNK(st.st_mode)) {
    struct stat target;
    if (stat(path.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) {
      error = ENOTDIR;
      return false;
    }
    if (unlink(path.c_str()) == 0) return true;
  } else if (rmdir(path.c_str()) == 0) {
    return true;
  }
  error = errno;
  return false;
}

bool deleteHostFile(const std::string& path, int& error) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    error = errno;
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = EISDIR;
    return false;
  }
  if (S_ISREG(st.st_mode) && !ownerCanWrite(st)) {
    error = EACCES;  // a read-only file must be made writable first
    return false;
  }
  if (unlink(path.c_str()) == 0) return true;
  error = errno;
  return false;
}

bool moveHostFile(const std::string& from, const std::string& to, int& error) {
  struct stat source;
  if (lstat(from.c_str(), &source) != 0) {
    error = errno;
    return false;
  }
  struct stat target;
  if (from != to && lstat(to.c_str(), &target) == 0 &&
      !(target.st_dev == source.st_dev && target.st_ino == source.st_ino)) {
    if (S_ISDIR(source.st_mode) || S_ISDIR(target.st_mode)) {
      error = EEXIST;
      return false;
    }
    if (S_ISREG(target.st_mode) && !ownerCanWrite(target)) {
      error = EACCES;
      return false;
    }
  }
  if (rename(from.c_str(), to.c_str()) == 0) {
    if (namesProgramFile(to)) makeRunnable(to);
    return true;
  }
  error = errno;
  if (error != EXDEV) return false;
  if (S_ISDIR(source.st_mode)) {
    error = kErrFolderAcrossDrives;
    return false;
  }
  if (!copyAcross(from, to, error)) return false;
  if (namesProgramFile(to)) makeRunnable(to);
  if (unlink(from.c_str()) == 0) return true;
  error = errno;
  return false;
}

bool setHostAttributes(const std::string& path, uint32_t attributes, int& error) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    error = errno;
    return false;
  }
  bool isFolder = S_ISDIR(st.st_mode);
  if (!isFolder) {
    mode_t mode = st.st_mode & 07777;
    mode_t wanted =
        (attributes & kAttrReadOnly) ? mode & ~(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
    if (wanted != mode && chmod(path.c_str(), wanted) != 0) {
      error = errno;
      return false;
    }
  }
  uint32_t stored = attributes & ~kDerivedBits;
  if (!isFolder) stored &= ~kAttrReadOnly;
  char text[16];
  int length = std::snprintf(text, sizeof(text), "0x%x", stored);
  // File systems without user attributes (or that refuse them) keep only
  // what the mode and the name say; that is not a failure of the call.
  if (setxattr(path.c_str(), kAttributeName, text, static_cast<size_t>(length), 0) != 0 &&
      errno == ENOENT) {
    error = errno;
    return false;
  }
  return true;
}

bool setHostTimes(const std::string& path, uint64_t write, uint64_t access, int& error) {
  struct timespec times[2];
  auto fill = [](struct timespec& ts, uint64_t fileTime) {
    if (fileTime == 0) {
      ts.tv_sec = 0;
      ts.tv_nsec = UTIME_OMIT;
      return;
    }
    int64_t seconds;
    uint32_t nanoseconds;
    unixFromFileTime(fileTime, seconds, nanoseconds);
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = nanoseconds;
  };
  fill(times[0], access);
  fill(times[1], write);
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) == 0) return true;
  error = errno;
  return false;
}

}  // namespace zq
