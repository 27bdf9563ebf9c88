#include "max/class_directory.h"

#include "frame/module_state.h"
#include "max/chunk_ids.h"
#include "max/chunk_reader.h"
#include "max/compound_document.h"
#include "max/names.h"
#include "max/stream_decoding.h"
#include "platform/byte_cursor.h"
#include "platform/heap.h"
#include "platform/text_format.h"

namespace {

constexpr uint32_t MaxNameBytes = 512;
constexpr uint32_t ClassIdBytes = 12;     // words 0 to 2
constexpr uint32_t SuperclassBytes = 16;  // and word 3
const char* const DirectoryStreamNames[] = {"ClassDirectory", "ClassDirectory2", "ClassDirectory3"};

ClassEntry* newEntry(MaxFile& file) {
    auto* entry = static_cast<ClassEntry*>(file.pool->Alloc(sizeof(ClassEntry)));
    if (!entry) return nullptr;
    entry->name = nullptr;
    entry->recordLength = 0;
    entry->record = nullptr;
    entry->next = file.classList;
    file.classList = entry;
    ++file.classCount;
    return entry;
}

void readName(MaxFile& file, const ChunkHeader& chunk, ClassEntry& entry) {
    const uint32_t available = chunkDataSize(chunk);
    WCHAR units[MaxNameBytes / 2 + 1];
    unsigned char bytes[MaxNameBytes];
    const auto got = static_cast<uint32_t>(
        readBytes(file, bytes, static_cast<int32_t>(available < MaxNameBytes ? available : MaxNameBytes)));
    const uint32_t count = got / 2;
    for (uint32_t i = 0; i < count; ++i) units[i] = static_cast<WCHAR>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    units[count] = 0;
    auto* name = static_cast<char*>(file.pool->Alloc(static_cast<int32_t>(count + 1)));
    if (!name) return;
    narrowName(name, units);
    entry.name = name;
}

void readRecord(MaxFile& file, const ChunkHeader& chunk, ClassEntry& entry) {
    const uint32_t length = chunkDataSize(chunk);
    auto* record = static_cast<unsigned char*>(file.pool->Alloc(static_cast<int32_t>(length)));
    if (!record) return;
    const auto got = static_cast<uint32_t>(readBytes(file, record, static_cast<int32_t>(length)));
    entry.record = record;
    entry.recordLength = got;
}

void readClassContainer(MaxFile& file, const ChunkHeader& container) {
    ClassEntry* entry = nullptr;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(container), c); skipChunk(file, c)) {
        if (c.id != ChunkClassName && c.id != ChunkClassRecord) {
            char text[64];
            formatText(text, "Class Directory. Unknown CHUNK ID: %X", c.id);
            hostApp->ShowMessage(MessageWarning, text);
            continue;
        }
        if (!entry) entry = newEntry(file);
        if (!entry) return;
        if (c.id == ChunkClassName) {
            readName(file, c, *entry);
        } else {
            readRecord(file, c, *entry);
        }
    }
}

// Makes the first of the directory's stream names that opens the current
// stream. False when none does, or one cannot be decoded (the import then
// ends), after the failure has been shown.
bool openDirectoryStream(MaxFile& file) {
    HRESULT result = S_OK;
    for (const char* name : DirectoryStreamNames) {
        bool opened = false;
        result = openChunkStream(file, name, StreamRole::Other, opened);
        if (SUCCEEDED(result)) return true;
        if (opened) {
            file.damaged = true;
            break;
        }
    }
    reportStorageError(result);
    return false;
}

void indexClasses(MaxFile& file) {
    if (file.classCount == 0) return;
    file.classes =
        static_cast<ClassEntry**>(heapAllocArray(static_cast<uint32_t>(file.classCount), sizeof(ClassEntry*)));
    if (!file.classes) {
        file.classCount = 0;  // without the index no class can be named
        return;
    }
    int32_t index = file.classCount - 1;
    for (ClassEntry* entry = file.classList; entry && index >= 0; entry = entry->next) file.classes[index--] = entry;
}

}  // namespace

bool readClassDirectory(MaxFile& file) {
    // The Scene stream waits, window and all, while the directory is read.
    IStream* scene = file.stream;
    const StreamWindow sceneWindow = file.window;
    file.stream = nullptr;
    file.window = StreamWindow{};
    const bool read = file.pool && openDirectoryStream(file);
    if (read) {
        const uint32_t size = streamSize(file);
        for (ChunkHeader c{}; nextChunk(file, size, c); skipChunk(file, c)) {
            if (c.kind == ChunkKindContainer) readClassContainer(file, c);
        }
        file.stream->Release();
        file.stream = nullptr;
        indexClasses(file);
    }
    releaseStreamWindow(file);
    file.stream = scene;
    file.window = sceneWindow;
    return read;
}

const ClassEntry* classAt(const MaxFile& file, uint32_t classIndex) {
    if (!file.classes || classIndex >= static_cast<uint32_t>(file.classCount)) return nullptr;
    return file.classes[classIndex];
}

bool classKey(const MaxFile& file, uint32_t classIndex, ClassKey& key) {
    const ClassEntry* entry = classAt(file, classIndex);
    if (!entry || !entry->record || entry->recordLength < ClassIdBytes) return false;
    const unsigned char* r = entry->record;
    key.a = le32(r + 4);
    key.b = le32(r + 8);
    key.superclass = entry->recordLength >= SuperclassBytes ? le32(r + 12) : 0;
    return true;
}

bool classId(const MaxFile& file, uint32_t classIndex, uint32_t& a, uint32_t& b) {
    ClassKey key{};
    if (!classKey(file, classIndex, key)) return false;
    a = key.a;
    b = key.b;
    return true;
}
