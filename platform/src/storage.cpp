// Structured storage over a file: StgOpenStorage, and the storage and stream
// objects it hands out, read-only, with the result codes Windows gives. The
// compound format itself is read by platform/compound_file.h. A storage and
// its streams share one open document, which lives until the last of them is
// released, whatever the order of the releases.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>

#include "platform/compound_file.h"
#include "platform/win32.h"

namespace {

constexpr int MaxNameUnits = 4096;

std::string narrowPath(const WCHAR* name) {
    std::string path;
    for (int i = 0; i < MaxNameUnits && name[i] != 0; ++i) {
        // The plug-in widens its 8-bit paths byte by byte: the low byte is the byte.
        path.push_back(name[i] <= 0xFF ? static_cast<char>(name[i]) : '?');
    }
    return path;
}

// The file descriptor travels in the context pointer. One positioned read a
// piece: no seek of its own.
bool readFileAt(void* context, uint32_t offset, void* buffer, uint32_t count) {
    const int descriptor = static_cast<int>(reinterpret_cast<intptr_t>(context));
    auto* out = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        const ssize_t got = pread(descriptor, out, count, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += static_cast<uint32_t>(got);
        count -= static_cast<uint32_t>(got);
    }
    return true;
}

HRESULT resultOf(compound::Status status) {
    switch (status) {
        case compound::Status::Ok:
            return S_OK;
        case compound::Status::NotCompound:
            return STG_E_FILEALREADYEXISTS;
        case compound::Status::NoMemory:
            return STG_E_INSUFFICIENTMEMORY;
        case compound::Status::NotFound:
            return STG_E_FILENOTFOUND;
        case compound::Status::Damaged:
            break;
    }
    return STG_E_DOCFILECORRUPT;
}

// The open file and its tables, shared by reference count.
class OpenDocument {
 public:
    static HRESULT open(const std::string& path, OpenDocument*& out) {
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) return errno == EACCES ? STG_E_ACCESSDENIED : missingFileResult(path);
        auto* document = new (std::nothrow) OpenDocument(descriptor);
        if (!document) {
            ::close(descriptor);
            return STG_E_INSUFFICIENTMEMORY;
        }
        void* context = reinterpret_cast<void*>(static_cast<intptr_t>(descriptor));
        const compound::Status status = compound::openDocument(document->document_, {context, readFileAt});
        if (status != compound::Status::Ok) {
            document->release();
            return resultOf(status);
        }
        out = document;
        return S_OK;
    }

    void addRef() { ++references_; }
    void release() {
        if (--references_ == 0) delete this;
    }
    const compound::Document& document() const { return document_; }

 private:
    explicit OpenDocument(int descriptor) : descriptor_(descriptor) {}
    ~OpenDocument() {
        compound::closeDocument(document_);
        ::close(descriptor_);
    }

    // A missing file in an existing folder, or a missing folder.
    static HRESULT missingFileResult(const std::string& path) {
        const std::string::size_type slash = path.rfind('/');
        if (slash == std::string::npos || slash == 0) return STG_E_FILENOTFOUND;
        struct stat folder;
        return stat(path.substr(0, slash).c_str(), &folder) == 0 ? STG_E_FILENOTFOUND : STG_E_PATHNOTFOUND;
    }

    int descriptor_;
    compound::Document document_{};
    int references_ = 1;
};

class Stream final : public IStream {
 public:
    Stream(OpenDocument& document, const compound::Stream& located) : document_(document), stream_(located) {
        document_.addRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            compound::closeStream(stream_);
            document_.release();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* countRead) override {
        if (countRead) *countRead = 0;
        if (!buffer) return STG_E_INVALIDPOINTER;
        if (position_ >= stream_.size || count == 0) return S_OK;
        const uint32_t wanted =
            count < stream_.size - position_ ? count : stream_.size - static_cast<uint32_t>(position_);
        const uint32_t done =
            compound::readStream(document_.document(), stream_, static_cast<uint32_t>(position_), buffer, wanted);
        position_ += done;
        if (countRead) *countRead = done;
        return done == wanted ? S_OK : STG_E_READFAULT;
    }

    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* countWritten) override {
        if (countWritten) *countWritten = 0;
        return STG_E_ACCESSDENIED;  // opened for reading
    }

    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        int64_t base = 0;
        switch (origin) {
            case STREAM_SEEK_SET:
                break;
            case STREAM_SEEK_CUR:
                base = static_cast<int64_t>(position_);
                break;
            case STREAM_SEEK_END:
                base = stream_.size;
                break;
            default:
                return STG_E_INVALIDFUNCTION;
        }
        // Positions stay far from the 64-bit limits: streams are below 2 GiB.
        constexpr int64_t Limit = int64_t{1} << 62;
        if (move.QuadPart < -Limit || move.QuadPart > Limit || base + move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<uint64_t>(base + move.QuadPart);
        if (newPosition) newPosition->QuadPart = position_;
        return S_OK;
    }

 private:
    ~Stream() = default;

    OpenDocument& document_;
    compound::Stream stream_;
    uint64_t position_ = 0;
    ULONG references_ = 1;
};

class Storage final : public IStorage {
 public:
    explicit Storage(OpenDocument& document) : document_(document) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            document_.release();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE CreateStream(const WCHAR*, DWORD, DWORD, DWORD, IStream** stream) override {
        if (stream) *stream = nullptr;
        return STG_E_ACCESSDENIED;  // opened for reading
    }

    HRESULT STDMETHODCALLTYPE OpenStream(const WCHAR* name, void*, DWORD mode, DWORD, IStream** stream) override {
        if (!stream) return STG_E_INVALIDPOINTER;
        *stream = nullptr;
        if (!name) return STG_E_INVALIDNAME;
        if (mode & (STGM_WRITE | STGM_READWRITE)) return STG_E_ACCESSDENIED;
        const std::string narrowed = narrowPath(name);
        compound::Stream located;
        const compound::Status status = compound::openStream(document_.document(), narrowed.c_str(), located);
        if (status != compound::Status::Ok) return resultOf(status);
        auto* opened = new (std::nothrow) Stream(document_, located);
        if (!opened) {
            compound::closeStream(located);
            return STG_E_INSUFFICIENTMEMORY;
        }
        *stream = opened;
        return S_OK;
    }

 private:
    ~Storage() = default;

    OpenDocument& document_;
    ULONG references_ = 1;
};

}  // namespace

extern "C" {

HRESULT WINAPI StgOpenStorage(const WCHAR* name, IStorage* priority, DWORD mode, SNB, DWORD, IStorage** storage) {
    if (!storage) return STG_E_INVALIDPOINTER;
    *storage = nullptr;
    if (!name) return STG_E_INVALIDNAME;
    if (priority) return STG_E_INVALIDFUNCTION;
    if (mode & (STGM_WRITE | STGM_READWRITE)) return STG_E_ACCESSDENIED;  // only reading is supported
    OpenDocument* document = nullptr;
    const HRESULT result = OpenDocument::open(narrowPath(name), document);
    if (FAILED(result)) return result;
    auto* opened = new (std::nothrow) Storage(*document);
    if (!opened) {
        document->release();
        return STG_E_INSUFFICIENTMEMORY;
    }
    *storage = opened;
    return S_OK;
}

}  // extern "C"
