// A test-only writer of MAX files: chunks, the class directory, the scene's
// objects with their references, and the compound document around them.
// Tests build exactly the objects each case needs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/compound_writer.h"

namespace testing_support {

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

    // The raw 32-bit length field, container bit included.
    Chunk& storedLength(uint32_t raw);
    Bytes bytes() const;

 private:
    uint16_t id_ = 0;
    bool container_ = false;
    Bytes data_;
    std::vector<Chunk> children_;
    bool overridden_ = false;
    uint32_t rawLength_ = 0;
};

Bytes concat(const std::vector<Chunk>& chunks);
void appendInt32(Bytes& bytes, int32_t value);
void appendFloat(Bytes& bytes, float value);

// Class identifiers (A, B) the importer knows.
struct ClassId {
    uint32_t a, b;
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
    int scene(std::vector<int32_t> items);
    int position(float x, float y, float z);
    int rotation(float x, float y, float z, float w, ClassId id = RotationClass);
    int scale(float x, float y, float z);
    int transform(std::vector<int32_t> subControllers);
    int mesh(const std::vector<float>& xyz, const std::vector<Face>& faces);
    int paramBlock(const std::vector<Param>& params, int32_t declared = -1);
    int primitive(ClassId id, std::vector<int32_t> refs);
    int derived(std::vector<int32_t> refs);

    // The streams, and the whole file.
    Bytes sceneStream(uint16_t topId = 0x2004) const;
    Bytes classDirectoryStream() const;
    Bytes build(const CompoundOptions& options = {}, std::vector<CompoundStream> extraStreams = {},
                const std::string& directoryName = "ClassDirectory3") const;

    int objectCount() const { return static_cast<int>(objects_.size()); }

 private:
    struct Class {
        std::string name;
        ClassId id;
    };
    std::vector<Class> classes_;
    std::vector<Chunk> objects_;
};

}  // namespace testing_support
