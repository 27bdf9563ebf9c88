// One builder per primitive kind the host knows how to build.
#pragma once

#include "host/primitives.h"
#include "parameters.h"

namespace refhost::primitives {

PrimitiveMesh buildBox(const Parameters& p);
PrimitiveMesh buildChamferBox(const Parameters& p);
PrimitiveMesh buildChamferCylinder(const Parameters& p);
PrimitiveMesh buildSphere(const Parameters& p);
PrimitiveMesh buildGeoSphere(const Parameters& p);
PrimitiveMesh buildCylinder(const Parameters& p);
PrimitiveMesh buildCone(const Parameters& p);
PrimitiveMesh buildTube(const Parameters& p);
PrimitiveMesh buildTorus(const Parameters& p);
PrimitiveMesh buildPyramid(const Parameters& p);
PrimitiveMesh buildHedra(const Parameters& p);
// The stand-in for a kind whose parameters are not known: an axis-aligned
// box, base centred on the origin, as large as the block's first lengths.
PrimitiveMesh buildPlaceholderBox(const Parameters& p);

}  // namespace refhost::primitives
