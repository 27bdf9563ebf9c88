// A writer of compound files for tests and benchmarks: streams in the root storage, regular
// or in the mini stream by their size, 512- or 4096-byte sectors, and
// optionally fragmented so that no chain runs in order. The layout is handed
// back so that tests can damage exactly the structure they mean to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<unsigned char>;

struct CompoundOptions {
    uint32_t sectorSize = 512;  // 512 (version 3) or 4096 (version 4)
    bool fragmented = false;    // interleave the sectors of all chains, in reverse
};

struct CompoundStream {
    std::string name;
    Bytes data;
};

struct CompoundLayout {
    uint32_t sectorSize = 0;
    std::vector<uint32_t> fatSectors;
    std::vector<uint32_t> difatSectors;
    std::vector<uint32_t> directorySectors;
    std::vector<uint32_t> miniFatSectors;
    std::vector<uint32_t> miniStreamSectors;
    std::vector<std::vector<uint32_t>> streamSectors;  // per stream: sectors, or mini sectors when mini
    std::vector<bool> streamIsMini;
};

Bytes writeCompound(const std::vector<CompoundStream>& streams, const CompoundOptions& options = {},
                    CompoundLayout* layout = nullptr);

// Byte offset of a sector, and of the FAT entry of a sector.
uint32_t sectorOffset(const CompoundLayout& layout, uint32_t sector);
uint32_t fatEntryOffset(const CompoundLayout& layout, uint32_t sector);
// Byte offset of directory entry i (0 is the root; stream k is entry k + 1).
uint32_t directoryEntryOffset(const CompoundLayout& layout, uint32_t entry);

void putU16(Bytes& bytes, uint32_t offset, uint32_t value);
void putU32(Bytes& bytes, uint32_t offset, uint32_t value);
uint32_t getU32(const Bytes& bytes, uint32_t offset);

}  // namespace testing_support
