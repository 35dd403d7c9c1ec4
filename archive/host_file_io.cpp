// The host-file source and sink (POSIX). A native Windows build replaces this
// one file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "archive/byte_io.h"

namespace zq {
namespace {

void setWhy(std::string* why, const std::string& what, const std::string& path) {
  if (why != nullptr) *why = what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

HostFileSource::~HostFileSource() { close(); }

bool HostFileSource::open(const std::string& hostPath, std::string* why) {
  close();
  fd_ = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    setWhy(why, "cannot open", hostPath);
    return false;
  }
  return true;
}

void HostFileSource::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int64_t HostFileSource::size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

size_t HostFileSource::readAt(uint64_t offset, void* buffer, size_t count) {
  if (fd_ < 0) return 0;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, count - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

HostFileSink::~HostFileSink() { close(); }

bool HostFileSink::open(const std::string& hostPath, Mode mode, std::string* why) {
  close();
  const int flags = O_WRONLY | O_CLOEXEC | (mode == Mode::Append ? O_APPEND : O_CREAT | O_TRUNC);
  fd_ = ::open(hostPath.c_str(), flags, 0644);
  if (fd_ < 0) {
    setWhy(why, "cannot open", hostPath);
    return false;
  }
  return true;
}

bool HostFileSink::write(const void* data, size_t count) {
  if (fd_ < 0) return false;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, static_cast<const char*>(data) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool HostFileSink::close(std::string* why) {
  if (fd_ < 0) return true;
  const int result = ::close(fd_);
  fd_ = -1;
  if (result != 0) {
    if (why != nullptr) *why = std::string("closing failed: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace zq
