// A decoder of Zstandard frames (RFC 8878): raw, RLE and compressed blocks
// with every literals and sequences mode, repeat offsets, skippable frames
// and the content checksum. Dictionaries are not supported.
//
// Hostile input is expected: every size and index is checked before use,
// every table is bounded by the format's own limits, the output never grows
// past the caller's limit, and memory comes from platform/heap.h. Nothing
// throws.
#pragma once

#include <cstdint>

#include "platform/output_buffer.h"

namespace zstd {

// Damaged stands for anything but a sequence of valid frames, and for a
// frame that needs a dictionary.
using Status = DecodeStatus;

// The largest window a frame may ask for.
constexpr uint64_t MaxWindowSize = uint64_t{1} << 31;

// Decodes input, one or more frames back to back (skippable frames are
// passed over) with nothing else around them, appending the content to
// output. On failure output holds what was decoded before it.
Status decode(const unsigned char* input, uint32_t inputSize, OutputBuffer& output);

}  // namespace zstd
