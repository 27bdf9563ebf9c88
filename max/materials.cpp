#include "max/materials.h"

#include "frame/contract/host_values.h"
#include "max/asset_table.h"
#include "max/chunk_ids.h"
#include "max/chunk_reader.h"
#include "max/class_registry.h"
#include "max/names.h"
#include "max/param_block.h"
#include "max/param_block2.h"
#include "max/references.h"
#include "platform/heap.h"

// What the import has made of its materials: one slot per reference index,
// and the asset table, read when a bitmap first names an asset.
struct MaterialTable {
    struct Slot {
        MaxMaterial* material;
        uint8_t state;
    };
    Slot* slots;
    uint32_t slotCount;
    AssetIndex assets;
    bool assetsRead;
};

namespace {

enum SlotState : uint8_t { NotMade = 0, Making, Made };

// Types of parameter block records.
constexpr uint16_t ParamTypeColour = 2;
constexpr uint16_t ParamTypeBool = 4;

// Reference slots of a Standard material.
constexpr uint32_t OldParamBlockSlot = 0;
constexpr uint32_t TexmapsSlot = 1;
constexpr uint32_t ShaderSlot = 2;
constexpr uint32_t ShaderBasicsSlot = 3;
// The shader's colours are in its first slot, a texture map's bitmap in
// slot 2i + 1 of channel i (diffuse: channel 1), a bitmap's parameters in
// its second slot.
constexpr uint32_t ShaderParamsSlot = 0;
constexpr uint32_t DiffuseMapSlot = 3;
constexpr uint32_t BitmapParamsSlot = 1;

constexpr uint16_t ParamAmbient = 0;
constexpr uint16_t ParamDiffuse = 1;
constexpr uint16_t ParamSpecular = 2;
constexpr uint16_t ParamTwoSided = 2;
constexpr uint32_t ColourParams = 3;
constexpr int32_t ColourProperties[ColourParams] = {MaterialAmbient, MaterialDiffuse, MaterialSpecular};

const char* const AssetStreamNames[] = {"FileAssetMetaData3", "FileAssetMetaData2"};
constexpr uint32_t StreamNameUnits = 32;

// What a material object holds itself: its reference list (the last one)
// and its name.
struct ObjectChunks {
    ObjectChunks() = default;
    ObjectChunks(const ObjectChunks&) = delete;
    ObjectChunks& operator=(const ObjectChunks&) = delete;
    ~ObjectChunks() { heapFree(name); }

    RefList refs;
    char* name = nullptr;
};

void readName(MaxFile& file, const ChunkHeader& header, ObjectChunks& chunks) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(header), c); skipChunk(file, c)) {
        if (c.id != ChunkMaterialName) continue;
        heapFree(chunks.name);
        chunks.name = readChunkString(file, c);
    }
}

void readObjectChunks(MaxFile& file, int32_t index, ObjectChunks& chunks, bool withName) {
    ChunkHeader object{};
    if (index < 0 || index >= file.refCount || !readChunkAt(file, file.refs[index].position, object)) return;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id == ChunkRefList || c.id == ChunkSparseRefList) {
            chunks.refs.read(file, c);
        } else if (withName && c.id == ChunkMaterialHeader && c.kind == ChunkKindContainer) {
            readName(file, c, chunks);
        }
    }
}

// The reference in slot of the object's list, or -1.
int32_t referenceOf(MaxFile& file, int32_t index, uint32_t slot) {
    return readObjectRefs(file, index).at(slot);
}

struct Colours {
    Point3 value[ColourParams];
    bool found[ColourParams];
};

// The old parameter block of materials before R3.
void readOldColours(MaxFile& file, int32_t block, Colours& colours) {
    readOldParamBlock(file, file.refs[block].position, [&colours](const OldParam& p) {
        if (p.type != ParamType::Point3 || p.index < 0 || static_cast<uint32_t>(p.index) >= ColourParams) return;
        colours.value[p.index] = p.point;
        colours.found[p.index] = true;
    });
}

void readShaderColours(MaxFile& file, int32_t shader, Colours& colours) {
    const int32_t block = referenceOf(file, shader, ShaderParamsSlot);
    const uint16_t params[ColourParams] = {ParamAmbient, ParamDiffuse, ParamSpecular};
    for (uint32_t i = 0; i < ColourParams; ++i) {
        colours.found[i] = readBlock2Words(file, block, params[i], ParamTypeColour, &colours.value[i], 3);
    }
}

