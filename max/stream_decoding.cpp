#include "max/stream_decoding.h"

#include <cstring>

#include "max/chunk_reader.h"
#include "max/inflate.h"
#include "max/names.h"
#include "platform/byte_cursor.h"
#include "platform/heap.h"
#include "platform/zstd.h"

namespace {

constexpr unsigned char GzipMagic[] = {0x1F, 0x8B};
// FF FF, then the magic number of a zstd frame.
constexpr unsigned char ZstdStreamMagic[] = {0xFF, 0xFF, 0x28, 0xB5, 0x2F, 0xFD};
constexpr uint32_t ZstdStreamPrefix = 2;
constexpr uint32_t LongestMagic = sizeof ZstdStreamMagic;

constexpr char CompressedSuffix[] = "_Compressed";
struct IrregularName {
    const char* plain;
    const char* compressed;
};
// Compound file names have at most 31 units: this one is shortened.
constexpr IrregularName IrregularNames[] = {{"ScriptedCustAttribDefs", "Scripted_CA_Defs_Compressed"}};
constexpr uint32_t MaxStreamNameUnits = 32;

// A zstd stream's content is written in streaming mode: the Scene's top
// container has an unknown length (u32 1, then a u64 of all ones, where a
// 64-bit length would have u32 0), and every other stream is wrapped in a
// container of unknown length (u32 of all ones) that the plain form lacks.
constexpr uint32_t StreamedSceneMarker = 1;
constexpr uint32_t LongLengthOffset = 6;
constexpr uint32_t SceneHeaderSize = 14;
constexpr uint32_t WrapperSize = 6;
constexpr uint32_t UnknownLength = 0xFFFFFFFFu;
constexpr uint64_t LongContainerBit = uint64_t{1} << 63;

bool startsWith(const unsigned char* bytes, uint32_t size, const unsigned char* magic, uint32_t magicSize) {
    return size >= magicSize && std::memcmp(bytes, magic, magicSize) == 0;
}

bool isGzip(const unsigned char* bytes, uint32_t size) {
    return startsWith(bytes, size, GzipMagic, sizeof GzipMagic);
}

bool isZstd(const unsigned char* bytes, uint32_t size) {
    return startsWith(bytes, size, ZstdStreamMagic, sizeof ZstdStreamMagic);
}

bool isCompressed(const unsigned char* bytes, uint32_t size) {
    return isGzip(bytes, size) || isZstd(bytes, size);
}

// The Scene gets back the header of its plain form, with the true length;
// other streams lose their wrapper. False when the wrapper is not there.
bool unwrapZstdContent(OutputBuffer& out, StreamRole role) {
    unsigned char* d = out.data;
    if (role == StreamRole::Scene) {
        if (out.size < SceneHeaderSize || le32(d + 2) != StreamedSceneMarker) return false;
        for (uint32_t i = LongLengthOffset; i < SceneHeaderSize; ++i) {
            if (d[i] != 0xFF) return false;
        }
        const uint64_t length = out.size | LongContainerBit;
        std::memset(d + 2, 0, 4);
        for (uint32_t i = 0; i < 8; ++i) d[LongLengthOffset + i] = static_cast<unsigned char>(length >> (8 * i));
        return true;
    }
    if (out.size < WrapperSize || le32(d + 2) != UnknownLength) return false;
    out.size -= WrapperSize;
    std::memmove(d, d + WrapperSize, out.size);
    return true;
}

HRESULT openNamed(IStorage* storage, const char* name, IStream*& stream) {
    WCHAR wide[MaxStreamNameUnits];
    widenName(wide, name, MaxStreamNameUnits);
    stream = nullptr;
    const HRESULT result = storage->OpenStream(wide, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
    if (SUCCEEDED(result) && stream) return S_OK;
    stream = nullptr;
    return FAILED(result) ? result : STG_E_FILENOTFOUND;
}

// Reads the current stream whole and replaces it by its decoded bytes when
// it is compressed. A stream under a compressed name must be.
HRESULT decodeCurrentStream(MaxFile& file, StreamRole role, bool compressedName) {
    unsigned char head[LongestMagic] = {};
    const auto headSize = static_cast<uint32_t>(readBytes(file, head, LongestMagic));
    seekTo(file, 0);
    if (!isCompressed(head, headSize)) return compressedName ? STG_E_DOCFILECORRUPT : S_OK;

    const uint32_t size = streamSize(file);
    auto* stored = static_cast<unsigned char*>(heapAlloc(size));
    if (!stored) return STG_E_INSUFFICIENTMEMORY;
    const bool complete = static_cast<uint32_t>(readBytes(file, stored, static_cast<int32_t>(size))) == size;
    OutputBuffer out;
    out.limit = decodedLimit(size);
    const DecodeStatus status = complete ? decodeStreamBytes(stored, size, role, out) : DecodeStatus::Damaged;
    heapFree(stored);
    if (status != DecodeStatus::Ok) {
        releaseOutput(out);
        return status == DecodeStatus::NoMemory ? STG_E_INSUFFICIENTMEMORY : STG_E_DOCFILECORRUPT;
    }
    serveFromMemory(file, out.data, out.size);
    return S_OK;
}

// The name under which the stream name is stored compressed with zstd, into
// out (units long, terminator included); false when it does not fit.
bool compressedStreamName(const char* name, char* out, uint32_t units) {
    for (const IrregularName& irregular : IrregularNames) {
        if (std::strcmp(name, irregular.plain) == 0) {
            if (std::strlen(irregular.compressed) >= units) return false;
            std::strcpy(out, irregular.compressed);
            return true;
        }
    }
    const std::size_t length = std::strlen(name);
    if (length + sizeof CompressedSuffix > units) return false;
    std::memcpy(out, name, length);
    std::memcpy(out + length, CompressedSuffix, sizeof CompressedSuffix);
    return true;
}

}  // namespace

uint32_t decodedLimit(uint32_t storedSize) {
    const uint64_t limit = uint64_t{storedSize} * MaxExpansion;
    return limit < MaxDecodedSize ? static_cast<uint32_t>(limit) : MaxDecodedSize;
}

DecodeStatus decodeStreamBytes(const unsigned char* bytes, uint32_t size, StreamRole role, OutputBuffer& out) {
    if (isGzip(bytes, size)) return inflateGzip(bytes, size, out);
    if (isZstd(bytes, size)) {
        const DecodeStatus status = zstd::decode(bytes + ZstdStreamPrefix, size - ZstdStreamPrefix, out);
        if (status != DecodeStatus::Ok) return status;
        return unwrapZstdContent(out, role) ? DecodeStatus::Ok : DecodeStatus::Damaged;
    }
    return DecodeStatus::Damaged;
}

HRESULT openChunkStream(MaxFile& file, const char* name, StreamRole role, bool& opened) {
    opened = false;
    IStream* stream = nullptr;
    bool compressedName = false;
    const HRESULT result = openNamed(file.storage, name, stream);
    if (FAILED(result)) {
        char compressed[MaxStreamNameUnits];
        if (!compressedStreamName(name, compressed, MaxStreamNameUnits) ||
            FAILED(openNamed(file.storage, compressed, stream))) {
            return result;
        }
        compressedName = true;
    }
    opened = true;
    selectStream(file, stream);
    const HRESULT decoded = decodeCurrentStream(file, role, compressedName);
    if (FAILED(decoded)) {
        stream->Release();
        file.stream = nullptr;
        releaseStreamWindow(file);
    }
    return decoded;
}
