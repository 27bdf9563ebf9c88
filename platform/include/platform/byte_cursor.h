// The one way file data is read from memory: little-endian values through a
// cursor that knows how many bytes remain. A read that does not fit fails,
// leaves the cursor where it was, and marks it failed, so that a chain of
// reads can be checked once at its end. Header-only, for every reader of
// the plug-in and of the platform library.
#pragma once

#include <cstdint>
#include <cstring>

// Values at a known place, for data whose size was checked before.
inline uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t le64(const unsigned char* p) {
    return static_cast<uint64_t>(le32(p)) | static_cast<uint64_t>(le32(p + 4)) << 32;
}
inline float lef32(const unsigned char* p) {
    const uint32_t bits = le32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

class ByteCursor {
 public:
    ByteCursor(const unsigned char* bytes, uint32_t size) : bytes_(bytes), size_(size) {}

    uint32_t remaining() const { return size_ - at_; }
    uint32_t offset() const { return at_; }
    bool failed() const { return failed_; }
    // Moves to offset, which must lie within the data.
    bool seek(uint32_t offset) { return offset <= size_ ? (at_ = offset, true) : fail(); }
    bool skip(uint32_t count) { return count <= remaining() ? (at_ += count, true) : fail(); }

    bool u8(uint8_t& value) { return fits(1) ? (value = bytes_[at_++], true) : fail(); }
    bool u16(uint16_t& value) { return fits(2) ? (value = le16(bytes_ + at_), at_ += 2, true) : fail(); }
    bool u32(uint32_t& value) { return fits(4) ? (value = le32(bytes_ + at_), at_ += 4, true) : fail(); }
    bool i32(int32_t& value) {
        uint32_t bits = 0;
        if (!u32(bits)) return false;
        value = static_cast<int32_t>(bits);
        return true;
    }
    bool u64(uint64_t& value) { return fits(8) ? (value = le64(bytes_ + at_), at_ += 8, true) : fail(); }
    bool f32(float& value) { return fits(4) ? (value = lef32(bytes_ + at_), at_ += 4, true) : fail(); }
    // count records of size bytes in place: where they start, or null when
    // they do not fit (the product is checked without overflow).
    const unsigned char* take(uint32_t count, uint32_t size) {
        if (size != 0 && count > remaining() / size) return fail(), nullptr;
        const unsigned char* start = bytes_ + at_;
        at_ += count * size;
        return start;
    }

 private:
    bool fits(uint32_t count) const { return count <= remaining(); }
    bool fail() {
        failed_ = true;
        return false;
    }

    const unsigned char* bytes_;
    uint32_t size_;
    uint32_t at_ = 0;
    bool failed_ = false;
};
