#include "max/editable_poly.h"

#include "max/chunk_ids.h"
#include "max/map_channels.h"
#include "max/object_value.h"
#include "max/references.h"
#include "platform/byte_cursor.h"
#include "platform/heap.h"

namespace {

constexpr uint32_t DeadFlag = 0x2;
// The optional fields of a polygon, in the order they follow its corners.
constexpr uint16_t HasFlags = 0x01;
constexpr uint16_t HasMaterial = 0x08;
constexpr uint16_t HasSmoothing = 0x10;
constexpr uint16_t HasDiagonals = 0x20;
constexpr uint16_t KnownFields = HasFlags | HasMaterial | HasSmoothing | HasDiagonals;

// A chunk's data in memory, where its records are parsed.
class ChunkData {
 public:
    ChunkData() = default;
    ChunkData(const ChunkData&) = delete;
    ChunkData& operator=(const ChunkData&) = delete;
    ~ChunkData() { heapFree(bytes_); }

    bool load(MaxFile& file, const ChunkHeader& chunk) {
        const uint32_t size = chunkDataSize(chunk);
        if (size == 0) return false;
        bytes_ = static_cast<unsigned char*>(heapAlloc(size));
        if (!bytes_) return false;
        seekTo(file, static_cast<int32_t>(chunk.position + chunk.headerSize));
        if (static_cast<uint32_t>(readBytes(file, bytes_, static_cast<int32_t>(size))) != size) return false;
        size_ = size;
        return true;
    }
    bool loaded() const { return size_ != 0; }
    ByteCursor cursor() const { return ByteCursor(bytes_, size_); }

 private:
    unsigned char* bytes_ = nullptr;
    uint32_t size_ = 0;
};

// One polygon record of chunk 0x011A.
struct Polygon {
    uint32_t degree;
    const unsigned char* corners;
    uint32_t flags;
    uint16_t material;
    uint32_t smoothing;
    const unsigned char* diagonals;  // (degree - 3) pairs, or null
};

bool nextPolygon(ByteCursor& cursor, Polygon& p) {
    uint16_t mask = 0;
    if (!cursor.u32(p.degree) || !(p.corners = cursor.take(p.degree, 4)) || !cursor.u16(mask)) return false;
    if (mask & ~KnownFields) return false;  // a field whose size is not known: the rest cannot be found
    p.flags = 0;
    p.material = 0;
    p.smoothing = 0;
    p.diagonals = nullptr;
    if ((mask & HasFlags) && !cursor.u32(p.flags)) return false;
    if ((mask & HasMaterial) && !cursor.u16(p.material)) return false;
    if ((mask & HasSmoothing) && !cursor.u32(p.smoothing)) return false;
    if (mask & HasDiagonals) {
        const uint32_t pairs = p.degree > 3 ? p.degree - 3 : 0;
        if (!(p.diagonals = cursor.take(pairs, 8))) return false;
    }
    return true;
}

bool livePolygon(const Polygon& p) {
    return (p.flags & DeadFlag) == 0 && p.degree >= 3;
}

// The vertex chunk: live vertices in order, and for each stored index its
// compacted index or NoIndex.
bool readVertices(const ChunkData& data, geometry::PolyMesh& mesh, geometry::Vector<uint32_t>& remap) {
    ByteCursor cursor = data.cursor();
    uint32_t count = 0;
    if (!cursor.u32(count) || count > cursor.remaining() / 4) return false;
    // First the live ones are counted, so the vertices are allocated once.
    uint32_t live = 0;
    const uint32_t start = cursor.offset();
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t flags = 0;
        if (!cursor.u32(flags)) return false;
        if (flags & DeadFlag) continue;
        if (!cursor.skip(12)) return false;
        ++live;
    }
    remap.resize(count);
    mesh.positions.resize(live);
    cursor.seek(start);
    uint32_t next = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t flags = 0;
        cursor.u32(flags);
        if (flags & DeadFlag) {
            remap[i] = geometry::NoIndex;
            continue;
        }
        geometry::Vec3& v = mesh.positions[next];
        cursor.f32(v.x);
        cursor.f32(v.y);
        cursor.f32(v.z);
        remap[i] = next++;
    }
    return true;
}

struct PolyChunks {
    ChunkHeader vertices{}, polygons{}, mapVertices{}, mapPolygons{};
    bool hasVertices = false, hasPolygons = false, hasMapVertices = false, hasMapPolygons = false;
};

