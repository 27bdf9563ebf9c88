// The objects that the MAX importer builds from the scene's nodes and hands
// to the host: name, node colour, matrix, place in the hierarchy and, for a
// node whose object evaluated to a mesh, its polygons, which are
// triangulated as they go to the host. They live in the plug-in's heap
// (heapNew, heapDelete) for the length of one import.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"
#include "geometry/poly_mesh.h"
#include "max/look_at_setup.h"

struct MaxMaterial;

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
    // Creates the host node with the geometry, unless a primitive made it
    // already, then names it, gives it its material and sets its matrix.
    int32_t emit(HostScene* scene) override;

    geometry::PolyMesh mesh;

 private:
    void emitGeometry(HostMeshNode* host);
    void assignFaceMaterial(HostFace& face, uint32_t materialId) const;
};
