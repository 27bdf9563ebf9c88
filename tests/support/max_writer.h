// A test-only writer of MAX files: chunks, the class directory, the scene's
// objects with their references, and the compound document around them.
// Tests build exactly the objects each case needs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "support/compound_writer.h"

namespace testing_support {

// How the headers of a stream's chunks are written: 6 bytes with a 32-bit
// length (the long form only where a chunk asks for it), 14 bytes with a
// 64-bit length everywhere, or the two in turn, so that they meet at every
// depth.
enum class HeaderForm { Short, Long, Alternate };

// One chunk: data, or a container of chunks. The stored length is the true
// one unless a test overrides it.
class Chunk {
 public:
    static Chunk data(uint16_t id, Bytes bytes = {});
    static Chunk container(uint16_t id, std::vector<Chunk> children);
    static Chunk int32s(uint16_t id, std::initializer_list<int32_t> values);
    static Chunk floats(uint16_t id, std::initializer_list<float> values);
    // 16-bit units, one per byte of text, without a terminator.
    static Chunk utf16(uint16_t id, const std::string& text);
    // A sparse reference list (0x2035): the slot count, then (slot,
    // reference) pairs.
    static Chunk sparseRefs(int32_t slots, std::vector<std::pair<int32_t, int32_t>> filled);

    // The raw 32-bit length field, container bit included.
    Chunk& storedLength(uint32_t raw);
    // The 14-byte header whatever the form of the stream.
    Chunk& longHeader();
    // The raw 64-bit length field of a long header, container bit included.
    Chunk& storedLongLength(uint64_t raw);
    Bytes bytes(HeaderForm form = HeaderForm::Short) const;

 private:
    void write(Bytes& out, HeaderForm form, uint32_t& turn) const;

    uint16_t id_ = 0;
    bool container_ = false;
    Bytes data_;
    std::vector<Chunk> children_;
    bool overridden_ = false;
    uint32_t rawLength_ = 0;
    bool long_ = false;
    bool longOverridden_ = false;
    uint64_t rawLongLength_ = 0;
};

Bytes concat(const std::vector<Chunk>& chunks, HeaderForm form = HeaderForm::Short);
void appendInt32(Bytes& bytes, int32_t value);
void appendFloat(Bytes& bytes, float value);

// Class identifiers (A, B) the importer knows, with a superclass where the
// test needs one (0 writes none).
struct ClassId {
    uint32_t a, b;
    uint32_t superclass = 0;
};
constexpr ClassId NodeClass{1, 0};
constexpr ClassId SceneClass{0x2221, 0};
constexpr ClassId EditableMeshClass{0xE44F10B3u, 0};
constexpr ClassId TransformClass{0x2005, 0};
constexpr ClassId PositionClass{0x2008, 0};
constexpr ClassId RotationClass{0x2009, 0};
constexpr ClassId TcbRotationClass{0x442313, 0};
constexpr ClassId ScaleClass{0x2010, 0};
constexpr ClassId ParamBlockClass{8, 0};
constexpr ClassId BoxClass{0x10, 0};
constexpr ClassId TorusClass{0x20, 0};
constexpr ClassId StandardMaterialClass{2, 0};
constexpr ClassId EditablePolyClass{0x1BF8338Du, 0x192F6098u};
constexpr ClassId BezierFloatClass{0x2007, 0};
constexpr ClassId TcbPositionClass{0x442312, 0};
constexpr ClassId PositionXyzClass{0x118F7E02u, 0xFFEE238Au};
constexpr ClassId EulerXyzClass{0x2012, 0};
constexpr ClassId ScaleXyzClass{0x118F7C01u, 0xFEEE238Bu};
constexpr ClassId PositionListClass{0x4B4B1002u, 0};
constexpr ClassId RotationListClass{0x4B4B1003u, 0};
constexpr ClassId LookAtClass{0x2006, 0};
constexpr ClassId ParamBlock2Class{0x82, 0};
constexpr ClassId PlaneClass{0x081F1DFCu, 0x77566F65u};

// Records of the newer parameter block: a number, a type (0 float, 1 int,
// 4 switch, 5 angle, 7 world units ...), 10 bytes of flags and the value;
// without the value when a controller holds it. Older files write them
// under 0x000E.
Chunk block2Float(uint16_t number, uint16_t type, float value, uint16_t id = 0x100E);
Chunk block2Int(uint16_t number, uint16_t type, int32_t value, uint16_t id = 0x100E);
Chunk block2Animated(uint16_t number, uint16_t type);

// A key of a key table: its time in ticks and its value.
struct Key {
    int32_t time;
    std::vector<float> value;
};
// A key table: records of recordSize bytes, each the time, flags 0 and the
// value, the rest zero.
Chunk keyTable(uint16_t id, uint32_t recordSize, const std::vector<Key>& keys);

// An editable poly's vertex: a dead one is written without coordinates.
struct PolyVertex {
    PolyVertex(float x_, float y_, float z_, bool dead_ = false) : x(x_), y(y_), z(z_), dead(dead_) {}
    float x, y, z;
    bool dead;
};
// A polygon with the optional fields its mask names: 0x01 flags, 0x08
// material id, 0x10 smoothing groups, 0x20 diagonals ((degree - 3) pairs).
struct Polygon {
    Polygon(std::vector<uint32_t> corners_ = {}) : corners(std::move(corners_)) {}  // NOLINT: lists convert
    std::vector<uint32_t> corners;
    uint16_t mask = 0;
    uint32_t flags = 0;
    uint16_t material = 0;
    uint32_t smoothing = 0;
    std::vector<uint32_t> diagonals;
};
// A map channel of a poly: UVW triples, and one record of map vertex
// indices per polygon.
struct PolyMap {
    int32_t channel;
    std::vector<float> uvw;
    std::vector<std::vector<uint32_t>> polygons;
};
// The chunks of a dead polygon: degree 0, flags 2.
Polygon deadPolygon();

struct Face {
    uint32_t a, b, c, flags;
};

// A parameter of an old-style parameter block.
struct Param {
    enum class Type { Float, Int, Point3 } type;
    int32_t index;  // -1: no index chunk
    float f;
    int32_t i;
    float p[3];
};
Param floatParam(int32_t index, float value);
Param intParam(int32_t index, int32_t value);

// How the chunk streams are stored: as they are; each as one gzip member
// under its own name; or each as FF FF and a zstd frame under
// "<name>_Compressed", its content written in streaming mode.
enum class StreamCoding { Plain, Gzip, Zstd };

struct MaxFileForm {
    StreamCoding coding = StreamCoding::Plain;
    HeaderForm sceneHeaders = HeaderForm::Short;
    HeaderForm directoryHeaders = HeaderForm::Short;
    uint16_t sceneTopId = 0x2004;
};

// The content of a stream as the zstd form writes it, before compression:
// the Scene's top container with an unknown length, or another stream's
// chunks in a wrapper (tag, u32 of all ones).
Bytes streamedScene(uint16_t topId, const Bytes& objects);
Bytes wrappedStream(uint16_t tag, const Bytes& chunks);
// FF FF and a zstd frame of content, as the writer makes them.
Bytes zstdStream(const Bytes& content);

class MaxWriter {
 public:
    // The class index of a new class; a name of "" writes no name chunk.
    int addClass(const std::string& name, ClassId id);
    // The class index of the class, added when it is not there yet.
    int classFor(const std::string& name, ClassId id);
    // The reference index of a new scene object.
    int addObject(uint16_t classIndex, std::vector<Chunk> children);

