// The chunk streams of a MAX file as the importer reads them. A stream is
// stored under its own name, or, in files saved compressed with zstd, under
// "<name>_Compressed". Its bytes may be plain chunks, one gzip member (files
// saved compressed by version 4.2) or FF FF and a zstd frame. Compressed
// streams are decoded into memory before any reader sees them, and their
// output is bounded, so that a decompression bomb is a damaged stream.
#pragma once

#include <cstdint>

#include "max/max_file.h"
#include "platform/output_buffer.h"

constexpr uint32_t MaxExpansion = 256;         // decoded bytes per stored byte
constexpr uint32_t MaxDecodedSize = 1u << 30;  // and never more than this

// How the wrapper that a zstd stream's content begins with comes off. The
// Scene stream's is its top container, written with an unknown length; the
// other streams carry a 6-byte wrapper of their own before their chunks.
enum class StreamRole { Scene, Other };

// The decoded size a stream of storedSize bytes may reach.
uint32_t decodedLimit(uint32_t storedSize);

// Decodes a compressed stream's bytes, gzip or FF FF and zstd frames, into
// out (whose limit the caller sets), with the zstd wrapper taken off. Bytes
// of any other form are damaged.
DecodeStatus decodeStreamBytes(const unsigned char* bytes, uint32_t size, StreamRole role, OutputBuffer& out);

// Opens the stream by its name, else by its compressed name, and makes it the
// file's current stream, decoded. Returns S_OK, or the result of opening the
// plain name when neither opens. When one opens but cannot be decoded, opened
// is set and the result is STG_E_DOCFILECORRUPT (damaged, or decoding past
// its bound) or STG_E_INSUFFICIENTMEMORY. On failure no stream is current.
HRESULT openChunkStream(MaxFile& file, const char* name, StreamRole role, bool& opened);
