// gzip streams, inflated with zlib into a bounded output buffer. zlib takes
// its memory from the plug-in's heap like everything else.
#pragma once

#include <cstdint>

#include "platform/output_buffer.h"

// Inflates input, one or more gzip members back to back with nothing else
// around them, appending to out.
DecodeStatus inflateGzip(const unsigned char* input, uint32_t size, OutputBuffer& out);
