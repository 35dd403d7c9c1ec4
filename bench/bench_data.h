// Seeded benchmark data that looks like what a backup collects: documents,
// program files, already-compressed media, empty space and mail stores. The
// same seed gives the same bytes on every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zq::bench {

enum class DataKind { Text, Binary, Random, Zeros, Mailbox };

inline constexpr DataKind kAllKinds[] = {DataKind::Text, DataKind::Binary, DataKind::Random,
                                         DataKind::Zeros, DataKind::Mailbox};

const char* kindName(DataKind kind);

// Exactly `bytes` bytes of the given kind.
std::vector<uint8_t> makeData(DataKind kind, size_t bytes, uint64_t seed);

}  // namespace zq::bench
