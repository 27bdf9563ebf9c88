// One builder per primitive type.
#pragma once

#include "geometry/primitives/parameters.h"
#include "geometry/primitives/primitive.h"

namespace geometry::primitives {

void buildBox(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildChamferBox(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildChamferCylinder(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildSphere(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildGeoSphere(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildCylinder(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildCone(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildTube(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildTorus(const Parameters& p, PolyMesh& mesh, TextureV direction);
void buildPyramid(const Parameters& p, PolyMesh& mesh, TextureV direction);
PrimitiveBuild buildHedra(const Parameters& p, PolyMesh& mesh, TextureV direction);
PrimitiveBuild buildPlaceholderBox(const Parameters& p, PolyMesh& mesh);

}  // namespace geometry::primitives
