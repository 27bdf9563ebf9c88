// The bytes of an ASE file as 8-bit text. A file that starts with a UTF-16
// byte-order mark (little- or big-endian) is transcoded block by block as it
// is read: a character up to 255 becomes that byte, any other one '?'. A file
// without a mark passes through unchanged.
#pragma once

#include <cstdint>

enum class TextEncoding : uint8_t { Bytes, Utf16LittleEndian, Utf16BigEndian };

struct TextDecoder {
    TextEncoding encoding;
    bool hasOddByte;  // the first byte of a code unit that the last block split
    unsigned char oddByte;
    bool afterHighSurrogate;  // a following low surrogate belongs to the '?' already given
};

// Looks for a byte-order mark at the start of the file's first block and
// returns its length in bytes (0 when there is none).
int32_t DetectEncoding(TextDecoder& decoder, const unsigned char* block, int32_t count);

// Turns count raw bytes at text into 8-bit text in place and returns its
// length; a code unit split between blocks is completed by the next block.
int32_t DecodeBlock(TextDecoder& decoder, unsigned char* text, int32_t count);
