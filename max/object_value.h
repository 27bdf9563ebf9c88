// What an object of the scene evaluates to, as it passes from the object's
// reader up a modifier stack to the node: a polygon mesh, or a primitive's
// parameters, which the host builds itself when no modifier changes them.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"
#include "geometry/poly_mesh.h"

enum class ValueKind : uint8_t { None, Mesh, Primitive };

class ObjectValue {
 public:
    ObjectValue() = default;
    ObjectValue(const ObjectValue&) = delete;
    ObjectValue& operator=(const ObjectValue&) = delete;
    ~ObjectValue() { reset(); }

    ValueKind kind() const { return kind_; }
    // Back to nothing; a primitive's parameter block goes back to the host.
    void reset();

    // The mesh, which becomes the value (emptied when it was not one).
    geometry::PolyMesh& makeMesh();
    geometry::PolyMesh& mesh() { return mesh_; }
    const geometry::PolyMesh& mesh() const { return mesh_; }

    // A primitive of the host's kind with its parameters; the block is the
    // value's, and goes back to the host with it.
    void makePrimitive(int32_t primitiveKind, HostParamBlock* parameters);
    int32_t primitiveKind() const { return primitiveKind_; }
    HostParamBlock* parameters() const { return parameters_; }

 private:
    ValueKind kind_ = ValueKind::None;
    geometry::PolyMesh mesh_;
    int32_t primitiveKind_ = 0;
    HostParamBlock* parameters_ = nullptr;
};
