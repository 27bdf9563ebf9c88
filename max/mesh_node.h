// The objects that the MAX importer builds from the scene's nodes and hands
// to the host: name, node colour, matrix, place in the hierarchy and, for an
// editable mesh, vertices and faces. They live in the plug-in's heap
// (createMeshNode, destroyNode) for the length of one import.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"

// A face as the file stores it: three vertex indices, a word not used, and
// flags whose low 3 bits are the edge visibility.
struct MaxFace {
    uint32_t a, b, c;
    uint32_t unused;
    uint32_t flags;
};
static_assert(sizeof(MaxFace) == 20, "a face record is 20 bytes");

constexpr uint32_t DefaultNodeColour = 0xFFFFFF;

class MaxNode {
 public:
    MaxNode(const MaxNode&) = delete;
    MaxNode& operator=(const MaxNode&) = delete;
    virtual ~MaxNode();
    // Hands the node to the host with its default material.
    virtual int32_t emit(HostScene* scene);

    MaxNode* nextSibling = nullptr;
    MaxNode* firstChild = nullptr;
    MaxNode* parent = nullptr;
    char* name = nullptr;  // owned, from the heap
    int32_t parentRef = -1;
    HostMatrix matrix{};
    HostNode* hostNode = nullptr;
    uint32_t colour = DefaultNodeColour;  // red in the lowest byte, then green, then blue

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
    void freeGeometry();

    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    Point3* vertexData = nullptr;
    MaxFace* faceData = nullptr;

 private:
    void emitGeometry(HostMeshNode* mesh);
};

// Null when memory runs out.
MaxMeshNode* createMeshNode();
// Runs the object's destructor and frees its memory; null is ignored.
void destroyNode(MaxNode* node);
