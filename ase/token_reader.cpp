// Input buffering, tokens and values. Characters are delivered from the
// buffer by index; the scanning loops run over the buffer directly and
// refill it exactly where a character-by-character reader would, so the
// stream sees the same Tell and Read calls. A sentinel byte after the valid
// characters stops every scanning loop at the end of the buffer without a
// second test per character.
#include "ase/token_reader.h"

#include <cstring>

#include "ase/number_text.h"
#include "platform/heap.h"

namespace {

// What the scanner needs to know of a character: the four blanks that are
// skipped before a token, the two other separators that begin a token, and
// NUL, which is ordinary but ends the token as a C string (and is the
// sentinel).
enum CharKind : unsigned char { KindOrdinary, KindBlank, KindSeparator, KindPunctuation, KindNul };

struct CharKinds {
    unsigned char of[256];
    constexpr CharKinds() : of() {
        for (const unsigned char c : {' ', '\t', '\n', '\r'}) of[c] = KindBlank;
        for (const unsigned char c : {'#', '"'}) of[c] = KindSeparator;
        for (const unsigned char c : {',', '[', ']', '{', '}'}) of[c] = KindPunctuation;
        of[0] = KindNul;
    }
};
constexpr CharKinds kinds;
constexpr unsigned char Sentinel = 0;
// Tokens shorter than this are copied in one piece, which may read this many
// bytes from the token's start: the buffer has that much room after its end.
constexpr int32_t ShortToken = 16;

void markEnd(TokenReader& reader) {
    reader.buffer[reader.bufferFill] = Sentinel;
}

int32_t readBlock(TokenReader& reader) {
    int32_t count = reader.stream->Read(reader.buffer, reader.bufferSize);
    if (count < 0) {
        reader.readFailed = true;
        count = 0;
    }
    return count > reader.bufferSize ? reader.bufferSize : count;
}

// Reads the next block once the buffer is used up. False at the end of the
// input: after a short Read no further Read is made.
bool Refill(TokenReader& reader) {
    while (reader.lastReadCount == reader.bufferSize) {
        reader.stream->Tell();
        reader.lastReadCount = readBlock(reader);
        reader.bufferFill = DecodeBlock(reader.decoder, reader.buffer, reader.lastReadCount);
        markEnd(reader);
        if (reader.bufferFill > 0) {
            reader.position = 0;
            return true;
        }
    }
    return false;
}

inline bool HasInput(TokenReader& reader) {
    return reader.position < reader.bufferFill || Refill(reader);
}

inline void ClearToken(TokenReader& reader) {
    reader.token[0] = 0;
    reader.tokenLength = 0;
}

// Passes over the blanks before a token. False at the end of input; true
// with position at the token's first character.
inline bool SkipBlanks(TokenReader& reader) {
    for (;;) {
        if (!HasInput(reader)) return false;
        const unsigned char* p = reader.buffer + reader.position;
        while (kinds.of[*p] == KindBlank) ++p;
        reader.position = static_cast<int32_t>(p - reader.buffer);
        if (reader.position < reader.bufferFill) return true;
    }
}

// Takes the characters from start to end as the token when they are few,
// and the character at end, which ends them, lies in the buffer and is not
// a NUL: then the token is copied in one piece. False, with nothing done,
// for any other token.
inline bool TakeShortToken(TokenReader& reader, const unsigned char* start, const unsigned char* end) {
    const auto length = static_cast<int32_t>(end - start);
    if (length >= ShortToken || kinds.of[*end] == KindNul) return false;
    std::memcpy(reader.token, start, ShortToken);
    reader.token[length] = 0;
    reader.tokenLength = length;
    reader.position = static_cast<int32_t>(end - reader.buffer);
    return true;
}

// Any token that begins at position, character by character: it may cross
// the end of the buffer, be longer than the token field, or hold a NUL.
const char* ScanLongToken(TokenReader& reader) {
    char* token = reader.token;
    const unsigned char first = reader.buffer[reader.position++];
    token[0] = static_cast<char>(first);
    char* out = token + 1;
    char* const last = token + TokenCapacity - 1;
    const char* textEnd = first == 0 ? token : nullptr;  // the first NUL stored
    for (;;) {
        const unsigned char* p = reader.buffer + reader.position;
        for (unsigned char c; kinds.of[c = *p] == KindOrdinary; ++p) {
            if (out < last) *out++ = static_cast<char>(c);
        }
        reader.position = static_cast<int32_t>(p - reader.buffer);
        if (reader.position < reader.bufferFill) {
            if (kinds.of[*p] != KindNul) break;
            if (!textEnd) textEnd = out;
            if (out < last) *out++ = 0;
            ++reader.position;
            continue;
        }
        if (!Refill(reader)) break;
    }
    *out = 0;
    reader.tokenLength = static_cast<int32_t>((textEnd ? textEnd : out) - token);
    return token;
}

inline const char* ScanRawToken(TokenReader& reader) {
    if (!SkipBlanks(reader)) {
        ClearToken(reader);
        return nullptr;
    }
    const unsigned char* start = reader.buffer + reader.position;
    const unsigned char first = *start;
    if (kinds.of[first] == KindPunctuation) {
        reader.token[0] = static_cast<char>(first);
        reader.token[1] = 0;
        reader.tokenLength = 1;
        ++reader.position;
        return reader.token;
    }
    // An ordinary character, '#' or a double quote begins the token; it runs
    // to the next separator or punctuation, which stays in the input.
    const unsigned char* end = start + 1;
    while (kinds.of[*end] == KindOrdinary) ++end;
    if (first != 0 && TakeShortToken(reader, start, end)) return reader.token;
    return ScanLongToken(reader);
}

inline const char* ScanToken(TokenReader& reader) {
    for (;;) {
        if (!ScanRawToken(reader)) return nullptr;
        if (reader.token[0] != '#') return reader.token;
        if (!SkipLine(reader)) {
            ClearToken(reader);
            return nullptr;
        }
    }
}

// Digits from p on, as ReadInt and ReadFloat find them while scanning.
inline const unsigned char* ScanDigits(const unsigned char* p, uint32_t& value) {
    for (unsigned digit; (digit = *p - 48u) < 10u; ++p) value = value * 10 + digit;
    return p;
}

}  // namespace

