// Input buffering and tokens. Characters are delivered from the buffer by
// index; the scanning loops run over the buffer directly and refill it
// exactly where a character-by-character reader would, so the stream sees
// the same Tell and Read calls.
#include "ase/reader.h"

#include <cstring>

#include "ase/materials.h"
#include "platform/heap.h"

namespace {

constexpr int CharNul = 3;  // ordinary, but it ends the token as a C string

struct CharClasses {
    unsigned char of[256];
    constexpr CharClasses() : of() {
        for (const unsigned char c : {' ', '\t', '\n', '\r', '#', '"'}) of[c] = CharSeparator;
        for (const unsigned char c : {',', '[', ']', '{', '}'}) of[c] = CharPunctuation;
        of[0] = CharNul;
    }
};
constexpr CharClasses classes;

bool isBlank(unsigned char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// Reads the next block once the buffer is used up. False at the end of the
// input: after a short Read no further Read is made.
bool Refill(AseReader& reader) {
    while (reader.lastReadCount == reader.bufferSize) {
        reader.stream->Tell();
        int32_t count = reader.stream->Read(reader.buffer, reader.bufferSize);
        if (count < 0) {
            reader.readFailed = true;
            count = 0;
        }
        if (count > reader.bufferSize) count = reader.bufferSize;
        reader.lastReadCount = count;
        reader.bufferFill = DecodeBlock(reader.decoder, reader.buffer, count);
        if (reader.bufferFill > 0) {
            reader.position = 0;
            return true;
        }
    }
    return false;
}

void ClearToken(AseReader& reader) {
    reader.token[0] = 0;
    reader.tokenLength = 0;
}

}  // namespace

void InitReader(AseReader& reader, HostStream* stream, HostScene* scene) {
    std::memset(&reader, 0, sizeof reader);
    reader.stream = stream;
    reader.scene = scene;
}

void DestroyReader(AseReader& reader) {
    heapFree(reader.buffer);
    reader.buffer = nullptr;
    FreeMaterialTable(reader.materials, reader.materialCount);
    reader.materials = nullptr;
    reader.materialCount = 0;
}

bool FillFirstBuffer(AseReader& reader) {
    reader.bufferSize = InputBufferSize;
    reader.buffer = static_cast<unsigned char*>(heapAlloc(InputBufferSize));
    if (!reader.buffer) return false;
    int32_t count = reader.stream->Read(reader.buffer, InputBufferSize);
    if (count < 0) {
        reader.readFailed = true;
        count = 0;
    }
    if (count > InputBufferSize) count = InputBufferSize;
    reader.lastReadCount = count;
    const int32_t mark = DetectEncoding(reader.decoder, reader.buffer, count);
    reader.bufferFill = DecodeBlock(reader.decoder, reader.buffer + mark, count - mark);
    if (mark) std::memmove(reader.buffer, reader.buffer + mark, static_cast<std::size_t>(reader.bufferFill));
    reader.position = 0;
    return true;
}

bool ReadChar(AseReader& reader, char& c) {
    if (reader.position >= reader.bufferFill && !Refill(reader)) return false;
    c = static_cast<char>(reader.buffer[reader.position++]);
    return true;
}

int ClassifyChar(char c) {
    const int charClass = classes.of[static_cast<unsigned char>(c)];
    return charClass == CharNul ? CharOrdinary : charClass;
}

const char* NextRawToken(AseReader& reader) {
    ClearToken(reader);
    unsigned char first;
    for (;;) {
        if (reader.position >= reader.bufferFill && !Refill(reader)) return nullptr;
        const unsigned char* buffer = reader.buffer;
        int32_t p = reader.position;
        while (p < reader.bufferFill && isBlank(buffer[p])) ++p;
        reader.position = p;
        if (p < reader.bufferFill) {
            first = buffer[p];
            reader.position = p + 1;
            break;
        }
    }
    char* token = reader.token;
    token[0] = static_cast<char>(first);
    if (classes.of[first] == CharPunctuation) {
        token[1] = 0;
        reader.tokenLength = 1;
        return token;
    }
    // An ordinary character, '#' or a double quote begins the token; it runs
    // to the next separator or punctuation, which stays in the input.
    int32_t stored = 1;
    int32_t textLength = first == 0 ? 0 : -1;  // up to the first NUL, once one is stored
    for (;;) {
        const unsigned char* buffer = reader.buffer;
        const int32_t fill = reader.bufferFill;
        const int32_t start = reader.position;
        int32_t p = start;
        while (p < fill && classes.of[buffer[p]] == CharOrdinary) ++p;
        const int32_t room = TokenCapacity - 1 - stored;
        const int32_t run = p - start;
        if (room > 0) {
            const int32_t copied = run < room ? run : room;
            std::memcpy(token + stored, buffer + start, static_cast<std::size_t>(copied));
            stored += copied;
        }
        reader.position = p;
        if (p < fill) {
            if (classes.of[buffer[p]] != CharNul) break;
            if (textLength < 0 && stored < TokenCapacity - 1) textLength = stored;
            if (stored < TokenCapacity - 1) token[stored++] = 0;
            reader.position = p + 1;
            continue;
        }
        if (!Refill(reader)) break;
    }
    token[stored] = 0;
    reader.tokenLength = textLength < 0 ? stored : textLength;
    return token;
}

const char* NextToken(AseReader& reader) {
    for (;;) {
        if (!NextRawToken(reader)) return nullptr;
        if (reader.token[0] != '#') return reader.token;
        if (!SkipLine(reader)) {
            ClearToken(reader);
            return nullptr;
        }
    }
}

bool SkipLine(AseReader& reader) {
    for (;;) {
        if (reader.position >= reader.bufferFill && !Refill(reader)) return false;
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

bool NextKeyword(AseReader& reader) {
    for (;;) {
        if (!NextToken(reader)) return false;
        if (reader.token[0] == '*' || TokenIsCloseBrace(reader)) return true;
    }
}

bool SkipBlock(AseReader& reader) {
    int32_t depth = 1;
    for (;;) {
        if (!NextToken(reader)) return false;
        if (TokenIsOpenBrace(reader)) {
            ++depth;
        } else if (TokenIsCloseBrace(reader) && --depth == 0) {
            return true;
        }
    }
}

bool TokenToString(AseReader& reader, char* destination) {
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
