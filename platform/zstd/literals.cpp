// The literals section: raw, a single repeated byte, or Huffman-coded with
// a new tree or the previous block's.
#include <cstring>

#include "decoder.h"

namespace zstd {

namespace {

enum LiteralsType : uint32_t { RawLiterals = 0, RleLiterals = 1, CompressedLiterals = 2, TreelessLiterals = 3 };

uint32_t littleEndian(const unsigned char* p, uint32_t bytes) {
    uint32_t value = 0;
    for (uint32_t i = bytes; i-- > 0;) value = value << 8 | p[i];
    return value;
}

}  // namespace

uint32_t readLiterals(Decoder& d, const unsigned char* in, uint32_t size, const unsigned char*& literals,
                      uint32_t& count) {
    if (size == 0) return 0;
    const uint32_t type = in[0] & 3;
    const uint32_t sizeFormat = in[0] >> 2 & 3;

    if (type == RawLiterals || type == RleLiterals) {
        // One, two or three header bytes; the size takes the bits above the format.
        const uint32_t header = sizeFormat == 1 ? 2 : sizeFormat == 3 ? 3 : 1;
        if (header > size) return 0;
        const uint32_t fields = littleEndian(in, header);
        count = header == 1 ? fields >> 3 : fields >> 4;
        if (count > d.blockMax) return 0;
        if (type == RawLiterals) {
            if (count > size - header) return 0;
            literals = in + header;
            return header + count;
        }
        if (header + 1 > size) return 0;
        std::memset(d.literals, in[header], count);
        literals = d.literals;
        return header + 1;
    }

    // Huffman-coded: both sizes in one little-endian field after the format.
    const uint32_t header = sizeFormat <= 1 ? 3 : sizeFormat + 2;
    if (header > size) return 0;
    uint64_t fields = 0;
    for (uint32_t i = header; i-- > 0;) fields = fields << 8 | in[i];
    const uint32_t sizeBits = header == 3 ? 10 : header == 4 ? 14 : 18;
    const uint32_t sizeMask = (1u << sizeBits) - 1;
    count = static_cast<uint32_t>(fields >> 4) & sizeMask;
    const uint32_t compressed = static_cast<uint32_t>(fields >> (4 + sizeBits)) & sizeMask;
    if (count > d.blockMax || compressed > size - header) return 0;
    const unsigned char* data = in + header;
    uint32_t treeSize = 0;
    if (type == CompressedLiterals) {
        d.hasHuffman = false;
        treeSize = readHuffmanTable(data, compressed, d.huffman);
        if (treeSize == 0) return 0;
        d.hasHuffman = true;
    } else if (!d.hasHuffman) {
        return 0;
    }
    if (!decodeHuffmanLiterals(d.huffman, data + treeSize, compressed - treeSize, sizeFormat != 0, d.literals, count)) {
        return 0;
    }
    literals = d.literals;
    return header + compressed;
}

}  // namespace zstd
