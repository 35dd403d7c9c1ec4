#include "archive/byte_io.h"

#include <cstring>

#include "core/machine.h"

namespace zq {

size_t MemorySource::readAt(uint64_t offset, void* buffer, size_t count) {
  if (offset >= bytes_.size()) return 0;
  const size_t available = static_cast<size_t>(bytes_.size() - offset);
  const size_t n = count < available ? count : available;
  std::memcpy(buffer, bytes_.data() + offset, n);
  return n;
}

bool MemorySink::write(const void* data, size_t count) {
  const auto* p = static_cast<const uint8_t*>(data);
  bytes.insert(bytes.end(), p, p + count);
  return true;
}

bool FileSink::write(const void* data, size_t count) { return file_.write(data, count); }

}  // namespace zq