void notePolyChunks(MaxFile& file, const ChunkHeader& poly, PolyChunks& chunks) {
    int32_t channel = -1;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(poly), c); skipChunk(file, c)) {
        if (c.id == ChunkPolyVertices) {
            chunks.vertices = c;
            chunks.hasVertices = true;
        } else if (c.id == ChunkPolyPolygons) {
            chunks.polygons = c;
            chunks.hasPolygons = true;
        } else if (c.id == ChunkPolyMapChannel && chunkDataSize(c) >= 4) {
            channel = readInt32(file);
        } else if (c.id == ChunkPolyMapVertices && channel == geometry::TextureChannel && !chunks.hasMapVertices) {
            chunks.mapVertices = c;
            chunks.hasMapVertices = true;
        } else if (c.id == ChunkPolyMapPolygons && channel == geometry::TextureChannel && !chunks.hasMapPolygons) {
            chunks.mapPolygons = c;
            chunks.hasMapPolygons = true;
        }
    }
}

// The map record of the next polygon: its corners when it has the
// polygon's degree, else null (its corners then name no map vertex). After
// a record that does not fit, none is read.
const unsigned char* nextMapRecord(ByteCursor& map, uint32_t degree) {
    if (map.failed()) return nullptr;
    uint32_t mapDegree = 0;
    const unsigned char* corners = nullptr;
    if (!map.u32(mapDegree) || !(corners = map.take(mapDegree, 4))) return nullptr;
    return mapDegree == degree ? corners : nullptr;
}

// The live polygons, their corners named through remap, with their
// diagonals, material ids, smoothing groups and, when the map is there,
// their map corners. Polygons end at the first that does not fit.
void readPolygons(const ChunkData& polygons, const ChunkData* mapPolygons, const geometry::Vector<uint32_t>& remap,
                  geometry::PolyMesh& mesh) {
    ByteCursor cursor = polygons.cursor();
    uint32_t count = 0;
    if (!cursor.u32(count)) return;
    geometry::MapChannel* map = mapPolygons ? &mesh.maps.front() : nullptr;
    // One map record per polygon, dead ones included, with no count before them.
    ByteCursor mapCursor = mapPolygons ? mapPolygons->cursor() : ByteCursor(nullptr, 0);
    const auto stored = static_cast<uint32_t>(remap.size());
    auto vertexOf = [&](const unsigned char* corners, uint32_t corner) {
        const uint32_t index = le32(corners + 4 * corner);
        return index < stored ? remap[index] : geometry::NoIndex;
    };
    mesh.diagonalStart.push_back(0);
    for (uint32_t i = 0; i < count; ++i) {
        Polygon p{};
        if (!nextPolygon(cursor, p)) break;
        const unsigned char* mapCorners = map ? nextMapRecord(mapCursor, p.degree) : nullptr;
        if (!livePolygon(p)) continue;
        const uint32_t first = mesh.addPolygon(p.degree, p.material, p.smoothing);
        for (uint32_t k = 0; k < p.degree; ++k) {
            mesh.corners[first + k] = vertexOf(p.corners, k);
            if (map && mapCorners) map->corners[first + k] = le32(mapCorners + 4 * k);
        }
        const uint32_t pairs = p.diagonals ? p.degree - 3 : 0;
        for (uint32_t d = 0; d < 2 * pairs; ++d) mesh.diagonals.push_back(le32(p.diagonals + 4 * d));
        mesh.diagonalStart.back() += pairs;
    }
    if (mesh.polygonCount() == 0) mesh.diagonalStart.clear();
}

}  // namespace

bool readEditablePoly(MaxFile& file, int32_t reference, const ClassInfo&, ObjectValue& value) {
    const RefEntry* entry = refAt(file, reference);
    ChunkHeader object{};
    if (!entry || !readChunkAt(file, entry->position, object)) return false;
    bool found = false;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id != ChunkObjectGeometry) continue;
        geometry::PolyMesh& mesh = value.makeMesh();
        mesh.clear();
        found = true;
        PolyChunks chunks;
        notePolyChunks(file, c, chunks);
        ChunkData vertices, polygons, mapPolygons;
        geometry::Vector<uint32_t> remap;
        if (!chunks.hasVertices || !vertices.load(file, chunks.vertices) || !readVertices(vertices, mesh, remap)) {
            mesh.positions.clear();
            continue;
        }
        if (!chunks.hasPolygons || !polygons.load(file, chunks.polygons)) continue;
        if (chunks.hasMapVertices && chunks.hasMapPolygons) {
            geometry::MapChannel channel;
            seekTo(file, static_cast<int32_t>(chunks.mapVertices.position + chunks.mapVertices.headerSize));
            if (readMapVertices(file, chunks.mapVertices, channel.vertices) &&
                mapPolygons.load(file, chunks.mapPolygons)) {
                mesh.maps.push_back(std::move(channel));
            }
        }
        readPolygons(polygons, mapPolygons.loaded() && !mesh.maps.empty() ? &mapPolygons : nullptr, remap, mesh);
    }
    return found;
}
