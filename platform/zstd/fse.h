// Finite State Entropy tables: reading a table description, building the
// decoding table from a distribution, and the table of a single symbol that
// the RLE modes use.
#pragma once

#include <cstdint>

#include "bitstream.h"

namespace zstd {

constexpr uint32_t FseMinLog = 5;
constexpr uint32_t FseMaxLog = 9;  // the largest accuracy any table of the format may have
constexpr uint32_t FseMaxSymbols = 53;

struct FseEntry {
    uint16_t base;  // the next state, before the bits read are added
    uint8_t symbol;
    uint8_t bits;
};

struct FseTable {
    FseEntry entries[1u << FseMaxLog];
    uint32_t log;
};

// A distribution: probabilities of symbols 0..count-1 in units of
// 1 / 2^log; -1 stands for "less than one".
struct FseDistribution {
    int16_t probability[FseMaxSymbols];
    uint32_t count;
    uint32_t log;
};

// Reads a table description from the start of data. Returns the bytes it
// takes, or 0 when it is damaged or asks for more than maxSymbol or maxLog.
uint32_t readFseDistribution(const unsigned char* data, uint32_t size, uint32_t maxSymbol, uint32_t maxLog,
                             FseDistribution& distribution);

// False when the distribution does not fill a table.
bool buildFseTable(const FseDistribution& distribution, FseTable& table);

void buildSingleSymbolTable(uint8_t symbol, FseTable& table);

// A decoder's state over a backward stream.
class FseState {
 public:
    void start(const FseTable& table, BackwardBits& bits) {
        table_ = &table;
        state_ = bits.read(table.log);
    }
    uint8_t symbol() const { return table_->entries[state_].symbol; }
    void update(BackwardBits& bits) {
        const FseEntry& e = table_->entries[state_];
        state_ = e.base + bits.read(e.bits);
    }

 private:
    const FseTable* table_ = nullptr;
    uint32_t state_ = 0;
};

}  // namespace zstd
