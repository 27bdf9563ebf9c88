// libFuzzer harness for the Zstandard decoder alone: any bytes, decoded with
// an output limit in proportion to the input, as the importer sets it. The
// decoder must refuse or decode without reading or writing out of bounds,
// leaking, or passing its limit. Build: see README.md.
#include <cstddef>
#include <cstdint>

#include "platform/zstd.h"

namespace {

constexpr std::size_t MaxInput = 1u << 20;
constexpr uint64_t Expansion = 256;
constexpr uint32_t MaxOutput = 64u << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > MaxInput) return 0;
    OutputBuffer out;
    const uint64_t limit = size * Expansion;
    out.limit = limit < MaxOutput ? static_cast<uint32_t>(limit) : MaxOutput;
    const zstd::Status status = zstd::decode(data, static_cast<uint32_t>(size), out);
    if (out.size > out.limit || out.size > out.capacity) __builtin_trap();
    if (status == zstd::Status::Ok && size == 0) __builtin_trap();  // no frame is no stream
    releaseOutput(out);
    return 0;
}
