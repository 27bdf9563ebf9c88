// The life of one import's reader, and the room the input leaves for the
// lists it declares.
#include "ase/reader.h"

#include "ase/material_table.h"

namespace {

// No entry of a list is written in fewer bytes than this: a keyword, an
// index and a value with their blanks.
constexpr uint32_t MinEntryBytes = 8;
// Room beyond that, for short texts that declare more than they hold.
constexpr uint32_t EntryAllowance = 4096;
// The room when the stream cannot tell its length.
constexpr uint32_t UnknownLengthEntries = 1u << 20;

// The entries the input from the stream's position on can hold. The stream
// is left where it was.
uint32_t InputEntryRoom(HostStream* stream) {
    const int32_t here = stream->Seek(0, 1);
    if (here < 0) return UnknownLengthEntries;
    const int32_t end = stream->Seek(0, 2);
    stream->Seek(here, 0);
    if (end < here) return UnknownLengthEntries;
    return static_cast<uint32_t>(end - here) / MinEntryBytes + EntryAllowance;
}

}  // namespace

void InitReader(AseReader& reader, HostStream* stream, HostScene* scene) {
    reader = AseReader{};
    reader.stream = stream;
    reader.scene = scene;
}

void DestroyReader(AseReader& reader) {
    CloseInput(reader);
    FreeMaterialTable(reader.materials, reader.materialCount);
    reader.materials = nullptr;
    reader.materialCount = 0;
}

bool FillFirstBuffer(AseReader& reader) {
    reader.entryRoom = InputEntryRoom(reader.stream);
    return OpenInput(reader);
}

bool ReserveEntries(AseReader& reader, int32_t count) {
    if (count < 0 || static_cast<uint32_t>(count) > reader.entryRoom) return false;
    reader.entryRoom -= static_cast<uint32_t>(count);
    return true;
}
