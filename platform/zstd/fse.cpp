#include "fse.h"

namespace zstd {

uint32_t readFseDistribution(const unsigned char* data, uint32_t size, uint32_t maxSymbol, uint32_t maxLog,
                             FseDistribution& distribution) {
    ForwardBits bits(data, size);
    const uint32_t log = bits.read(4) + FseMinLog;
    if (log > maxLog || maxSymbol >= FseMaxSymbols) return 0;

    // Each probability takes just enough bits for the values still possible;
    // the smaller half of the values is written one bit shorter.
    int32_t remaining = (1 << log) + 1;
    int32_t threshold = 1 << log;
    uint32_t width = log + 1;
    uint32_t symbol = 0;
    while (remaining > 1) {
        if (symbol > maxSymbol) return 0;
        const int32_t shortLimit = 2 * threshold - 1 - remaining;
        int32_t value = static_cast<int32_t>(bits.peek(width - 1));
        if (value < shortLimit) {
            bits.skip(width - 1);
        } else {
            value = static_cast<int32_t>(bits.read(width));
            if (value >= threshold) value -= shortLimit;
        }
        const int32_t probability = value - 1;
        remaining -= probability < 0 ? -probability : probability;
        distribution.probability[symbol++] = static_cast<int16_t>(probability);
        if (probability == 0) {
            // A run of further zero probabilities follows in 2-bit counts;
            // a count of 3 says that another count follows.
            uint32_t repeat;
            do {
                repeat = bits.read(2);
                if (bits.overrun() || symbol + repeat > maxSymbol + 1) return 0;
                for (uint32_t i = 0; i < repeat; ++i) distribution.probability[symbol++] = 0;
            } while (repeat == 3);
        }
        while (remaining < threshold) {
            --width;
            threshold >>= 1;
        }
        if (bits.overrun()) return 0;
    }
    if (remaining != 1) return 0;
    distribution.count = symbol;
    distribution.log = log;
    return bits.bytesUsed();
}

bool buildFseTable(const FseDistribution& distribution, FseTable& table) {
    const uint32_t size = 1u << distribution.log;
    const uint32_t mask = size - 1;
    uint32_t high = size - 1;
    uint16_t next[FseMaxSymbols];
    // Symbols of probability "less than one" take one cell each at the top.
    for (uint32_t s = 0; s < distribution.count; ++s) {
        if (distribution.probability[s] == -1) {
            table.entries[high--].symbol = static_cast<uint8_t>(s);
            next[s] = 1;
        } else {
            next[s] = static_cast<uint16_t>(distribution.probability[s]);
        }
    }
    // The others are spread over the remaining cells with a fixed stride.
    const uint32_t step = (size >> 1) + (size >> 3) + 3;
    uint32_t position = 0;
    for (uint32_t s = 0; s < distribution.count; ++s) {
        for (int32_t i = 0; i < distribution.probability[s]; ++i) {
            table.entries[position].symbol = static_cast<uint8_t>(s);
            do {
                position = (position + step) & mask;
            } while (position > high);
        }
    }
    if (position != 0) return false;
    for (uint32_t cell = 0; cell < size; ++cell) {
        FseEntry& e = table.entries[cell];
        const uint32_t state = next[e.symbol]++;
        const uint32_t bits = distribution.log - highBit(state);
        e.bits = static_cast<uint8_t>(bits);
        e.base = static_cast<uint16_t>((state << bits) - size);
    }
    table.log = distribution.log;
    return true;
}

void buildSingleSymbolTable(uint8_t symbol, FseTable& table) {
    table.entries[0] = FseEntry{0, symbol, 0};
    table.log = 0;
}

}  // namespace zstd
