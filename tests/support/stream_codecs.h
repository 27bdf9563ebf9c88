// Compressed bytes for tests, made by other implementations than the
// plug-in's: gzip through zlib, Zstandard through the `zstd` command-line
// tool.
#pragma once

#include <string>

#include "support/compound_writer.h"

namespace testing_support {

// One gzip member, as the 4.2-era writer makes them.
Bytes gzipBytes(const Bytes& data);
// What zlib makes of gzip members; throws when it refuses them.
Bytes gunzipBytes(const Bytes& members);

// `zstd` with options (for instance "-19 --no-check") compressing data from a
// file, so that the frame records its content size, or from standard input,
// so that it does not. Throws when the tool fails.
enum class ZstdInput { File, Pipe };
Bytes zstdBytes(const Bytes& data, const std::string& options = "", ZstdInput input = ZstdInput::Pipe);
// `zstd -d`: what the tool makes of frames; nothing when it refuses them.
Bytes zstdDecoded(const Bytes& frames, bool* refused = nullptr);

}  // namespace testing_support
