#include "max/plane.h"

#include <cmath>

#include "geometry/primitives/plane_grid.h"
#include "max/object_value.h"
#include "max/param_block2.h"
#include "max/references.h"

namespace {

// Parameter numbers of the plane's block.
constexpr uint32_t LengthParameter = 0;
constexpr uint32_t WidthParameter = 1;
constexpr uint32_t LengthSegmentsParameter = 2;
constexpr uint32_t WidthSegmentsParameter = 3;

float sizeOf(const Block2Value& value) {
    return value.present && value.isFloat && std::isfinite(value.number) ? std::fabs(value.number) : 0.0f;
}

// The builder bounds what it is given.
int32_t segmentsOf(const Block2Value& value) {
    return value.present && !value.isFloat ? value.integer : 1;
}

// The first parameter block among the object's references, read; false
// when it has none.
bool readPlaneBlock(MaxFile& file, int32_t reference, Block2Value (&values)[MaxBlock2Parameters]) {
    const RefList refs = readObjectRefs(file, reference);
    for (uint32_t i = 0; i < refs.count(); ++i) {
        if (readBlock2Values(file, refs.at(i), values)) return true;
    }
    return false;
}

}  // namespace

bool readPlane(MaxFile& file, int32_t reference, const ClassInfo&, ObjectValue& value) {
    Block2Value values[MaxBlock2Parameters];
    if (!readPlaneBlock(file, reference, values)) return false;
    geometry::buildPlaneGrid(sizeOf(values[LengthParameter]), sizeOf(values[WidthParameter]),
                             segmentsOf(values[LengthSegmentsParameter]), segmentsOf(values[WidthSegmentsParameter]),
                             value.makeMesh());
    return true;
}
