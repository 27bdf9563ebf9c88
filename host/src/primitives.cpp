// The host's primitives: the contract's kinds and parameter blocks handed to
// the geometry layer's builders, and the mesh they build in the host's form.
#include "host/primitives.h"

#include "geometry/primitives/primitive.h"

namespace refhost {

namespace {

geometry::PrimitiveType typeOf(int32_t kind) {
    switch (kind) {
        case PrimitiveBox:
            return geometry::PrimitiveType::Box;
        case PrimitiveSphere:
            return geometry::PrimitiveType::Sphere;
        case PrimitiveCylinder:
            return geometry::PrimitiveType::Cylinder;
        case PrimitiveTorus:
            return geometry::PrimitiveType::Torus;
        case PrimitiveCone:
            return geometry::PrimitiveType::Cone;
        case PrimitiveGeoSphere:
            return geometry::PrimitiveType::GeoSphere;
        case PrimitiveTube:
            return geometry::PrimitiveType::Tube;
        case PrimitivePyramid:
            return geometry::PrimitiveType::Pyramid;
        case PrimitiveHedra:
            return geometry::PrimitiveType::Hedra;
        case PrimitiveChamferBox:
            return geometry::PrimitiveType::ChamferBox;
        case PrimitiveChamferCyl:
            return geometry::PrimitiveType::ChamferCylinder;
        default:
            return geometry::PrimitiveType::Placeholder;
    }
}

// A point value is no number of a primitive: it counts as missing.
geometry::PrimitiveParameters parametersOf(const ParamValues& values) {
    geometry::PrimitiveParameters parameters;
    for (const auto& [index, value] : values) {
        if (value.type == ParamValue::Type::Int) parameters.setInteger(index, value.intValue);
        if (value.type == ParamValue::Type::Float) parameters.setFloat(index, value.floatValue);
    }
    return parameters;
}

}  // namespace

PrimitiveMesh buildPrimitive(int32_t kind, const ParamValues& values) {
    geometry::PolyMesh built;
    // The host keeps texture vertices flipped: the builder rounds them so.
    const geometry::PrimitiveBuild result =
        geometry::buildPrimitive(typeOf(kind), parametersOf(values), built, geometry::TextureV::Down);
    PrimitiveMesh mesh;
    mesh.placeholder = result.placeholder;
    if (result.note) mesh.note = result.note;
    for (const geometry::Vec3& p : built.positions) mesh.vertices.push_back({p.x, p.y, p.z});
    const geometry::MapChannel* texture = built.map(geometry::TextureChannel);
    if (texture) {
        for (const geometry::Vec3& t : texture->vertices) mesh.texVertices.push_back({t.x, t.y});
    }
    for (uint32_t p = 0; p < built.polygonCount(); ++p) {
        const uint32_t first = built.firstCorner(p);
        HostFace face{};
        const uint8_t* visible = built.edgeVisible.data() + first;
        face.flags = static_cast<uint16_t>((visible[0] ? FaceEdgeAB : 0) | (visible[1] ? FaceEdgeBC : 0) |
                                           (visible[2] ? FaceEdgeCA : 0));
        face.material = 0;
        face.a = static_cast<int32_t>(built.corners[first]);
        face.b = static_cast<int32_t>(built.corners[first + 1]);
        face.c = static_cast<int32_t>(built.corners[first + 2]);
        if (texture) {
            face.ta = static_cast<int32_t>(texture->corners[first]);
            face.tb = static_cast<int32_t>(texture->corners[first + 1]);
            face.tc = static_cast<int32_t>(texture->corners[first + 2]);
        }
        mesh.faces.push_back(face);
        mesh.smoothing.push_back(built.smoothingGroups[p]);
    }
    return mesh;
}

std::string primitiveName(int32_t kind) {
    switch (kind) {
        case PrimitiveBox:
            return "Box";
        case PrimitiveSphere:
            return "Sphere";
        case PrimitiveCylinder:
            return "Cylinder";
        case PrimitiveTorus:
            return "Torus";
        case PrimitiveCone:
            return "Cone";
        case PrimitiveGeoSphere:
            return "GeoSphere";
        case PrimitiveTube:
            return "Tube";
        case PrimitivePyramid:
            return "Pyramid";
        case PrimitivePrism:
            return "Prism";
        case PrimitiveHedra:
            return "Hedra";
        case PrimitiveChamferBox:
            return "ChamferBox";
        case PrimitiveOilTank:
            return "OilTank";
        case PrimitiveSpindle:
            return "Spindle";
        case PrimitiveGengon:
            return "Gengon";
        case PrimitiveChamferCyl:
            return "ChamferCyl";
        default:
            return "kind " + std::to_string(kind);
    }
}

}  // namespace refhost
