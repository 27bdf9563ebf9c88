#include "platform/compound_file.h"

#include <cstring>

#include "platform/byte_cursor.h"
#include "platform/heap.h"

namespace compound {

namespace {

constexpr unsigned char Signature[SignatureSize] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1,
                                                    0,    0,    0,    0,    0,    0,    0,    0};

// Every byte the reader addresses lies below this, so that sector offsets,
// stream sizes and their sums fit 32 bits (and a host stream's signed seek).
constexpr uint32_t MaxFileBytes = 0x80000000u;
constexpr uint32_t MaxDirectoryBytes = 16u << 20;
constexpr uint32_t MaxStreamSize = 0x7FFFFFFFu;
constexpr uint32_t MiniSectorShift = 6;
constexpr uint32_t MiniSectorSize = 1u << MiniSectorShift;
constexpr uint32_t MiniStreamCutoff = 4096;
constexpr uint32_t EntrySize = 128;
constexpr uint32_t HeaderDifatEntries = 109;
constexpr uint32_t NoStream = 0xFFFFFFFFu;
constexpr uint32_t EndOfChain = 0xFFFFFFFEu;

// Header fields
constexpr uint32_t HeaderMajorVersion = 26;
constexpr uint32_t HeaderByteOrder = 28;
constexpr uint32_t HeaderSectorShift = 30;
constexpr uint32_t HeaderMiniSectorShift = 32;
constexpr uint32_t HeaderFatSectors = 44;
constexpr uint32_t HeaderFirstDirectorySector = 48;
constexpr uint32_t HeaderMiniStreamCutoff = 56;
constexpr uint32_t HeaderFirstMiniFatSector = 60;
constexpr uint32_t HeaderMiniFatSectors = 64;
constexpr uint32_t HeaderFirstDifatSector = 68;
constexpr uint32_t HeaderDifat = 76;

// Directory entry fields
constexpr uint32_t EntryNameLength = 64;
constexpr uint32_t EntryType = 66;
constexpr uint32_t EntryLeft = 68;
constexpr uint32_t EntryRight = 72;
constexpr uint32_t EntryChild = 76;
constexpr uint32_t EntryStart = 116;
constexpr uint32_t EntrySizeLow = 120;
constexpr uint32_t EntrySizeHigh = 124;
constexpr unsigned char TypeStream = 2;
constexpr unsigned char TypeRoot = 5;
constexpr uint32_t NameUnits = 32;

uint32_t divideRoundingUp(uint32_t value, uint32_t shift) {
    return (value >> shift) + ((value & ((1u << shift) - 1)) != 0 ? 1u : 0u);
}

// Sectors that lie wholly below MaxFileBytes; the header takes the first.
uint32_t maxSectors(uint32_t shift) {
    return (MaxFileBytes >> shift) - 1;
}

uint32_t sectorOffset(const Document& d, uint32_t sector) {
    return (sector + 1) << d.sectorShift;  // sector < maxSectors, so this fits
}

bool readSector(const Document& d, uint32_t sector, unsigned char* buffer) {
    if (sector >= maxSectors(d.sectorShift)) return false;
    return d.source.readAt(d.source.context, sectorOffset(d, sector), buffer, d.sectorSize);
}

// Converts a sector's little-endian words in place.
void wordsFromBytes(uint32_t* words, uint32_t count) {
    auto* bytes = reinterpret_cast<unsigned char*>(words);
    for (uint32_t i = 0; i < count; ++i) words[i] = le32(bytes + 4 * i);
}

// Follows a chain of table from first for exactly count links; false when it
// breaks off (an end, free or special mark, or a number out of range) first.
// The bound is count, so a cycle cannot hold it.
bool collectChain(const uint32_t* table, uint32_t tableCount, uint32_t first, uint32_t count, uint32_t* out) {
    uint32_t sector = first;
    for (uint32_t i = 0; i < count; ++i) {
        if (sector >= tableCount) return false;
        out[i] = sector;
        sector = table[sector];
    }
    return true;
}

// Length of a chain that ends with the end mark, at most limit links; false
// when it breaks off or is longer (which a cycle always is).
bool chainLength(const uint32_t* table, uint32_t tableCount, uint32_t first, uint32_t limit, uint32_t& length) {
    uint32_t sector = first;
    for (length = 0; sector != EndOfChain; ++length) {
        if (length >= limit || sector >= tableCount) return false;
        sector = table[sector];
    }
    return true;
}

// An allocated chain: its sector numbers.
uint32_t* allocateChain(const uint32_t* table, uint32_t tableCount, uint32_t first, uint32_t count, Status& status) {
    if (count == 0) return nullptr;
    // A sound chain never holds more links than the table has entries.
    if (count > tableCount) {
        status = Status::Damaged;
        return nullptr;
    }
    auto* chain = static_cast<uint32_t*>(heapAllocArray(count, sizeof(uint32_t)));
    if (!chain) {
        status = Status::NoMemory;
        return nullptr;
    }
    if (!collectChain(table, tableCount, first, count, chain)) {
        heapFree(chain);
        status = Status::Damaged;
        return nullptr;
    }
    return chain;
}

Status checkHeader(Document& d, const unsigned char* header) {
    if (!hasSignature(header)) return Status::NotCompound;
    d.majorVersion = le16(header + HeaderMajorVersion);
    d.sectorShift = le16(header + HeaderSectorShift);
    const bool sectorsFitVersion =
        (d.majorVersion == 3 && d.sectorShift == 9) || (d.majorVersion == 4 && d.sectorShift == 12);
    if (!sectorsFitVersion || le16(header + HeaderByteOrder) != 0xFFFE ||
        le16(header + HeaderMiniSectorShift) != MiniSectorShift ||
        le32(header + HeaderMiniStreamCutoff) != MiniStreamCutoff) {
        return Status::Damaged;
    }
    d.sectorSize = 1u << d.sectorShift;
    return Status::Ok;
}

// The FAT: its sector numbers come from the header and the DIFAT chain.
Status loadFat(Document& d, const unsigned char* header) {
    const uint32_t perSector = d.sectorSize / 4;
    const uint32_t fatSectors = le32(header + HeaderFatSectors);
    const uint32_t sectorLimit = maxSectors(d.sectorShift);
    if (fatSectors == 0 || fatSectors > divideRoundingUp(sectorLimit, d.sectorShift - 2)) return Status::Damaged;

    auto* fatSectorNumbers = static_cast<uint32_t*>(heapAllocArray(fatSectors, sizeof(uint32_t)));
    auto* difat = static_cast<uint32_t*>(heapAlloc(d.sectorSize));
    d.fat = static_cast<uint32_t*>(heapAllocArray(fatSectors, d.sectorSize));
    Status status = fatSectorNumbers && difat && d.fat ? Status::Ok : Status::NoMemory;

    uint32_t known = 0;
    for (; status == Status::Ok && known < fatSectors && known < HeaderDifatEntries; ++known) {
        fatSectorNumbers[known] = le32(header + HeaderDifat + 4 * known);
    }
    // Each DIFAT sector lists perSector - 1 FAT sectors and then the next one;
    // the walk ends when all are known, so it takes at most fatSectors steps.
    uint32_t difatSector = le32(header + HeaderFirstDifatSector);
    for (uint32_t steps = 0; status == Status::Ok && known < fatSectors; ++steps) {
        if (steps >= fatSectors || !readSector(d, difatSector, reinterpret_cast<unsigned char*>(difat))) {
            status = Status::Damaged;
            break;
        }
        wordsFromBytes(difat, perSector);
        for (uint32_t i = 0; i + 1 < perSector && known < fatSectors; ++i) fatSectorNumbers[known++] = difat[i];
        difatSector = difat[perSector - 1];
    }
    for (uint32_t i = 0; status == Status::Ok && i < fatSectors; ++i) {
        unsigned char* target = reinterpret_cast<unsigned char*>(d.fat) + (i << d.sectorShift);
        if (!readSector(d, fatSectorNumbers[i], target)) status = Status::Damaged;
    }
    if (status == Status::Ok) {
        const uint32_t entries = fatSectors * perSector;  // fits: at most sectorLimit rounded up to a sector
        wordsFromBytes(d.fat, entries);
        d.fatCount = entries < sectorLimit ? entries : sectorLimit;
    }
    heapFree(fatSectorNumbers);
    heapFree(difat);
    return status;
}

Status loadDirectory(Document& d, const unsigned char* header) {
    const uint32_t first = le32(header + HeaderFirstDirectorySector);
    uint32_t sectors = 0;
    if (!chainLength(d.fat, d.fatCount, first, MaxDirectoryBytes >> d.sectorShift, sectors) || sectors == 0) {
        return Status::Damaged;
    }
    Status status = Status::Ok;
    uint32_t* chain = allocateChain(d.fat, d.fatCount, first, sectors, status);
    if (!chain) return status;
    d.directory = static_cast<unsigned char*>(heapAllocArray(sectors, d.sectorSize));
    if (!d.directory) status = Status::NoMemory;
    for (uint32_t i = 0; status == Status::Ok && i < sectors; ++i) {
        if (!readSector(d, chain[i], d.directory + (i << d.sectorShift))) status = Status::Damaged;
    }
    heapFree(chain);
    if (status != Status::Ok) return status;
    d.entryCount = sectors * (d.sectorSize / EntrySize);
    return d.directory[EntryType] == TypeRoot ? Status::Ok : Status::Damaged;
}

// The size of an entry's stream; version 3 files may leave junk in the high
// word, which is then not part of the size.
bool entrySize(const Document& d, const unsigned char* entry, uint32_t& size) {
    size = le32(entry + EntrySizeLow);
    if (d.majorVersion == 4 && le32(entry + EntrySizeHigh) != 0) return false;
    return size <= MaxStreamSize;
}

// The mini stream (the root entry's data) and the mini FAT that chains its
// 64-byte sectors.
Status loadMiniStream(Document& d, const unsigned char* header) {
    if (!entrySize(d, d.directory, d.miniStreamSize)) return Status::Damaged;
    Status status = Status::Ok;
    d.miniStreamSectorCount = divideRoundingUp(d.miniStreamSize, d.sectorShift);
    if (d.miniStreamSectorCount != 0) {
        d.miniStreamSectors =
            allocateChain(d.fat, d.fatCount, le32(d.directory + EntryStart), d.miniStreamSectorCount, status);
        if (!d.miniStreamSectors) return status;
    }

    const uint32_t miniFatSectors = le32(header + HeaderMiniFatSectors);
    if (miniFatSectors == 0) return Status::Ok;
    if (miniFatSectors > d.fatCount) return Status::Damaged;
    uint32_t* chain = allocateChain(d.fat, d.fatCount, le32(header + HeaderFirstMiniFatSector), miniFatSectors, status);
    if (!chain) return status;
    d.miniFat = static_cast<uint32_t*>(heapAllocArray(miniFatSectors, d.sectorSize));
    if (!d.miniFat) status = Status::NoMemory;
    for (uint32_t i = 0; status == Status::Ok && i < miniFatSectors; ++i) {
        if (!readSector(d, chain[i], reinterpret_cast<unsigned char*>(d.miniFat) + (i << d.sectorShift))) {
            status = Status::Damaged;
        }
    }
    heapFree(chain);
    if (status != Status::Ok) return status;
    const uint32_t entries = miniFatSectors * (d.sectorSize / 4);
    wordsFromBytes(d.miniFat, entries);
    // Only mini sectors inside the mini stream can be chained to.
    const uint32_t inStream = d.miniStreamSize >> MiniSectorShift;
    d.miniFatCount = entries < inStream ? entries : inStream;
    return Status::Ok;
}

bool nameMatches(const unsigned char* entry, const char* name) {
    char narrowed[NameUnits + 1];
    uint32_t units = le16(entry + EntryNameLength) / 2;
    if (units > NameUnits) units = NameUnits;
    uint32_t n = 0;
    for (; n < units; ++n) {
        narrowed[n] = static_cast<char>(entry[2 * n]);
        if (le16(entry + 2 * n) == 0) break;
    }
    narrowed[n] = 0;
    return lstrcmpiA(narrowed, name) == 0;
}

// Walks the root's child tree with an explicit stack. Each entry is visited
// at most once in a sound tree; a damaged one that links entries twice is cut
// off after entryCount visits.
Status findEntry(const Document& d, const char* name, uint32_t& found) {
    auto* pending = static_cast<uint32_t*>(heapAllocArray(d.entryCount, sizeof(uint32_t)));
    if (!pending) return Status::NoMemory;
    uint32_t depth = 0;
    uint32_t visits = 0;
    Status status = Status::NotFound;
    const uint32_t rootChild = le32(d.directory + EntryChild);
    if (rootChild < d.entryCount) pending[depth++] = rootChild;
    while (depth > 0 && visits < d.entryCount) {
        const uint32_t index = pending[--depth];
        ++visits;
        const unsigned char* entry = d.directory + index * EntrySize;
        if (entry[EntryType] == TypeStream && nameMatches(entry, name)) {
            found = index;
            status = Status::Ok;
            break;
        }
        for (const uint32_t link : {le32(entry + EntryLeft), le32(entry + EntryRight)}) {
            if (link < d.entryCount && depth < d.entryCount) pending[depth++] = link;
        }
    }
    heapFree(pending);
    return status;
}

// Reads a piece of the file that lies within one sector, or within a run of
// consecutive sectors.
uint32_t readRegular(const Document& d, const Stream& s, uint32_t position, unsigned char* out, uint32_t count) {
    uint32_t done = 0;
    while (done < count) {
        const uint32_t at = position + done;
        uint32_t index = at >> d.sectorShift;
        const uint32_t within = at & (d.sectorSize - 1);
        uint32_t piece = d.sectorSize - within;
        // Consecutive sectors are read in one go.
        while (piece < count - done && index + 1 < s.sectorCount && s.sectors[index + 1] == s.sectors[index] + 1) {
            ++index;
            piece += d.sectorSize;
        }
        if (piece > count - done) piece = count - done;
        const uint32_t first = s.sectors[at >> d.sectorShift];
        if (!d.source.readAt(d.source.context, sectorOffset(d, first) + within, out + done, piece)) break;
        done += piece;
    }
    return done;
}

uint32_t readMini(const Document& d, const Stream& s, uint32_t position, unsigned char* out, uint32_t count) {
    uint32_t done = 0;
    while (done < count) {
        const uint32_t at = position + done;
        const uint32_t within = at & (MiniSectorSize - 1);
        uint32_t piece = MiniSectorSize - within;
        if (piece > count - done) piece = count - done;
        // Checked at open: the mini sector lies inside the mini stream.
        const uint32_t inMiniStream = (s.sectors[at >> MiniSectorShift] << MiniSectorShift) + within;
        const uint32_t sector = d.miniStreamSectors[inMiniStream >> d.sectorShift];
        const uint32_t offset = sectorOffset(d, sector) + (inMiniStream & (d.sectorSize - 1));
        if (!d.source.readAt(d.source.context, offset, out + done, piece)) break;
        done += piece;
    }
    return done;
}

}  // namespace

