#include "max/compound_document.h"

#include <cstring>

#include "frame/module_state.h"
#include "max/chunk_reader.h"
#include "max/names.h"
#include "max/stream_decoding.h"
#include "platform/compound_file.h"
#include "platform/heap.h"
#include "platform/text_format.h"

namespace {

constexpr DWORD ReadExclusive = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr char SceneStreamName[] = "Scene";
constexpr char HeaderNotFound[] = "OLE DOCUMENT header not found";

struct StorageText {
    uint32_t code;
    const char* text;
};

constexpr StorageText StorageTexts[] = {
    {0x00000000u, "Indicates the storage object was successfully opened."},
    {0x80030001u, "Indicates STGM_DELETEONRELEASE specified in the grfMode parameter."},
    {0x80030002u, "Indicates the specified file does not exist."},
    {0x80030003u, "Specified pathname does not exist."},
    {0x80030004u, "Indicates the storage object was not opened because there are too many open files."},
    {0x80030005u,
     "Access denied because the caller has insufficient permission, or another caller has the file open and locked."},
    {0x80030008u, "Indicates the storage object was not opened due to a lack of memory."},
    {0x80030009u, "Indicates bad pointer in one of the parameters: snbExclude, pwcsName, pstgPriority, or ppStgOpen."},
    {0x80030021u, "Access denied because another caller has the file open and locked."},
    {0x80030050u, "Indicates the file exists but is not a storage object."},
    {0x800300FCu, "Indicates bad name in the pwcsName parameter."},
    {0x800300FFu, "Indicates bad flag combination in the grfMode parameter."},
    {0x80030104u,
     "Indicates the storage object being opened was created by the Beta 1 storage provider. This format is no longer "
     "supported."},
    {0x80030105u,
     "Indicates the DLL being used to open this storage object is a version prior to the one used to "
     "create it."},
};

// The host stream as the compound reader's byte source.
bool readHostStreamAt(void* context, uint32_t offset, void* buffer, uint32_t count) {
    auto* stream = static_cast<HostStream*>(context);
    if (offset > 0x7FFFFFFFu || count > 0x7FFFFFFFu) return false;
    stream->Seek(static_cast<int32_t>(offset), 0);
    auto* out = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const int32_t got = stream->Read(out + done, static_cast<int32_t>(count - done));
        if (got <= 0) return false;
        done += static_cast<uint32_t>(got) < count - done ? static_cast<uint32_t>(got) : count - done;
    }
    return true;
}

// An empty stream has no bytes to hand over, so it yields no block.
HGLOBAL copyStream(const compound::Document& document, const compound::Stream& located) {
    if (located.size == 0) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, located.size);
    if (!block) return nullptr;
    void* bytes = GlobalLock(block);
    if (!bytes || compound::readStream(document, located, 0, bytes, located.size) != located.size) {
        if (bytes) GlobalUnlock(block);
        GlobalFree(block);
        return nullptr;
    }
    GlobalUnlock(block);
    return block;
}

}  // namespace

void reportStorageError(HRESULT result) {
    const auto code = static_cast<uint32_t>(result);
    for (const StorageText& known : StorageTexts) {
        if (known.code == code) {
            hostApp->ShowMessage(MessageNotice, known.text);
            return;
        }
    }
    char text[64];
    formatText(text, "OLE error code: %d", static_cast<int>(code & 0xFFFF));
    hostApp->ShowMessage(MessageNotice, text);
}

void openMaxFile(MaxFile& file, const char* path) {
    std::memset(&file, 0, sizeof file);
    WCHAR widePath[MaxPathLength];
    widenName(widePath, path, MaxPathLength);
    HRESULT result = StgOpenStorage(widePath, nullptr, ReadExclusive, nullptr, 0, &file.storage);
    if (FAILED(result)) {
        file.storage = nullptr;
        reportStorageError(result);
        return;
    }
    bool opened = false;
    result = openChunkStream(file, SceneStreamName, StreamRole::Scene, opened);
    if (FAILED(result)) {
        reportStorageError(result);
        return;
    }
    file.pool = hostApp->CreatePool(PoolBlockSize);
}

HGLOBAL loadCompoundStream(HostStream* stream, const char* name) {
    unsigned char signature[compound::SignatureSize];
    if (!readHostStreamAt(stream, 0, signature, sizeof signature) || !compound::hasSignature(signature)) {
        hostApp->ShowMessage(MessageNotice, HeaderNotFound);
        return nullptr;
    }
    compound::Document document;
    if (compound::openDocument(document, {stream, readHostStreamAt}) != compound::Status::Ok) return nullptr;
    compound::Stream located;
    HGLOBAL block = nullptr;
    if (compound::openStream(document, name, located) == compound::Status::Ok) {
        block = copyStream(document, located);
        compound::closeStream(located);
    }
    compound::closeDocument(document);
    return block;
}