// The stream's bytes from the heap, or null when it is empty, larger than
// the limit or memory runs out; size is what could be read.
unsigned char* readWholeStream(IStream* stream, uint32_t limit, uint32_t& size) {
    size = 0;
    LARGE_INTEGER move;
    move.QuadPart = 0;
    ULARGE_INTEGER end;
    end.QuadPart = 0;
    stream->Seek(move, STREAM_SEEK_END, &end);
    stream->Seek(move, STREAM_SEEK_SET, nullptr);
    if (end.QuadPart == 0 || end.QuadPart > limit) return nullptr;
    const auto wanted = static_cast<uint32_t>(end.QuadPart);
    auto* bytes = static_cast<unsigned char*>(heapAlloc(wanted));
    while (bytes && size < wanted) {
        ULONG got = 0;
        stream->Read(bytes + size, wanted - size, &got);
        if (got == 0 || got > wanted - size) break;
        size += got;
    }
    return bytes;
}

// The first of the table's stream names that opens is the table.
void loadAssetTable(MaxFile& file, MaterialTable& table) {
    table.assetsRead = true;
    if (!file.storage) return;
    for (const char* name : AssetStreamNames) {
        WCHAR wide[StreamNameUnits];
        widenName(wide, name, StreamNameUnits);
        IStream* stream = nullptr;
        if (FAILED(file.storage->OpenStream(wide, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)) || !stream) {
            continue;
        }
        uint32_t size = 0;
        unsigned char* bytes = readWholeStream(stream, MaxAssetTableSize, size);
        stream->Release();
        indexAssets(table.assets, bytes, size);
        return;
    }
}

char* readAssetPath(MaxFile& file, const ChunkHeader& reference) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(reference), c); skipChunk(file, c)) {
        unsigned char id[AssetIdSize];
        if (c.id != ChunkAssetId || chunkDataSize(c) < AssetIdSize ||
            readBytes(file, id, static_cast<int32_t>(AssetIdSize)) != static_cast<int32_t>(AssetIdSize)) {
            continue;
        }
        MaterialTable& table = *file.materials;
        if (!table.assetsRead) loadAssetTable(file, table);
        return findAssetPath(table.assets, id);
    }
    return nullptr;
}

char* readFileName(MaxFile& file, const ChunkHeader& container) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(container), c); skipChunk(file, c)) {
        if (c.id == ChunkFileName) return readChunkString(file, c);
        if (c.id == ChunkAssetReference && c.kind == ChunkKindContainer) {
            if (char* path = readAssetPath(file, c)) return path;
        }
    }
    return nullptr;
}

// The file of a bitmap texture map: a heap string, or null.
char* readBitmapPath(MaxFile& file, int32_t bitmap) {
    ChunkHeader object{};
    if (!referencesClass(file, bitmap, MaxClass::Bitmap) || !readChunkAt(file, file.refs[bitmap].position, object))
        return nullptr;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id == ChunkOwnBitmap && c.kind == ChunkKindContainer) {
            if (char* path = readFileName(file, c)) return path;
        }
    }
    const int32_t block = referenceOf(file, bitmap, BitmapParamsSlot);
    if (!referencesClass(file, block, MaxClass::ParamBlock2) || !readChunkAt(file, file.refs[block].position, object)) {
        return nullptr;
    }
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id == ChunkBitmapParams && c.kind == ChunkKindContainer) {
            if (char* path = readFileName(file, c)) return path;
        }
    }
    return nullptr;
}

void setColour(MaxMaterial& material, int32_t property, const Point3& colour) {
    material.host->SetProperty(property, &colour);
    if (property != MaterialDiffuse) return;
    material.diffuse = colour;
    material.hasDiffuse = true;
}

void makeStandard(MaxFile& file, const RefList& refs, MaxMaterial& material) {
    Colours colours{};
    const int32_t oldBlock = refs.at(OldParamBlockSlot);
    if (referencesClass(file, oldBlock, MaxClass::ParamBlock)) {
        readOldColours(file, oldBlock, colours);
    } else {
        readShaderColours(file, refs.at(ShaderSlot), colours);
        int32_t twoSided = 0;
        material.twoSided =
            readBlock2Words(file, refs.at(ShaderBasicsSlot), ParamTwoSided, ParamTypeBool, &twoSided, 1) &&
            twoSided != 0;
    }
    for (uint32_t i = 0; i < ColourParams; ++i) {
        if (colours.found[i]) setColour(material, ColourProperties[i], colours.value[i]);
    }
    const int32_t texmaps = refs.at(TexmapsSlot);
    if (!referencesClass(file, texmaps, MaxClass::Texmaps)) return;
    if (char* path = readBitmapPath(file, referenceOf(file, texmaps, DiffuseMapSlot))) {
        material.host->SetProperty(MaterialDiffuseMap, path);
        heapFree(path);
    }
}

