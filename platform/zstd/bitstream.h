// The two bit orders of the format. Table descriptions are read forward,
// from the lowest bit of the first byte. Entropy-coded streams are read
// backward: from the highest bit of the last byte, below a marker bit that
// the encoder sets above its last bit, down to bit 0 of the first byte.
#pragma once

#include <cstdint>
#include <cstring>

namespace zstd {

inline uint32_t highBit(uint32_t value) {  // value > 0
    return 31u - static_cast<uint32_t>(__builtin_clz(value));
}

inline uint64_t loadLittle64(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t value;
    std::memcpy(&value, p, sizeof value);  // the format's order is the machine's
    return value;
#else
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | p[i];
    return value;
#endif
}

// Reads forward; a read past the end gives zero bits and marks the reader
// overrun, which the caller treats as damage.
class ForwardBits {
 public:
    ForwardBits(const unsigned char* data, uint32_t size) : data_(data), bits_(uint64_t{size} * 8) {}

    uint32_t peek(uint32_t count) const {  // count <= 32
        uint64_t value = 0;
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t at = position_ + i;
            if (at < bits_ && (data_[at >> 3] >> (at & 7) & 1u)) value |= uint64_t{1} << i;
        }
        return static_cast<uint32_t>(value);
    }
    void skip(uint32_t count) {
        position_ += count;
        if (position_ > bits_) overrun_ = true;
    }
    uint32_t read(uint32_t count) {
        const uint32_t value = peek(count);
        skip(count);
        return value;
    }
    bool overrun() const { return overrun_; }
    // Whole bytes that the reading touched.
    uint32_t bytesUsed() const { return static_cast<uint32_t>((position_ + 7) / 8); }

 private:
    const unsigned char* data_;
    uint64_t bits_;
    uint64_t position_ = 0;
    bool overrun_ = false;
};

// Reads backward. Bits below the first byte read as zeros and mark the
// reader overrun; where that is damage, the caller checks.
class BackwardBits {
 public:
    // False when there is no byte or the last byte holds no marker.
    bool start(const unsigned char* data, uint32_t size) {
        data_ = data;
        size_ = size;
        overrun_ = false;
        if (size == 0 || data[size - 1] == 0) return false;
        remaining_ = int64_t{size - 1} * 8 + highBit(data[size - 1]);
        return true;
    }

    // The next count bits (count <= 32) as a number whose highest bit is the
    // first one read, without consuming them.
    uint32_t peek(uint32_t count) const {
        if (count == 0) return 0;
        const int64_t low = remaining_ - count;
        if (low >= 0) return static_cast<uint32_t>(window(static_cast<uint64_t>(low)) & maskOf(count));
        if (remaining_ <= 0) return 0;
        const auto available = static_cast<uint32_t>(remaining_);
        return static_cast<uint32_t>((window(0) & maskOf(available)) << (count - available));
    }
    void skip(uint32_t count) {
        remaining_ -= count;
        if (remaining_ < 0) overrun_ = true;
    }
    uint32_t read(uint32_t count) {
        const uint32_t value = peek(count);
        skip(count);
        return value;
    }

    bool overrun() const { return overrun_; }
    // Every bit was read, and none beyond.
    bool exhausted() const { return remaining_ == 0 && !overrun_; }

 private:
    static uint64_t maskOf(uint32_t count) { return count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1; }

    // The stream's bits from bit position low upward (at least 33 of them
    // where the stream has them).
    uint64_t window(uint64_t low) const {
        const uint64_t byte = low >> 3;
        uint64_t word = 0;
        if (byte + 8 <= size_) {
            word = loadLittle64(data_ + byte);
        } else {
            for (uint64_t i = size_; i-- > byte;) word = word << 8 | data_[i];
        }
        return word >> (low & 7);
    }

    const unsigned char* data_ = nullptr;
    uint32_t size_ = 0;
    int64_t remaining_ = 0;  // bits not yet read; below zero once overrun
    bool overrun_ = false;
};

}  // namespace zstd
