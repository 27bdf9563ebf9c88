#include "max/inflate.h"

#include <zlib.h>

#include "platform/heap.h"

namespace {

constexpr int GzipOnlyWindowBits = 16 + MAX_WBITS;
constexpr uint32_t InflatePiece = 64u << 10;

voidpf allocateForZlib(voidpf, uInt items, uInt size) {
    return heapAllocArray(items, size);
}

void freeForZlib(voidpf, voidpf block) {
    heapFree(block);
}

}  // namespace

DecodeStatus inflateGzip(const unsigned char* input, uint32_t size, OutputBuffer& out) {
    z_stream z{};
    z.zalloc = allocateForZlib;
    z.zfree = freeForZlib;
    const int init = inflateInit2(&z, GzipOnlyWindowBits);
    if (init != Z_OK) return init == Z_MEM_ERROR ? DecodeStatus::NoMemory : DecodeStatus::Damaged;
    z.next_in = const_cast<Bytef*>(input);  // zlib's interface is not const, but it only reads the input
    z.avail_in = size;
    DecodeStatus status = DecodeStatus::Ok;
    while (status == DecodeStatus::Ok) {
        if (out.size == out.capacity) {
            const uint32_t left = out.limit - out.size;
            status = reserveOutput(out, left == 0 ? 1 : left < InflatePiece ? left : InflatePiece);
            continue;
        }
        const uint32_t room = out.capacity - out.size;
        z.next_out = out.data + out.size;
        z.avail_out = room;
        const int result = inflate(&z, Z_NO_FLUSH);
        out.size += room - z.avail_out;
        if (result == Z_STREAM_END) {
            if (z.avail_in == 0) break;
            // Another member follows.
            if (inflateReset(&z) != Z_OK) status = DecodeStatus::Damaged;
        } else if (result == Z_MEM_ERROR) {
            status = DecodeStatus::NoMemory;
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            status = DecodeStatus::Damaged;
        } else if (z.avail_in == 0 && z.avail_out > 0) {
            status = DecodeStatus::Damaged;  // the input ends inside a member
        }
    }
    inflateEnd(&z);
    return status;
}
