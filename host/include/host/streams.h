// Host streams: over a named file, or over bytes in memory (unnamed, so
// GetFileName answers 0). A stream the host made for the plug-in
// (OpenResourceStream) is deleted by Release; any other stream belongs to its
// creator, and Release, like Close, only lets go of the data.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "frame/contract/host_interfaces.h"
#include "host/contract_checks.h"

namespace refhost {

class StreamBase : public HostStream {
 public:
    int32_t HOSTAPI Release() override;
    int32_t HOSTAPI Seek(int32_t offset, int32_t origin) override;
    int32_t HOSTAPI Tell() override;
    int32_t HOSTAPI Read(void* buffer, int32_t count) override;
    int32_t HOSTAPI GetFileName(char* buffer, int32_t size) override;
    int32_t HOSTAPI ReadLong() override;
    int32_t HOSTAPI Close() override;

    bool closed() const { return closed_; }
    bool released() const { return released_; }
    int readCalls() const { return readCalls_; }
    int64_t bytesRead() const { return bytesRead_; }
    // Every Read at or beyond this position reports an error (-1).
    void failReadsFrom(int64_t position) { failFrom_ = position; }
    // When on, Tell and Read are noted in order: "Tell -> 0", "Read(32768) -> 100".
    void recordCalls(bool on) { recordCalls_ = on; }
    const std::vector<std::string>& calls() const { return calls_; }
    void setDeleteOnRelease(bool on) { deleteOnRelease_ = on; }
    // Called once when the plug-in releases the stream.
    void setReleaseHook(std::function<void()> hook) { releaseHook_ = std::move(hook); }

    StreamBase(const StreamBase&) = delete;
    StreamBase& operator=(const StreamBase&) = delete;

    // Virtual for the host's own use: a released stream may delete itself.
    // Its slots come after the contract's, so the plug-in never sees them.
    virtual ~StreamBase();

 protected:
    StreamBase() = default;

    virtual int64_t size() const = 0;
    virtual int32_t readAt(int64_t position, void* buffer, int32_t count) = 0;
    virtual void closeData() = 0;
    virtual const char* fileName() const { return nullptr; }

    int64_t position_ = 0;

 private:
    static const char* contractName() { return "HostStream"; }
    HOST_UNUSED_SLOTS_HostStream(REFHOST_UNUSED_SLOT)

        int32_t readData(void* buffer, int32_t count);
    bool closed_ = false;
    bool released_ = false;
    bool deleteOnRelease_ = false;
    std::function<void()> releaseHook_;
    int readCalls_ = 0;
    int64_t bytesRead_ = 0;
    int64_t failFrom_ = -1;
    bool recordCalls_ = false;
    std::vector<std::string> calls_;
};

class FileStream final : public StreamBase {
 public:
    explicit FileStream(std::string path);
    ~FileStream() override;
    bool isOpen() const { return file_ != nullptr; }

 protected:
    int64_t size() const override;
    int32_t readAt(int64_t position, void* buffer, int32_t count) override;
    void closeData() override;
    const char* fileName() const override { return path_.c_str(); }

 private:
    std::string path_;
    std::FILE* file_ = nullptr;
    int64_t size_ = 0;
};

class MemoryStream final : public StreamBase {
 public:
    explicit MemoryStream(std::vector<unsigned char> bytes);
    // A view of bytes that outlive the stream.
    MemoryStream(const void* data, std::size_t size);
    ~MemoryStream() override;

 protected:
    int64_t size() const override;
    int32_t readAt(int64_t position, void* buffer, int32_t count) override;
    void closeData() override;

 private:
    std::vector<unsigned char> owned_;
    const unsigned char* data_;
    std::size_t size_;
};

}  // namespace refhost