bool OpenInput(TokenReader& reader) {
    reader.bufferSize = InputBufferSize;
    reader.buffer = static_cast<unsigned char*>(heapAllocZeroed(InputBufferSize + ShortToken));
    if (!reader.buffer) return false;
    reader.lastReadCount = readBlock(reader);
    const int32_t mark = DetectEncoding(reader.decoder, reader.buffer, reader.lastReadCount);
    reader.bufferFill = DecodeBlock(reader.decoder, reader.buffer + mark, reader.lastReadCount - mark);
    if (mark) std::memmove(reader.buffer, reader.buffer + mark, static_cast<std::size_t>(reader.bufferFill));
    markEnd(reader);
    reader.position = 0;
    return true;
}

void CloseInput(TokenReader& reader) {
    heapFree(reader.buffer);
    reader.buffer = nullptr;
}

bool ReadChar(TokenReader& reader, char& c) {
    if (!HasInput(reader)) return false;
    c = static_cast<char>(reader.buffer[reader.position++]);
    return true;
}

const char* NextToken(TokenReader& reader) {
    return ScanToken(reader);
}

bool SkipLine(TokenReader& reader) {
    for (;;) {
        if (!HasInput(reader)) return false;
        const unsigned char* from = reader.buffer + reader.position;
        const auto* lineEnd = static_cast<const unsigned char*>(
            std::memchr(from, '\n', static_cast<std::size_t>(reader.bufferFill - reader.position)));
        if (lineEnd) {
            reader.position = static_cast<int32_t>(lineEnd - reader.buffer) + 1;
            return true;
        }
        reader.position = reader.bufferFill;
    }
}

