// The object of one ASE import, as the block parsers see it: the token reader
// over the file, and the few pieces of import state the parsers share.
#pragma once

#include <cstdint>

#include "ase/token_reader.h"

struct MaterialRecord;
class ObjectScope;

struct ImportState {
    HostScene* scene;            // not owned
    MaterialRecord** materials;  // the scene's material table; owned
    int32_t materialCount;
    float firstFrame;
    float lastFrame;
    float frameSpeed;
    int32_t objectDepth;           // objects being read, one inside the other
    ObjectScope* innermostObject;  // the geometry or shape object being read, or null
    uint32_t entryRoom;            // entries the input can still hold: see ReserveEntries
};

struct AseReader : TokenReader, ImportState {};

// Reader of a new import: every field zero but the stream and the scene.
void InitReader(AseReader& reader, HostStream* stream, HostScene* scene);
// Frees the input buffer and the material records; host objects stay.
void DestroyReader(AseReader& reader);
// Takes the measure of the input and reads its first block. False when
// memory ran out.
bool FillFirstBuffer(AseReader& reader);

// Every list the file declares (vertices, faces, lines and their points,
// materials) is sized by a count read from the file. Before the room is
// made, the count is taken from the entries that the input can hold at all,
// as its length allows, so that memory never outgrows the file whatever the
// counts say. False, with nothing taken, for a negative count or one beyond
// what is left.
bool ReserveEntries(AseReader& reader, int32_t count);

// The default handling of a keyword that a block parser does not handle,
// with that keyword as the token. False when the input ended where a value
// was needed.
bool HandleCommonKeyword(AseReader& reader);
