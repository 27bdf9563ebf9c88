// Reader of the compound file format (OLE structured storage): versions 3
// and 4, the DIFAT beyond the header, FAT chains, the mini stream with its
// mini FAT, and the directory. Parameterised by where the bytes come from, so
// that the platform's structured storage (a file) and the plug-in's thumbnail
// lookup (a host stream) share it.
//
// Hostile files are expected: every sector number is range-checked, every
// chain is followed a bounded number of steps, every size is checked before
// it is used, and addresses stay below 2 GiB, so 32-bit arithmetic on them
// cannot overflow. Memory comes from platform/heap.h; nothing throws.
#pragma once

#include <cstdint>

namespace compound {

// Where the document's bytes come from.
struct ByteSource {
    void* context;
    // Reads exactly count bytes at offset; false when they are not all there.
    bool (*readAt)(void* context, uint32_t offset, void* buffer, uint32_t count);
};

enum class Status {
    Ok,
    NotCompound,  // the first 16 bytes are not the signature and a null class id
    Damaged,      // the signature is there, the structure is not sound
    NoMemory,
    NotFound,  // no stream of that name in the root storage
};

constexpr uint32_t HeaderSize = 512;
constexpr uint32_t SignatureSize = 16;

// The 8-byte signature followed by the 8 zero bytes that begin the header's
// class id.
bool hasSignature(const unsigned char* first16Bytes);

// An open document: the allocation tables and the directory, read once.
struct Document {
    ByteSource source;
    uint32_t majorVersion;
    uint32_t sectorShift;
    uint32_t sectorSize;
    uint32_t* fat;
    uint32_t fatCount;
    uint32_t* miniFat;
    uint32_t miniFatCount;
    unsigned char* directory;  // raw entries, EntrySize bytes each
    uint32_t entryCount;
    uint32_t* miniStreamSectors;  // the root entry's chain, which holds the mini sectors
    uint32_t miniStreamSectorCount;
    uint32_t miniStreamSize;
};

// One stream of the root storage, located: its size and the sectors (mini
// sectors for a small stream) that hold it, in order.
struct Stream {
    uint32_t size;
    bool mini;
    uint32_t* sectors;
    uint32_t sectorCount;
};

// Fills document, which needs no initialisation; on failure nothing is left
// to close.
Status openDocument(Document& document, const ByteSource& source);
void closeDocument(Document& document);

// Finds the stream named name (8-bit, compared without regard to ASCII case
// with the low bytes of the entry's name) among the children of the root.
Status openStream(const Document& document, const char* name, Stream& stream);
void closeStream(Stream& stream);

// Copies up to count bytes from position on; returns the bytes copied, fewer
// at the end of the stream or when the source fails.
uint32_t readStream(const Document& document, const Stream& stream, uint32_t position, void* buffer, uint32_t count);

}  // namespace compound