const MaxMaterial* makeMaterial(MaxFile& file, int32_t index, uint32_t depth);

// Before release 3 the sub-materials fill the slots from 0; later files put
// a parameter block in slot 0 and the sub-materials after it. The multi
// material shows the colour of its first sub-material, as the exporter
// writes it.
void makeMulti(MaxFile& file, const RefList& refs, uint32_t depth, MaxMaterial& material) {
    const uint32_t count = refs.count();
    const uint32_t first = count > 0 && referencesClass(file, refs.at(0), MaxClass::ParamBlock2) ? 1 : 0;
    uint32_t slots = count - first;
    if (slots > MaxSubMaterialSlots) slots = MaxSubMaterialSlots;
    if (slots == 0) return;
    material.subs = static_cast<const MaxMaterial**>(heapAllocArray(slots, sizeof(MaxMaterial*), true));
    if (!material.subs) return;
    material.subCount = slots;
    for (uint32_t i = 0; i < slots; ++i) material.subs[i] = makeMaterial(file, refs.at(first + i), depth + 1);
    if (material.subs[0] && material.subs[0]->hasDiffuse)
        setColour(material, MaterialDiffuse, material.subs[0]->diffuse);
}

MaxMaterial* newMaterial(MaxFile& file, int32_t index) {
    const ClassInfo* info = referencedClass(file, index);
    if (!info || info->role != ClassRole::Material) return nullptr;
    auto* material = static_cast<MaxMaterial*>(heapAllocZeroed(sizeof(MaxMaterial)));
    if (!material) return nullptr;
    material->host = file.scene->CreateMaterial();
    if (material->host) return material;
    heapFree(material);
    return nullptr;
}

bool prepareTable(MaxFile& file) {
    if (file.materials) return true;
    if (file.refCount <= 0 || !file.scene) return false;
    auto* table = static_cast<MaterialTable*>(heapAllocZeroed(sizeof(MaterialTable)));
    if (!table) return false;
    table->slots = static_cast<MaterialTable::Slot*>(
        heapAllocArray(static_cast<uint32_t>(file.refCount), sizeof(MaterialTable::Slot), true));
    if (!table->slots) {
        heapFree(table);
        return false;
    }
    table->slotCount = static_cast<uint32_t>(file.refCount);
    file.materials = table;
    return true;
}

// A material that refers to itself, however indirectly, or nests too deeply,
// gives null where the loop closes or the limit is reached.
const MaxMaterial* makeMaterial(MaxFile& file, int32_t index, uint32_t depth) {
    if (index < 0 || !prepareTable(file) || static_cast<uint32_t>(index) >= file.materials->slotCount) return nullptr;
    MaterialTable::Slot& slot = file.materials->slots[index];
    if (slot.state != NotMade) return slot.material;
    if (depth > MaxMaterialNesting) return nullptr;
    slot.state = Making;
    MaxMaterial* material = newMaterial(file, index);
    if (material) {
        ObjectChunks chunks;
        readObjectChunks(file, index, chunks, true);
        if (chunks.name) material->host->SetName(chunks.name);
        if (referencesClass(file, index, MaxClass::StandardMaterial)) {
            makeStandard(file, chunks.refs, *material);
        } else {
            makeMulti(file, chunks.refs, depth, *material);
        }
    }
    slot.material = material;
    slot.state = Made;
    return material;
}

}  // namespace

const MaxMaterial* materialAt(MaxFile& file, int32_t index) {
    return makeMaterial(file, index, 0);
}

const MaxMaterial& faceMaterial(const MaxMaterial& material, uint32_t materialId) {
    if (materialId < material.subCount && material.subs[materialId]) return *material.subs[materialId];
    return material;
}

void releaseMaterials(MaxFile& file) {
    MaterialTable* table = file.materials;
    if (!table) return;
    for (uint32_t i = 0; i < table->slotCount; ++i) {
        if (MaxMaterial* material = table->slots[i].material) {
            heapFree(material->subs);
            heapFree(material);
        }
    }
    heapFree(table->slots);
    releaseAssets(table->assets);
    heapFree(table);
    file.materials = nullptr;
}