    // Objects that the importer reads.
    int node(const std::string& name, int32_t parentRef, std::vector<int32_t> refs, uint32_t colour = 0xFFFFFF);
    // A node whose reference list is the chunk given (a sparse one, say).
    int nodeWithList(const std::string& name, int32_t parentRef, Chunk refList, uint32_t colour = 0xFFFFFF);
    // A node with its reference list and the chunks given after it (an
    // object offset, say).
    int nodeWithChunks(const std::string& name, int32_t parentRef, std::vector<int32_t> refs,
                       std::vector<Chunk> chunks);
    int scene(std::vector<int32_t> items);
    int position(float x, float y, float z);
    int rotation(float x, float y, float z, float w, ClassId id = RotationClass);
    int scale(float x, float y, float z);
    int transform(std::vector<int32_t> subControllers);
    int mesh(const std::vector<float>& xyz, const std::vector<Face>& faces);
    int paramBlock(const std::vector<Param>& params, int32_t declared = -1);
    int primitive(ClassId id, std::vector<int32_t> refs);
    int derived(std::vector<int32_t> refs);
    // An object of the class with a dense reference list (none when refs is
    // empty) followed by the chunks given.
    int controller(const std::string& className, ClassId id, std::vector<int32_t> refs, std::vector<Chunk> chunks = {});
    // A Bezier Float with its static value and keys, in the object itself or
    // in the container of newer files.
    int bezierFloat(float value, const std::vector<Key>& keys = {}, bool contained = false);
    // An editable mesh with the chunks given after its vertices and faces in
    // its mesh container (map channels, say).
    int meshWith(const std::vector<float>& xyz, const std::vector<Face>& faces, std::vector<Chunk> chunks);
    int paramBlock2(std::vector<Chunk> records);
    int poly(const std::vector<PolyVertex>& vertices, const std::vector<Polygon>& polygons,
             const std::vector<PolyMap>& maps = {});

    // The streams, and the whole file.
    Bytes sceneStream(uint16_t topId = 0x2004, HeaderForm form = HeaderForm::Short) const;
    Bytes classDirectoryStream(HeaderForm form = HeaderForm::Short) const;
    Bytes build(const CompoundOptions& options = {}, std::vector<CompoundStream> extraStreams = {},
                const std::string& directoryName = "ClassDirectory3") const;
    // The whole file with its chunk streams in a form of their own.
    Bytes build(const MaxFileForm& form) const;
    // The streams ClassDirectory3 and Scene of that form, with their names.
    std::vector<CompoundStream> chunkStreams(const MaxFileForm& form) const;

    int objectCount() const { return static_cast<int>(objects_.size()); }

 private:
    int nodeObject(const std::string& name, int32_t parentRef, uint32_t colour, std::vector<Chunk> lists);

    struct Class {
        std::string name;
        ClassId id;
    };
    std::vector<Class> classes_;
    std::vector<Chunk> objects_;
};

}  // namespace testing_support
