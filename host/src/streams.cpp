#include "host/streams.h"

#include <algorithm>
#include <cstring>

namespace refhost {

StreamBase::~StreamBase() = default;

int32_t StreamBase::Release() {
    if (released_) {
        reportContractViolation("HostStream: Release called twice");
        return 0;
    }
    released_ = true;
    if (!closed_) Close();
    if (releaseHook_) releaseHook_();
    if (deleteOnRelease_) delete this;
    return 0;
}

int32_t StreamBase::Seek(int32_t offset, int32_t origin) {
    if (closed_) return -1;
    int64_t base = 0;
    if (origin == 1) {
        base = position_;
    } else if (origin == 2) {
        base = size();
    } else if (origin != 0) {
        return -1;
    }
    const int64_t target = base + offset;
    if (target < 0) return -1;
    position_ = target;
    return static_cast<int32_t>(std::min<int64_t>(position_, INT32_MAX));
}

int32_t StreamBase::Tell() {
    const int32_t position = closed_ ? -1 : static_cast<int32_t>(std::min<int64_t>(position_, INT32_MAX));
    if (recordCalls_) calls_.push_back("Tell -> " + std::to_string(position));
    return position;
}

int32_t StreamBase::Read(void* buffer, int32_t count) {
    const int32_t n = readData(buffer, count);
    if (recordCalls_) calls_.push_back("Read(" + std::to_string(count) + ") -> " + std::to_string(n));
    return n;
}

int32_t StreamBase::readData(void* buffer, int32_t count) {
    ++readCalls_;
    if (closed_ || count <= 0) return 0;
    if (failFrom_ >= 0 && position_ + count > failFrom_) return -1;
    const int32_t n = readAt(position_, buffer, count);
    if (n > 0) {
        position_ += n;
        bytesRead_ += n;
    }
    return n;
}

int32_t StreamBase::GetFileName(char* buffer, int32_t size) {
    const char* name = fileName();
    if (!name || !buffer || size <= 0) return 0;
    const std::size_t n = std::min<std::size_t>(std::strlen(name), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, name, n);
    buffer[n] = 0;
    return 1;
}

int32_t StreamBase::ReadLong() {
    unsigned char b[4] = {0, 0, 0, 0};
    Read(b, 4);
    return static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

int32_t StreamBase::Close() {
    if (!closed_) closeData();
    closed_ = true;
    return 0;
}

FileStream::FileStream(std::string path) : path_(std::move(path)) {
    file_ = std::fopen(path_.c_str(), "rb");
    if (file_ && std::fseek(file_, 0, SEEK_END) == 0) {
        size_ = std::ftell(file_);
        std::fseek(file_, 0, SEEK_SET);
    }
}

FileStream::~FileStream() {
    closeData();
}

int64_t FileStream::size() const {
    return size_;
}

int32_t FileStream::readAt(int64_t position, void* buffer, int32_t count) {
    if (!file_ || position >= size_) return 0;
    if (std::ftell(file_) != position && std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) return 0;
    return static_cast<int32_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), file_));
}

void FileStream::closeData() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

MemoryStream::MemoryStream(std::vector<unsigned char> bytes)
    : owned_(std::move(bytes)), data_(owned_.data()), size_(owned_.size()) {}

MemoryStream::MemoryStream(const void* data, std::size_t size)
    : data_(static_cast<const unsigned char*>(data)), size_(size) {}

MemoryStream::~MemoryStream() = default;

int64_t MemoryStream::size() const {
    return static_cast<int64_t>(size_);
}

int32_t MemoryStream::readAt(int64_t position, void* buffer, int32_t count) {
    if (!data_ || position >= static_cast<int64_t>(size_)) return 0;
    const auto n = static_cast<std::size_t>(std::min<int64_t>(count, static_cast<int64_t>(size_) - position));
    std::memcpy(buffer, data_ + position, n);
    return static_cast<int32_t>(n);
}

void MemoryStream::closeData() {
    owned_.clear();
    owned_.shrink_to_fit();
    data_ = nullptr;
    size_ = 0;
}

}  // namespace refhost
