// Where archive bytes come from and go to. The writer produces the body
// strictly front to back into a ByteSink (a local file, memory, later an
// upload); the reader reads it at offsets from a ByteSource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zq {

class File;

// ---------------------------------------------------------------- sources

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The number of bytes; -1 when it cannot be told.
  virtual int64_t size() const = 0;
  // Reads up to count bytes at offset; returns how many were read (fewer at
  // the end or on an error, 0 past the end).
  virtual size_t readAt(uint64_t offset, void* buffer, size_t count) = 0;
};

// Bytes in memory; the caller keeps them alive.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  int64_t size() const override { return static_cast<int64_t>(bytes_.size()); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override;

 private:
  std::span<const uint8_t> bytes_;
};

// A file of the host, read only.
class HostFileSource : public ByteSource {
 public:
  HostFileSource() = default;
  ~HostFileSource() override;
  HostFileSource(const HostFileSource&) = delete;
  HostFileSource& operator=(const HostFileSource&) = delete;

  // False with a reason when the file cannot be opened.
  bool open(const std::string& hostPath, std::string* why);
  void close();
  int64_t size() const override;
  size_t readAt(uint64_t offset, void* buffer, size_t count) override;

 private:
  int fd_ = -1;
};

// ---------------------------------------------------------------- sinks

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // True only when all count bytes were taken.
  virtual bool write(const void* data, size_t count) = 0;
};

class MemorySink : public ByteSink {
 public:
  bool write(const void* data, size_t count) override;
  std::vector<uint8_t> bytes;
};

// Takes everything and keeps nothing (checking a file without writing it).
class NullSink : public ByteSink {
 public:
  bool write(const void*, size_t count) override {
    written += count;
    return true;
  }
  uint64_t written = 0;
};

// A file of the machine layer, opened by the caller for writing.
class FileSink : public ByteSink {
 public:
  explicit FileSink(File& file) : file_(file) {}
  bool write(const void* data, size_t count) override;

 private:
  File& file_;
};

// A file of the host, written from its start or appended to.
class HostFileSink : public ByteSink {
 public:
  enum class Mode { Truncate, Append };

  HostFileSink() = default;
  ~HostFileSink() override;
  HostFileSink(const HostFileSink&) = delete;
  HostFileSink& operator=(const HostFileSink&) = delete;

  bool open(const std::string& hostPath, Mode mode, std::string* why);
  bool write(const void* data, size_t count) override;
  // False with a reason when the data did not reach the disk.
  bool close(std::string* why = nullptr);

 private:
  int fd_ = -1;
};

}  // namespace zq
