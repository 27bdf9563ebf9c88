// The ASE token reader: buffers the file from the host stream, splits it into
// tokens, compares tokens with keywords, converts values, skips comments and
// unhandled blocks, and performs the default handling of keywords. The same
// record carries the few pieces of per-import state the parsers share.
#pragma once

#include <cstdint>

#include "ase/keyword.h"
#include "ase/text_input.h"
#include "frame/contract/host_interfaces.h"

struct MaterialRecord;
class ObjectScope;

constexpr int32_t InputBufferSize = 32768;
constexpr int32_t TokenCapacity = 1024;  // 1023 characters and the terminator
constexpr int32_t TextCapacity = 256;    // names, paths and comments: 255 characters

struct AseReader {
    MaterialRecord** materials;  // the scene's material table; owned
    int32_t materialCount;
    HostStream* stream;     // not owned
    HostScene* scene;       // not owned
    unsigned char* buffer;  // owned; allocated by the scene assembly, with room for a sentinel and padding
    int32_t bufferSize;
    int32_t bufferFill;  // characters in buffer
    char token[TokenCapacity];
    int32_t position;  // index in buffer of the next character
    float firstFrame;
    float lastFrame;
    float frameSpeed;

    int32_t tokenLength;    // of token as a C string
    int32_t lastReadCount;  // what the last Read gave; short means the input has ended
    bool readFailed;        // a Read reported an error, which ended the input
    TextDecoder decoder;
    int32_t objectDepth;           // objects being read, one inside the other
    ObjectScope* innermostObject;  // the geometry or shape object being read, or null
    uint32_t entryRoom;            // entries the input can still hold: see ReserveEntries
};

// Reader of a new import: every field zero but the stream and the scene.
void InitReader(AseReader& reader, HostStream* stream, HostScene* scene);
// Frees the input buffer and the material records; host objects stay.
void DestroyReader(AseReader& reader);
// Allocates the buffer and reads the first block. False when memory ran out.
bool FillFirstBuffer(AseReader& reader);

// Every list the file declares (vertices, faces, lines and their points,
// materials) is sized by a count read from the file. Before the room is
// made, the count is taken from the entries that the input can hold at all,
// as its length allows, so that memory never outgrows the file whatever the
// counts say. False, with nothing taken, for a negative count or one beyond
// what is left.
bool ReserveEntries(AseReader& reader, int32_t count);

bool ReadChar(AseReader& reader, char& c);
int ClassifyChar(char c);
const char* NextRawToken(AseReader& reader);
const char* NextToken(AseReader& reader);
bool SkipLine(AseReader& reader);
bool NextKeyword(AseReader& reader);
bool SkipBlock(AseReader& reader);
// Copies the token to a TextCapacity buffer, completing a quoted string from
// the input. The result is cut to 255 characters; the rest of it is consumed.
bool TokenToString(AseReader& reader, char* destination);

// Values: the next token converted. At the end of input the token is empty
// and the number 0.
int32_t ReadInt(AseReader& reader);
double ReadFloat(AseReader& reader);
Point3& ReadPoint3(AseReader& reader, Point3& point);
// NextToken, then TokenToString into a TextCapacity buffer; false, with the
// destination untouched, at the end of input.
bool ReadString(AseReader& reader, char* destination);

// The default handling of a keyword that a block parser does not handle,
// with that keyword as the token. False when the input ended where a value
// was needed.
bool HandleCommonKeyword(AseReader& reader);

inline bool TokenIs(const AseReader& reader, const Keyword& keyword) {
    return reader.tokenLength == keyword.length && EqualsIgnoringCase(reader.token, keyword);
}
inline bool TokenIsOpenBrace(const AseReader& reader) {
    return reader.tokenLength == 1 && reader.token[0] == '{';
}
inline bool TokenIsCloseBrace(const AseReader& reader) {
    return reader.tokenLength == 1 && reader.token[0] == '}';
}

// Character classes.
constexpr int CharOrdinary = 0;
constexpr int CharSeparator = 1;
constexpr int CharPunctuation = 2;
