// XXH64, the hash whose low 32 bits are a frame's content checksum.
#pragma once

#include <cstdint>

namespace zstd {

uint64_t xxhash64(const unsigned char* data, uint32_t size, uint64_t seed = 0);

}  // namespace zstd
