#include "max/object_value.h"

void ObjectValue::reset() {
    if (parameters_) parameters_->Release();
    parameters_ = nullptr;
    primitiveKind_ = 0;
    mesh_.clear();
    kind_ = ValueKind::None;
}

geometry::PolyMesh& ObjectValue::makeMesh() {
    if (kind_ != ValueKind::Mesh) reset();
    kind_ = ValueKind::Mesh;
    return mesh_;
}

void ObjectValue::makePrimitive(int32_t primitiveKind, HostParamBlock* parameters) {
    reset();
    kind_ = ValueKind::Primitive;
    primitiveKind_ = primitiveKind;
    parameters_ = parameters;
}
