// libFuzzer harness for the decoding of compressed MAX streams: the zlib glue
// for gzip members, the zstd decoder behind FF FF and the removal of the
// wrappers of the zstd form, with the importer's bound against decompression
// bombs. The first byte chooses the stream's role (the Scene or another
// stream); the rest is the stored stream. Build: see README.md.
#include <cstddef>
#include <cstdint>

#include "max/stream_decoding.h"

namespace {

constexpr std::size_t MaxInput = 1u << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1 || size > MaxInput) return 0;
    const StreamRole role = data[0] & 1 ? StreamRole::Scene : StreamRole::Other;
    const auto stored = static_cast<uint32_t>(size - 1);
    OutputBuffer out;
    out.limit = decodedLimit(stored);
    const DecodeStatus status = decodeStreamBytes(data + 1, stored, role, out);
    if (out.size > out.limit) __builtin_trap();
    // A decoded Scene always begins with its top chunk's 14-byte header.
    if (status == DecodeStatus::Ok && role == StreamRole::Scene && data[1] == 0xFF &&
        (out.size < 14 || out.data[2] != 0 || out.data[13] < 0x80)) {
        __builtin_trap();
    }
    releaseOutput(out);
    return 0;
}
