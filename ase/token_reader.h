// The ASE token reader: buffers the file from the host stream, splits it into
// tokens, compares tokens with keywords, converts values, and skips comments
// and blocks. It knows nothing of the scene being imported.
#pragma once

#include <cstdint>

#include "ase/keyword.h"
#include "ase/text_input.h"
#include "frame/contract/host_interfaces.h"

constexpr int32_t InputBufferSize = 32768;
constexpr int32_t TokenCapacity = 1024;  // 1023 characters and the terminator
constexpr int32_t TextCapacity = 256;    // names, paths and comments: 255 characters

struct TokenReader {
    HostStream* stream;     // not owned
    unsigned char* buffer;  // owned, with room for a sentinel and padding
    int32_t bufferSize;
    int32_t bufferFill;  // characters in buffer
    char token[TokenCapacity];
    int32_t tokenLength;    // of token as a C string
    int32_t position;       // index in buffer of the next character
    int32_t lastReadCount;  // what the last Read gave; short means the input has ended
    bool readFailed;        // a Read reported an error, which ended the input
    TextDecoder decoder;
};

// Allocates the buffer and reads the first block from the stream's position.
// False when memory ran out.
bool OpenInput(TokenReader& reader);
// Frees the buffer.
void CloseInput(TokenReader& reader);

bool ReadChar(TokenReader& reader, char& c);
// The next token with '#' comments skipped; null at the end of input.
const char* NextToken(TokenReader& reader);
bool SkipLine(TokenReader& reader);
// Passes over values to the next keyword or "}". A "{" among them opens the
// block of the keyword before them, which is skipped whole.
bool NextKeyword(TokenReader& reader);
bool SkipBlock(TokenReader& reader);
// Copies the token to a TextCapacity buffer, completing a quoted string from
// the input. The result is cut to 255 characters; the rest of it is consumed.
bool TokenToString(TokenReader& reader, char* destination);

// Values: the next token converted. At the end of input the token is empty
// and the number 0.
int32_t ReadInt(TokenReader& reader);
double ReadFloat(TokenReader& reader);
Point3& ReadPoint3(TokenReader& reader, Point3& point);
// NextToken, then TokenToString into a TextCapacity buffer; false, with the
// destination untouched, at the end of input.
bool ReadString(TokenReader& reader, char* destination);

inline bool TokenIs(const TokenReader& reader, const Keyword& keyword) {
    return reader.tokenLength == keyword.length && EqualsIgnoringCase(reader.token, keyword);
}
inline bool TokenIsOpenBrace(const TokenReader& reader) {
    return reader.tokenLength == 1 && reader.token[0] == '{';
}
inline bool TokenIsCloseBrace(const TokenReader& reader) {
    return reader.tokenLength == 1 && reader.token[0] == '}';
}
