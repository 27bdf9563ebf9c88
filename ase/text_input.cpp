#include "ase/text_input.h"

namespace {

constexpr unsigned char NotLatin1 = '?';

bool isHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

int32_t DetectEncoding(TextDecoder& decoder, const unsigned char* block, int32_t count) {
    decoder = TextDecoder{TextEncoding::Bytes, false, 0, false};
    if (count < 2) return 0;
    if (block[0] == 0xFF && block[1] == 0xFE) {
        decoder.encoding = TextEncoding::Utf16LittleEndian;
        return 2;
    }
    if (block[0] == 0xFE && block[1] == 0xFF) {
        decoder.encoding = TextEncoding::Utf16BigEndian;
        return 2;
    }
    return 0;
}

int32_t DecodeBlock(TextDecoder& decoder, unsigned char* text, int32_t count) {
    if (decoder.encoding == TextEncoding::Bytes) return count;
    const bool littleEndian = decoder.encoding == TextEncoding::Utf16LittleEndian;
    int32_t in = 0, out = 0;
    // Each unit is read before its character is written, and the output never
    // overtakes the input: unit k starts at byte 2k - 1 or later.
    while (true) {
        unsigned char first, second;
        if (decoder.hasOddByte) {
            if (in >= count) break;
            first = decoder.oddByte;
            second = text[in++];
            decoder.hasOddByte = false;
        } else if (in + 1 < count) {
            first = text[in];
            second = text[in + 1];
            in += 2;
        } else {
            if (in < count) {
                decoder.oddByte = text[in];
                decoder.hasOddByte = true;
            }
            break;
        }
        const uint32_t unit = littleEndian ? first | (second << 8u) : (first << 8u) | second;
        if (decoder.afterHighSurrogate && isLowSurrogate(unit)) {
            decoder.afterHighSurrogate = false;
            continue;
        }
        decoder.afterHighSurrogate = isHighSurrogate(unit);
        text[out++] = unit <= 0xFF ? static_cast<unsigned char>(unit) : NotLatin1;
    }
    return out;
}
