// The objects that the MAX importer builds from the scene's nodes and hands
// to the host: name, node colour, matrix, place in the hierarchy and, for an
// editable mesh or poly, vertices, faces and texture coordinates. They live in the plug-in's heap
// (createMeshNode, destroyNode) for the length of one import.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"
#include "max/look_at.h"

struct MaxMaterial;

// A face as the file stores it: three vertex indices, the smoothing groups,
// and flags whose low 3 bits are the edge visibility and whose high 16 bits
// are the material id.
struct MaxFace {
    uint32_t a, b, c;
    uint32_t smoothing;
    uint32_t flags;
};
constexpr uint32_t FaceMaterialShift = 16;
static_assert(sizeof(MaxFace) == 20, "a face record is 20 bytes");

constexpr uint32_t DefaultNodeColour = 0xFFFFFF;

class MaxNode {
 public:
    MaxNode(const MaxNode&) = delete;
    MaxNode& operator=(const MaxNode&) = delete;
    virtual ~MaxNode();
    // Hands the node to the host with its material, or the default one.
    virtual int32_t emit(HostScene* scene);

    MaxNode* nextSibling = nullptr;
    MaxNode* firstChild = nullptr;
    MaxNode* parent = nullptr;
    char* name = nullptr;  // owned, from the heap
    int32_t parentRef = -1;
    HostMatrix matrix{};
    HostNode* hostNode = nullptr;
    uint32_t colour = DefaultNodeColour;    // red in the lowest byte, then green, then blue
    LookAtSetup lookAt{};                   // present for a node turned toward a target
    const MaxMaterial* material = nullptr;  // the file's, made by the import; null: the default material

 protected:
    MaxNode() = default;
};

class MaxMeshNode final : public MaxNode {
 public:
    MaxMeshNode();
    ~MaxMeshNode() override;
    // Creates the host node with the geometry, unless a primitive made it
    // already, then names it, gives it its material and sets its matrix.
    int32_t emit(HostScene* scene) override;

    // Both replace what the object held, with room that the caller fills;
    // false when memory runs out.
    bool allocVertices(int32_t count);
    bool allocFaces(int32_t count);
    // Texture vertices, and three texture indices for each of faceCount faces.
    bool allocTexVertices(int32_t count);
    bool allocTexFaces();
    void freeTexCoords();
    void freeGeometry();

    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    Point3* vertexData = nullptr;
    MaxFace* faceData = nullptr;
    int32_t texVertexCount = 0;
    HostTexVertex* texVertexData = nullptr;  // as the host takes them: v is 1 - v of the file
    uint32_t* texFaceData = nullptr;         // faceCount * 3 texture vertex indices

 private:
    void emitGeometry(HostMeshNode* mesh);
    void emitTexCoords(HostMeshNode* mesh);
    void assignFaceMaterial(HostFace& face, uint32_t materialId) const;
};

// Null when memory runs out.
MaxMeshNode* createMeshNode();
// Runs the object's destructor and frees its memory; null is ignored.
void destroyNode(MaxNode* node);
