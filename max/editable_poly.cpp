#include "max/editable_poly.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "frame/contract/host_records.h"
#include "max/map_channels.h"
#include "max/mesh_node.h"
#include "platform/heap.h"

namespace {

constexpr uint16_t ChunkPoly = 0x08FE;
constexpr uint16_t ChunkVertices = 0x0100;
constexpr uint16_t ChunkPolygons = 0x011A;
constexpr uint16_t ChunkMapChannel = 0x0124;
constexpr uint16_t ChunkMapVertices = 0x0128;
constexpr uint16_t ChunkMapPolygons = 0x012B;

constexpr uint32_t DeadFlag = 0x2;
// The optional fields of a polygon, in the order they follow its corners.
constexpr uint16_t HasFlags = 0x01;
constexpr uint16_t HasMaterial = 0x08;
constexpr uint16_t HasSmoothing = 0x10;
constexpr uint16_t HasDiagonals = 0x20;
constexpr uint16_t KnownFields = HasFlags | HasMaterial | HasSmoothing | HasDiagonals;
// A corner index that names no vertex: the host's emit mends it to 0.
constexpr uint32_t NoVertex = 0xFFFFFFFFu;

// A chunk's data in memory, where its records are parsed.
struct ChunkData {
    unsigned char* bytes = nullptr;
    uint32_t size = 0;
    ChunkData() = default;
    ChunkData(const ChunkData&) = delete;
    ChunkData& operator=(const ChunkData&) = delete;
    ~ChunkData() { heapFree(bytes); }
};

bool loadChunk(MaxFile& file, const ChunkHeader& chunk, ChunkData& data) {
    const uint32_t size = chunkDataSize(chunk);
    if (size == 0) return false;
    data.bytes = static_cast<unsigned char*>(heapAlloc(size));
    if (!data.bytes) return false;
    seekTo(file, static_cast<int32_t>(chunk.position + chunk.headerSize));
    if (static_cast<uint32_t>(readBytes(file, data.bytes, static_cast<int32_t>(size))) != size) return false;
    data.size = size;
    return true;
}

// Sequential little-endian reads that fail, and stay failed, past the end.
struct Cursor {
    const unsigned char* bytes;
    uint32_t size;
    uint32_t at;

    uint32_t left() const { return size - at; }
    bool u32(uint32_t& value) {
        if (left() < 4) return false;
        const unsigned char* p = bytes + at;
        value = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
                static_cast<uint32_t>(p[3]) << 24;
        at += 4;
        return true;
    }
    bool u16(uint16_t& value) {
        if (left() < 2) return false;
        value = static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return true;
    }
    bool f32(float& value) {
        uint32_t bits = 0;
        if (!u32(bits)) return false;
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }
    // count 32-bit words in place: where they start, or null when they do not fit.
    const unsigned char* words(uint32_t count) {
        if (count > left() / 4) return nullptr;
        const unsigned char* start = bytes + at;
        at += 4 * count;
        return start;
    }
};

uint32_t wordAt(const unsigned char* words, uint32_t index) {
    const unsigned char* p = words + 4 * index;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// One polygon record of chunk 0x011A.
struct Polygon {
    uint32_t degree;
    const unsigned char* corners;
    uint32_t flags;
    uint16_t material;
    uint32_t smoothing;
    const unsigned char* diagonals;  // (degree - 3) pairs, or null
};

bool nextPolygon(Cursor& cursor, Polygon& p) {
    uint16_t mask = 0;
    if (!cursor.u32(p.degree) || !(p.corners = cursor.words(p.degree)) || !cursor.u16(mask)) return false;
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
        if (!(p.diagonals = cursor.words(2 * pairs))) return false;
    }
    return true;
}

bool livePolygon(const Polygon& p) {
    return (p.flags & DeadFlag) == 0 && p.degree >= 3;
}

// The vertex chunk: live vertices in order, and for each stored index its
// compacted index or NoVertex.
bool readVertices(const ChunkData& data, MaxMeshNode& mesh, uint32_t*& remap, uint32_t& stored) {
    Cursor cursor{data.bytes, data.size, 0};
    uint32_t count = 0;
    if (!cursor.u32(count) || count > cursor.left() / 4) return false;
    // First the live ones are counted, so the vertices are allocated once.
    uint32_t live = 0;
    const uint32_t start = cursor.at;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t flags = 0;
        if (!cursor.u32(flags)) return false;
        if (flags & DeadFlag) continue;
        if (!cursor.words(3)) return false;
        ++live;
    }
    remap = static_cast<uint32_t*>(heapAllocArray(count, sizeof(uint32_t)));
    if (!remap || (live > 0 && !mesh.allocVertices(static_cast<int32_t>(live)))) return false;
    stored = count;
    cursor.at = start;
    uint32_t next = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t flags = 0;
        cursor.u32(flags);
        if (flags & DeadFlag) {
            remap[i] = NoVertex;
            continue;
        }
        Point3& v = mesh.vertexData[next];
        cursor.f32(v.x);
        cursor.f32(v.y);
        cursor.f32(v.z);
        remap[i] = next++;
    }
    return true;
}

