#include "support/compound_writer.h"

#include <algorithm>

namespace testing_support {

namespace {

constexpr uint32_t MiniCutoff = 4096;
constexpr uint32_t MiniSector = 64;
constexpr uint32_t EntryBytes = 128;
constexpr uint32_t HeaderDifatEntries = 109;
constexpr uint32_t FreeSector = 0xFFFFFFFFu;
constexpr uint32_t EndOfChain = 0xFFFFFFFEu;
constexpr uint32_t FatSectorMark = 0xFFFFFFFDu;
constexpr uint32_t DifatSectorMark = 0xFFFFFFFCu;
constexpr uint32_t NoStream = 0xFFFFFFFFu;

uint32_t roundUp(uint64_t value, uint32_t unit) {
    return static_cast<uint32_t>((value + unit - 1) / unit);
}

// Numbers the links of every chain, chain after chain, or interleaved and
// backwards when fragmented; numbering starts at first.
std::vector<std::vector<uint32_t>> allocate(const std::vector<uint32_t>& lengths, bool fragmented, uint32_t first) {
    std::vector<std::vector<uint32_t>> chains(lengths.size());
    std::vector<std::pair<std::size_t, uint32_t>> order;  // (chain, link)
    if (fragmented) {
        const uint32_t longest = lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
        for (uint32_t link = 0; link < longest; ++link) {
            for (std::size_t c = 0; c < lengths.size(); ++c) {
                if (link < lengths[c]) order.emplace_back(c, link);
            }
        }
    } else {
        for (std::size_t c = 0; c < lengths.size(); ++c) {
            for (uint32_t link = 0; link < lengths[c]; ++link) order.emplace_back(c, link);
        }
    }
    for (std::size_t c = 0; c < lengths.size(); ++c) chains[c].resize(lengths[c]);
    const auto total = static_cast<uint32_t>(order.size());
    for (uint32_t i = 0; i < total; ++i) {
        const uint32_t number = fragmented ? first + total - 1 - i : first + i;
        chains[order[i].first][order[i].second] = number;
    }
    return chains;
}

void chainInto(std::vector<uint32_t>& table, const std::vector<uint32_t>& chain) {
    for (std::size_t i = 0; i < chain.size(); ++i) table[chain[i]] = i + 1 < chain.size() ? chain[i + 1] : EndOfChain;
}

}  // namespace

void putU16(Bytes& bytes, uint32_t offset, uint32_t value) {
    bytes.at(offset) = static_cast<unsigned char>(value);
    bytes.at(offset + 1) = static_cast<unsigned char>(value >> 8);
}

void putU32(Bytes& bytes, uint32_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t getU32(const Bytes& bytes, uint32_t offset) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes.at(offset + i)) << (8 * i);
    return value;
}

uint32_t sectorOffset(const CompoundLayout& layout, uint32_t sector) {
    return (sector + 1) * layout.sectorSize;
}

uint32_t fatEntryOffset(const CompoundLayout& layout, uint32_t sector) {
    const uint32_t perSector = layout.sectorSize / 4;
    return sectorOffset(layout, layout.fatSectors.at(sector / perSector)) + 4 * (sector % perSector);
}

uint32_t directoryEntryOffset(const CompoundLayout& layout, uint32_t entry) {
    const uint32_t perSector = layout.sectorSize / EntryBytes;
    return sectorOffset(layout, layout.directorySectors.at(entry / perSector)) + EntryBytes * (entry % perSector);
}

