// The meshes of parametric primitives, built from their type and parameter
// block as the modelling program builds them: triangles with their edge
// visibility and smoothing groups, material id 0, and texture coordinates in
// map channel 1 when the block asks for them.
#pragma once

#include <cstdint>

#include "geometry/memory.h"
#include "geometry/poly_mesh.h"

namespace geometry {

enum class PrimitiveType : uint8_t {
    Box,
    Sphere,
    Cylinder,
    Torus,
    Cone,
    GeoSphere,
    Tube,
    Pyramid,
    Hedra,
    ChamferBox,
    ChamferCylinder,
    // A type whose parameters are not known: an axis-aligned box, base
    // centred on the origin, as large as the block's first lengths.
    Placeholder,
};

// One value of a parameter block, held as the block holds it.
struct ParameterValue {
    int32_t index;
    bool isFloat;
    int32_t integer;
    float number;
};

// A parameter block: its values by parameter index. A block may be shorter
// than its primitive's full list (older files store fewer parameters);
// what is missing takes the primitive's default.
class PrimitiveParameters {
 public:
    void setInteger(int32_t index, int32_t value);
    void setFloat(int32_t index, float value);
    // The value at index, or null.
    const ParameterValue* find(int32_t index) const;

 private:
    Vector<ParameterValue> values_;
};

// Which way v runs in the texture channel. Up is MAX's own; a host that
// keeps its texture vertices flipped asks for Down, so that each v is
// rounded to a float once, from the builder's double, not flipped after.
enum class TextureV : uint8_t { Up, Down };

struct PrimitiveBuild {
    // A placeholder box stands in for what could not be built.
    bool placeholder = false;
    // What of the parameters the mesh does not show, or null.
    const char* note = nullptr;
};

// Replaces mesh with the primitive's triangles, in its own space (Z up),
// counter-clockwise seen from outside. Every count is bounded, whatever the
// block holds; a type or family that cannot be built gets the placeholder.
PrimitiveBuild buildPrimitive(PrimitiveType type, const PrimitiveParameters& parameters, PolyMesh& mesh,
                              TextureV direction = TextureV::Up);

}  // namespace geometry
