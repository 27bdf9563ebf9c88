// The meshes of parametric primitives. The host builds a primitive's mesh
// from its kind and parameter block when CreatePrimitive makes the node, as
// the modelling program would: the importer hands over parameters only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/contract/host_records.h"
#include "host/app.h"

namespace refhost {

struct PrimitiveMesh {
    std::vector<Point3> vertices;            // the primitive's own space: Z up
    std::vector<HostTexVertex> texVertices;  // v flipped (1 - v), as the importers store texture vertices
    std::vector<HostFace> faces;             // counter-clockwise seen from outside; material field 0
    std::vector<uint32_t> smoothing;         // one smoothing group mask per face; 0 shades the face flat
    // A box of a plausible size standing in for a kind the host cannot build.
    bool placeholder = false;
    // What of the parameters the mesh does not show, when not everything.
    std::string note;
};

// Never fails: a kind the host cannot build gets the placeholder box.
PrimitiveMesh buildPrimitive(int32_t kind, const ParamValues& parameters);

// "Box", "Sphere", ...; "kind N" for a kind without a name.
std::string primitiveName(int32_t kind);

}  // namespace refhost