struct MapFaces {
    Cursor cursor;
    bool usable;  // off once a record does not fit
};

// The map record of the next polygon: its corners when it has the
// polygon's degree, else null (its corners then name no texture vertex).
const unsigned char* nextMapRecord(MapFaces& map, uint32_t degree) {
    if (!map.usable) return nullptr;
    uint32_t mapDegree = 0;
    const unsigned char* corners = nullptr;
    if (!map.cursor.u32(mapDegree) || !(corners = map.cursor.words(mapDegree))) {
        map.usable = false;
        return nullptr;
    }
    return mapDegree == degree ? corners : nullptr;
}

struct PolyChunks {
    ChunkHeader vertices{}, polygons{}, mapVertices{}, mapPolygons{};
    bool hasVertices = false, hasPolygons = false, hasMapVertices = false, hasMapPolygons = false;
};

void notePolyChunks(MaxFile& file, const ChunkHeader& poly, PolyChunks& chunks) {
    int32_t channel = -1;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(poly), c); skipChunk(file, c)) {
        if (c.id == ChunkVertices) {
            chunks.vertices = c;
            chunks.hasVertices = true;
        } else if (c.id == ChunkPolygons) {
            chunks.polygons = c;
            chunks.hasPolygons = true;
        } else if (c.id == ChunkMapChannel && chunkDataSize(c) >= 4) {
            channel = readInt32(file);
        } else if (c.id == ChunkMapVertices && channel == TextureChannel && !chunks.hasMapVertices) {
            chunks.mapVertices = c;
            chunks.hasMapVertices = true;
        } else if (c.id == ChunkMapPolygons && channel == TextureChannel && !chunks.hasMapPolygons) {
            chunks.mapPolygons = c;
            chunks.hasMapPolygons = true;
        }
    }
}

// The triangles of every live polygon with their edges, material ids,
// smoothing groups and, when the map fits, their texture corners.
class Triangulation {
 public:
    Triangulation(MaxMeshNode& mesh, const uint32_t* remap, uint32_t stored)
        : mesh_(mesh), remap_(remap), stored_(stored) {}
    Triangulation(const Triangulation&) = delete;
    Triangulation& operator=(const Triangulation&) = delete;
    ~Triangulation() {
        heapFree(scratch_);
        heapFree(triangles_);
        heapFree(diagonals_);
    }

    bool run(const ChunkData& polygons, const ChunkData* mapPolygons) {
        uint32_t count = 0, faces = 0, maxDegree = 0;
        Cursor cursor{polygons.bytes, polygons.size, 0};
        if (!cursor.u32(count)) return false;
        const uint32_t start = cursor.at;
        // First the triangles are counted; polygons end at the first that does not fit.
        uint32_t readable = 0;
        for (Polygon p{}; readable < count && nextPolygon(cursor, p); ++readable) {
            if (!livePolygon(p)) continue;
            faces += p.degree - 2;
            maxDegree = std::max(maxDegree, p.degree);
        }
        if (faces == 0 || !mesh_.allocFaces(static_cast<int32_t>(faces)) || !reserve(maxDegree)) return false;
        const bool textured = mapPolygons && mesh_.texVertexCount > 0 && mesh_.allocTexFaces();
        // One map record per polygon, dead ones included, with no count before them.
        MapFaces map{{textured ? mapPolygons->bytes : nullptr, textured ? mapPolygons->size : 0, 0}, textured};

        cursor.at = start;
        uint32_t face = 0;
        for (uint32_t i = 0; i < readable; ++i) {
            Polygon p{};
            nextPolygon(cursor, p);
            const unsigned char* mapCorners = textured ? nextMapRecord(map, p.degree) : nullptr;
            if (livePolygon(p)) face += emitPolygon(p, mapCorners, face);
        }
        if (!textured) mesh_.freeTexCoords();
        return true;
    }

 private:
    bool reserve(uint32_t maxDegree) {
        scratch_ = static_cast<uint64_t*>(heapAllocArray(maxDegree, 2 * sizeof(uint64_t)));
        triangles_ = static_cast<uint32_t(*)[3]>(heapAllocArray(maxDegree, 3 * sizeof(uint32_t)));
        diagonals_ = static_cast<uint32_t*>(heapAllocArray(maxDegree, 2 * sizeof(uint32_t)));
        return scratch_ && triangles_ && diagonals_;
    }

    uint32_t vertexOf(const unsigned char* corners, uint32_t corner) const {
        const uint32_t stored = wordAt(corners, corner);
        return stored < stored_ ? remap_[stored] : NoVertex;
    }