bool NextKeyword(TokenReader& reader) {
    for (;;) {
        if (!ScanToken(reader)) return false;
        if (reader.token[0] == '*' || TokenIsCloseBrace(reader)) return true;
        // Every block that is read is opened by its own parser, so a brace
        // met here opens the block of a keyword that nobody reads, after its
        // values: read as the enclosing block's, its end would close that.
        if (TokenIsOpenBrace(reader) && !SkipBlock(reader)) return false;
    }
}

bool SkipBlock(TokenReader& reader) {
    int32_t depth = 1;
    for (;;) {
        if (!ScanToken(reader)) return false;
        if (TokenIsOpenBrace(reader)) {
            ++depth;
        } else if (TokenIsCloseBrace(reader) && --depth == 0) {
            return true;
        }
    }
}

bool TokenToString(TokenReader& reader, char* destination) {
    constexpr int32_t limit = TextCapacity - 1;
    const bool quoted = reader.token[0] == '"';
    const char* from = quoted ? reader.token + 1 : reader.token;
    int32_t length = 0;
    while (length < limit && from[length]) {
        destination[length] = from[length];
        ++length;
    }
    if (quoted) {
        bool escaped = false;
        char c;
        while (ReadChar(reader, c)) {
            if (escaped) {
                escaped = false;
                if (c != '"' && length < limit) destination[length++] = '\\';
            } else if (c == '\\') {
                escaped = true;
                continue;
            } else if (c == '"') {
                break;
            }
            if (length < limit) destination[length++] = c;
        }
    }
    destination[length] = 0;
    return true;
}

// The common forms of numbers are converted while they are scanned: an
// optional minus and up to nine digits for ReadInt, and for ReadFloat also a
// point among them. Every other token is scanned and converted in general.
int32_t ReadInt(TokenReader& reader) {
    if (SkipBlanks(reader)) {
        const unsigned char* start = reader.buffer + reader.position;
        const bool negative = *start == '-';
        const unsigned char* digits = start + negative;
        uint32_t value = 0;
        const unsigned char* end = ScanDigits(digits, value);
        const auto count = end - digits;
        if (count >= 1 && count <= 9 && kinds.of[*end] != KindOrdinary && TakeShortToken(reader, start, end)) {
            return negative ? -static_cast<int32_t>(value) : static_cast<int32_t>(value);
        }
    }
    ScanToken(reader);
    return DecimalTextToInt(reader.token);
}

double ReadFloat(TokenReader& reader) {
    if (SkipBlanks(reader)) {
        const unsigned char* start = reader.buffer + reader.position;
        const bool negative = *start == '-';
        const unsigned char* digits = start + negative;
        uint32_t value = 0;
        const unsigned char* end = ScanDigits(digits, value);
        auto count = end - digits;
        int fractionDigits = 0;
        if (*end == '.') {
            const unsigned char* fraction = end + 1;
            end = ScanDigits(fraction, value);
            fractionDigits = static_cast<int>(end - fraction);
            count += fractionDigits;
        }
        if (count >= 1 && count <= 9 && kinds.of[*end] != KindOrdinary && TakeShortToken(reader, start, end)) {
            return ScaledDecimal(value, fractionDigits, negative);
        }
    }
    ScanToken(reader);
    return DecimalTextToDouble(reader.token);
}

Point3& ReadPoint3(TokenReader& reader, Point3& point) {
    point.x = static_cast<float>(ReadFloat(reader));
    point.y = static_cast<float>(ReadFloat(reader));
    point.z = static_cast<float>(ReadFloat(reader));
    return point;
}

bool ReadString(TokenReader& reader, char* destination) {
    if (!ScanToken(reader)) return false;
    return TokenToString(reader, destination);
}
