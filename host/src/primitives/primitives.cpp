// Which builder makes which kind.
#include "host/primitives.h"

#include "builders.h"

namespace refhost {

using namespace primitives;

PrimitiveMesh buildPrimitive(int32_t kind, const ParamValues& values) {
    const Parameters p(values);
    switch (kind) {
        case PrimitiveBox:
            return buildBox(p);
        case PrimitiveSphere:
            return buildSphere(p);
        case PrimitiveCylinder:
            return buildCylinder(p);
        case PrimitiveTorus:
            return buildTorus(p);
        case PrimitiveCone:
            return buildCone(p);
        case PrimitiveGeoSphere:
            return buildGeoSphere(p);
        case PrimitiveTube:
            return buildTube(p);
        case PrimitivePyramid:
            return buildPyramid(p);
        case PrimitiveHedra:
            return buildHedra(p);
        case PrimitiveChamferBox:
            return buildChamferBox(p);
        case PrimitiveChamferCyl:
            return buildChamferCylinder(p);
        default:
            return buildPlaceholderBox(p);
    }
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