bool hasSignature(const unsigned char* first16Bytes) {
    return std::memcmp(first16Bytes, Signature, SignatureSize) == 0;
}

Status openDocument(Document& document, const ByteSource& source) {
    std::memset(&document, 0, sizeof document);
    document.source = source;
    unsigned char header[HeaderSize];
    if (!source.readAt(source.context, 0, header, SignatureSize)) return Status::NotCompound;
    if (!hasSignature(header)) return Status::NotCompound;
    if (!source.readAt(source.context, 0, header, HeaderSize)) return Status::Damaged;
    Status status = checkHeader(document, header);
    if (status == Status::Ok) status = loadFat(document, header);
    if (status == Status::Ok) status = loadDirectory(document, header);
    if (status == Status::Ok) status = loadMiniStream(document, header);
    if (status != Status::Ok) closeDocument(document);
    return status;
}

void closeDocument(Document& document) {
    heapFree(document.fat);
    heapFree(document.miniFat);
    heapFree(document.directory);
    heapFree(document.miniStreamSectors);
    const ByteSource source = document.source;
    std::memset(&document, 0, sizeof document);
    document.source = source;
}

Status openStream(const Document& document, const char* name, Stream& stream) {
    std::memset(&stream, 0, sizeof stream);
    uint32_t index = NoStream;
    const Status found = findEntry(document, name, index);
    if (found != Status::Ok) return found;
    const unsigned char* entry = document.directory + index * EntrySize;
    uint32_t size = 0;
    if (!entrySize(document, entry, size)) return Status::Damaged;
    Status status = Status::Ok;
    stream.size = size;
    stream.mini = size < MiniStreamCutoff;
    if (stream.mini) {
        stream.sectorCount = divideRoundingUp(size, MiniSectorShift);
        stream.sectors = allocateChain(document.miniFat, document.miniFatCount, le32(entry + EntryStart),
                                       stream.sectorCount, status);
    } else {
        stream.sectorCount = divideRoundingUp(size, document.sectorShift);
        stream.sectors =
            allocateChain(document.fat, document.fatCount, le32(entry + EntryStart), stream.sectorCount, status);
    }
    if (status != Status::Ok) std::memset(&stream, 0, sizeof stream);
    return status;
}

void closeStream(Stream& stream) {
    heapFree(stream.sectors);
    std::memset(&stream, 0, sizeof stream);
}

uint32_t readStream(const Document& document, const Stream& stream, uint32_t position, void* buffer, uint32_t count) {
    if (position >= stream.size) return 0;
    if (count > stream.size - position) count = stream.size - position;
    auto* out = static_cast<unsigned char*>(buffer);
    return stream.mini ? readMini(document, stream, position, out, count)
                       : readRegular(document, stream, position, out, count);
}

}  // namespace compound