Bytes writeCompound(const std::vector<CompoundStream>& streams, const CompoundOptions& options,
                    CompoundLayout* layoutOut) {
    CompoundLayout layout;
    const uint32_t ss = options.sectorSize;
    layout.sectorSize = ss;
    const uint32_t perSector = ss / 4;

    // Small streams go to the mini stream, in 64-byte mini sectors.
    std::vector<uint32_t> miniLengths, regularLengths;
    for (const CompoundStream& s : streams) {
        const bool mini = s.data.size() < MiniCutoff;
        layout.streamIsMini.push_back(mini);
        (mini ? miniLengths : regularLengths).push_back(roundUp(s.data.size(), mini ? MiniSector : ss));
    }
    const auto miniChains = allocate(miniLengths, options.fragmented, 0);
    uint32_t miniSectors = 0;
    for (uint32_t n : miniLengths) miniSectors += n;
    const uint32_t miniStreamBytes = miniSectors * MiniSector;

    const uint32_t entries = static_cast<uint32_t>(streams.size()) + 1;
    std::vector<uint32_t> lengths = regularLengths;
    lengths.push_back(roundUp(miniStreamBytes, ss));                 // the mini stream
    lengths.push_back(roundUp(uint64_t{entries} * EntryBytes, ss));  // the directory
    lengths.push_back(roundUp(uint64_t{miniSectors} * 4, ss));       // the mini FAT
    uint32_t dataSectors = 0;
    for (uint32_t n : lengths) dataSectors += n;

    uint32_t fat = 1, difat = 0;
    for (;;) {
        const uint32_t neededFat = roundUp(uint64_t{dataSectors} + fat + difat, perSector);
        const uint32_t neededDifat =
            neededFat > HeaderDifatEntries ? roundUp(neededFat - HeaderDifatEntries, perSector - 1) : 0;
        if (neededFat == fat && neededDifat == difat) break;
        fat = neededFat;
        difat = neededDifat;
    }

    const auto chains = allocate(lengths, options.fragmented, 0);
    const std::size_t regularCount = regularLengths.size();
    layout.miniStreamSectors = chains[regularCount];
    layout.directorySectors = chains[regularCount + 1];
    layout.miniFatSectors = chains[regularCount + 2];
    for (uint32_t i = 0; i < fat; ++i) layout.fatSectors.push_back(dataSectors + i);
    for (uint32_t i = 0; i < difat; ++i) layout.difatSectors.push_back(dataSectors + fat + i);
    for (std::size_t s = 0, regular = 0, mini = 0; s < streams.size(); ++s) {
        layout.streamSectors.push_back(layout.streamIsMini[s] ? miniChains[mini++] : chains[regular++]);
    }

    const uint32_t totalSectors = dataSectors + fat + difat;
    Bytes file(uint64_t{totalSectors + 1} * ss, 0);

    // Stream data, in the file or in the mini stream.
    Bytes miniStream(miniStreamBytes, 0);
    for (std::size_t s = 0; s < streams.size(); ++s) {
        const Bytes& data = streams[s].data;
        const uint32_t unit = layout.streamIsMini[s] ? MiniSector : ss;
        for (std::size_t i = 0; i < layout.streamSectors[s].size(); ++i) {
            const std::size_t from = i * unit;
            const std::size_t n = std::min<std::size_t>(unit, data.size() - from);
            const uint32_t sector = layout.streamSectors[s][i];
            unsigned char* to =
                layout.streamIsMini[s] ? &miniStream[sector * MiniSector] : &file[sectorOffset(layout, sector)];
            std::copy(data.begin() + from, data.begin() + from + n, to);
        }
    }
    for (std::size_t i = 0; i < layout.miniStreamSectors.size(); ++i) {
        const std::size_t from = i * ss;
        const std::size_t n = std::min<std::size_t>(ss, miniStream.size() - from);
        std::copy(miniStream.begin() + from, miniStream.begin() + from + n,
                  file.begin() + sectorOffset(layout, layout.miniStreamSectors[i]));
    }

    // Allocation tables.
    std::vector<uint32_t> fatTable(uint64_t{fat} * perSector, FreeSector);
    for (const auto& chain : chains) chainInto(fatTable, chain);
    for (uint32_t s : layout.fatSectors) fatTable[s] = FatSectorMark;
    for (uint32_t s : layout.difatSectors) fatTable[s] = DifatSectorMark;
    for (uint32_t i = 0; i < fatTable.size(); ++i) {
        putU32(file, sectorOffset(layout, layout.fatSectors[i / perSector]) + 4 * (i % perSector), fatTable[i]);
    }
    std::vector<uint32_t> miniFat(layout.miniFatSectors.size() * perSector, FreeSector);
    for (const auto& chain : miniChains) chainInto(miniFat, chain);
    for (uint32_t i = 0; i < miniFat.size(); ++i) {
        putU32(file, sectorOffset(layout, layout.miniFatSectors[i / perSector]) + 4 * (i % perSector), miniFat[i]);
    }

    // Directory: the root, then one entry per stream, chained to the right.
    auto writeEntry = [&](uint32_t index, const std::string& name, int type, uint32_t right, uint32_t child,
                          uint32_t start, uint32_t size) {
        const uint32_t at = directoryEntryOffset(layout, index);
        for (std::size_t i = 0; i < name.size() && i < 31; ++i)
            putU16(file, at + 2 * i, static_cast<unsigned char>(name[i]));
        putU16(file, at + 64, static_cast<uint32_t>(std::min<std::size_t>(name.size(), 31) + 1) * 2);
        file[at + 66] = static_cast<unsigned char>(type);
        file[at + 67] = 1;  // black
        putU32(file, at + 68, NoStream);
        putU32(file, at + 72, right);
        putU32(file, at + 76, child);
        putU32(file, at + 116, start);
        putU32(file, at + 120, size);
    };
    const uint32_t perDirectorySector = ss / EntryBytes;
    for (uint32_t i = entries; i < layout.directorySectors.size() * perDirectorySector; ++i) {
        const uint32_t at = directoryEntryOffset(layout, i);
        putU32(file, at + 68, NoStream);
        putU32(file, at + 72, NoStream);
        putU32(file, at + 76, NoStream);
    }
    writeEntry(0, "Root Entry", 5, NoStream, streams.empty() ? NoStream : 1,
               layout.miniStreamSectors.empty() ? EndOfChain : layout.miniStreamSectors[0], miniStreamBytes);
    for (uint32_t s = 0; s < streams.size(); ++s) {
        const auto& sectors = layout.streamSectors[s];
        writeEntry(s + 1, streams[s].name, 2, s + 2 < entries ? s + 2 : NoStream, NoStream,
                   sectors.empty() ? EndOfChain : sectors[0], static_cast<uint32_t>(streams[s].data.size()));
    }

    // Header, and the DIFAT beyond it.
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(signature, signature + 8, file.begin());
    putU16(file, 24, 0x3E);
    putU16(file, 26, ss == 4096 ? 4 : 3);
    putU16(file, 28, 0xFFFE);
    putU16(file, 30, ss == 4096 ? 12 : 9);
    putU16(file, 32, 6);
    putU32(file, 40, ss == 4096 ? static_cast<uint32_t>(layout.directorySectors.size()) : 0);
    putU32(file, 44, fat);
    putU32(file, 48, layout.directorySectors[0]);
    putU32(file, 56, MiniCutoff);
    putU32(file, 60, layout.miniFatSectors.empty() ? EndOfChain : layout.miniFatSectors[0]);
    putU32(file, 64, static_cast<uint32_t>(layout.miniFatSectors.size()));
    putU32(file, 68, layout.difatSectors.empty() ? EndOfChain : layout.difatSectors[0]);
    putU32(file, 72, difat);
    for (uint32_t i = 0; i < HeaderDifatEntries; ++i) {
        putU32(file, 76 + 4 * i, i < fat ? layout.fatSectors[i] : FreeSector);
    }
    for (uint32_t d = 0; d < difat; ++d) {
        const uint32_t at = sectorOffset(layout, layout.difatSectors[d]);
        for (uint32_t i = 0; i + 1 < perSector; ++i) {
            const uint32_t f = HeaderDifatEntries + d * (perSector - 1) + i;
            putU32(file, at + 4 * i, f < fat ? layout.fatSectors[f] : FreeSector);
        }
        putU32(file, at + 4 * (perSector - 1), d + 1 < difat ? layout.difatSectors[d + 1] : EndOfChain);
    }

    if (layoutOut) *layoutOut = layout;
    return file;
}

}  // namespace testing_support