    uint32_t emitPolygon(const Polygon& p, const unsigned char* mapCorners, uint32_t first) {
        const uint32_t pairs = p.diagonals ? p.degree - 3 : 0;
        for (uint32_t i = 0; i < 2 * pairs; ++i) diagonals_[i] = wordAt(p.diagonals, i);
        const uint32_t made = triangulatePolygon(p.degree, diagonals_, pairs, scratch_, triangles_);
        for (uint32_t t = 0; t < made; ++t) {
            const uint32_t* corners = triangles_[t];
            MaxFace& face = mesh_.faceData[first + t];
            face.a = vertexOf(p.corners, corners[0]);
            face.b = vertexOf(p.corners, corners[1]);
            face.c = vertexOf(p.corners, corners[2]);
            face.smoothing = p.smoothing;
            face.flags = edgeFlags(p.degree, corners) | static_cast<uint32_t>(p.material) << FaceMaterialShift;
            if (mesh_.texFaceData) {
                uint32_t* tex = mesh_.texFaceData + 3 * static_cast<std::size_t>(first + t);
                for (int k = 0; k < 3; ++k) tex[k] = mapCorners ? wordAt(mapCorners, corners[k]) : NoVertex;
            }
        }
        return made;
    }

    // Boundary edges are visible, diagonals hidden.
    static uint32_t edgeFlags(uint32_t degree, const uint32_t* c) {
        uint32_t flags = 0;
        if (c[1] == c[0] + 1) flags |= FaceEdgeAB;
        if (c[2] == c[1] + 1) flags |= FaceEdgeBC;
        if (c[0] == 0 && c[2] == degree - 1) flags |= FaceEdgeCA;
        return flags;
    }

    MaxMeshNode& mesh_;
    const uint32_t* remap_;
    uint32_t stored_;
    uint64_t* scratch_ = nullptr;
    uint32_t (*triangles_)[3] = nullptr;
    uint32_t* diagonals_ = nullptr;
};

uint64_t edgeKey(uint32_t from, uint32_t to) {
    return static_cast<uint64_t>(from) << 32 | to;
}

uint32_t fan(uint32_t degree, uint32_t (*triangles)[3]) {
    for (uint32_t i = 1; i + 1 < degree; ++i) {
        triangles[i - 1][0] = 0;
        triangles[i - 1][1] = i;
        triangles[i - 1][2] = i + 1;
    }
    return degree - 2;
}

}  // namespace

// Every triangle (i < j < k) is found once, from its edge (i, k): its apex j
// is the largest neighbour of i below k, and (j, k) must be an edge too.
uint32_t triangulatePolygon(uint32_t degree, const uint32_t* diagonals, uint32_t diagonalCount, uint64_t* scratch,
                            uint32_t (*triangles)[3]) {
    if (degree < 3) return 0;
    uint32_t edges = 0;
    for (uint32_t i = 0; i + 1 < degree; ++i) scratch[edges++] = edgeKey(i, i + 1);
    scratch[edges++] = edgeKey(0, degree - 1);
    for (uint32_t d = 0; d < diagonalCount && edges < 2 * degree; ++d) {
        const uint32_t p = std::min(diagonals[2 * d], diagonals[2 * d + 1]);
        const uint32_t q = std::max(diagonals[2 * d], diagonals[2 * d + 1]);
        if (q < degree && q - p >= 2) scratch[edges++] = edgeKey(p, q);
    }
    std::sort(scratch, scratch + edges);
    edges = static_cast<uint32_t>(std::unique(scratch, scratch + edges) - scratch);
    uint32_t made = 0;
    for (uint32_t e = 1; e < edges; ++e) {
        const auto i = static_cast<uint32_t>(scratch[e] >> 32), k = static_cast<uint32_t>(scratch[e]);
        if (k - i < 2) continue;
        const auto j = static_cast<uint32_t>(scratch[e - 1]);
        const bool apexOfI = static_cast<uint32_t>(scratch[e - 1] >> 32) == i;
        if (!apexOfI || made == degree - 2 || !std::binary_search(scratch, scratch + edges, edgeKey(j, k))) {
            return fan(degree, triangles);
        }
        triangles[made][0] = i;
        triangles[made][1] = j;
        triangles[made][2] = k;
        ++made;
    }
    return made == degree - 2 ? made : fan(degree, triangles);
}

MaxMeshNode* readEditablePoly(MaxFile& file, const ChunkHeader& object, MaxMeshNode* target) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id != ChunkPoly) continue;
        if (!target) target = createMeshNode();
        if (!target) return nullptr;
        PolyChunks chunks;
        notePolyChunks(file, c, chunks);
        target->freeGeometry();
        ChunkData vertices, polygons, mapPolygons;
        uint32_t* remap = nullptr;
        uint32_t stored = 0;
        if (chunks.hasVertices && loadChunk(file, chunks.vertices, vertices) &&
            readVertices(vertices, *target, remap, stored) && chunks.hasPolygons &&
            loadChunk(file, chunks.polygons, polygons)) {
            if (chunks.hasMapVertices && chunks.hasMapPolygons) {
                seekTo(file, static_cast<int32_t>(chunks.mapVertices.position + chunks.mapVertices.headerSize));
                if (!readTexVertices(file, chunks.mapVertices, *target) ||
                    !loadChunk(file, chunks.mapPolygons, mapPolygons)) {
                    target->freeTexCoords();
                }
            }
            Triangulation triangulation(*target, remap, stored);
            if (!triangulation.run(polygons, mapPolygons.bytes ? &mapPolygons : nullptr)) target->allocFaces(0);
        }
        heapFree(remap);
    }
    return target;
}
