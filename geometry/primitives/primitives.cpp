// Which builder makes which type, and the parameter block they read.
#include "geometry/primitives/builders.h"

namespace geometry {

using namespace primitives;

void PrimitiveParameters::setInteger(int32_t index, int32_t value) {
    values_.push_back({index, false, value, 0});
}

void PrimitiveParameters::setFloat(int32_t index, float value) {
    values_.push_back({index, true, 0, value});
}

const ParameterValue* PrimitiveParameters::find(int32_t index) const {
    // The last value set at an index holds, as in a block set twice.
    for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
        if (it->index == index) return &*it;
    }
    return nullptr;
}

PrimitiveBuild buildPrimitive(PrimitiveType type, const PrimitiveParameters& parameters, PolyMesh& mesh,
                              TextureV direction) {
    const Parameters p(parameters);
    switch (type) {
        case PrimitiveType::Box:
            buildBox(p, mesh, direction);
            break;
        case PrimitiveType::Sphere:
            buildSphere(p, mesh, direction);
            break;
        case PrimitiveType::Cylinder:
            buildCylinder(p, mesh, direction);
            break;
        case PrimitiveType::Torus:
            buildTorus(p, mesh, direction);
            break;
        case PrimitiveType::Cone:
            buildCone(p, mesh, direction);
            break;
        case PrimitiveType::GeoSphere:
            buildGeoSphere(p, mesh, direction);
            break;
        case PrimitiveType::Tube:
            buildTube(p, mesh, direction);
            break;
        case PrimitiveType::Pyramid:
            buildPyramid(p, mesh, direction);
            break;
        case PrimitiveType::Hedra:
            return buildHedra(p, mesh, direction);
        case PrimitiveType::ChamferBox:
            buildChamferBox(p, mesh, direction);
            break;
        case PrimitiveType::ChamferCylinder:
            buildChamferCylinder(p, mesh, direction);
            break;
        case PrimitiveType::Placeholder:
            return buildPlaceholderBox(p, mesh);
    }
    return {};
}

}  // namespace geometry
