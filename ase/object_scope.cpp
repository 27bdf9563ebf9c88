#include "ase/object_scope.h"

#include "frame/module_state.h"
#include "platform/text_format.h"

namespace {

// An index fits an array of count entries; 0, the host's own initial value,
// also stands for "none" in an empty array.
bool fits(int32_t index, int32_t count) {
    return index == 0 || (index > 0 && index < count);
}

bool rangeFits(const IndexRange& range, int32_t count) {
    return !range.any || (fits(range.low, count) && fits(range.high, count));
}

void mend(int32_t& index, int32_t count, int32_t& mended) {
    if (fits(index, count)) return;
    index = 0;
    ++mended;
}

}  // namespace

ObjectScope::ObjectScope(AseReader& reader, HostMeshNode* objectNode)
    : node(objectNode),
      name(),
      mendedIndices(0),
      texVertexCount(0),
      pointsAdded(0),
      vertexIndices(),
      texIndices(),
      reader_(reader),
      outer_(reader.innermostObject) {
    reader_.innermostObject = this;
}

ObjectScope::~ObjectScope() {
    reader_.innermostObject = outer_;
    if (mendedIndices == 0) return;
    char text[TextCapacity + 64];
    formatText(text, "Object \"%s\": %d indices out of range set to 0", name, mendedIndices);
    hostApp->ShowMessage(MessageReport, text);
}

void NoteObjectName(AseReader& reader, const HostNode* node, const char* name) {
    ObjectScope* object = reader.innermostObject;
    if (!object || object->node != node) return;
    int32_t i = 0;
    for (; i < TextCapacity - 1 && name[i]; ++i) object->name[i] = name[i];
    object->name[i] = 0;
}

void MendFaceIndices(ObjectScope& object) {
    HostMeshNode* node = object.node;
    const int32_t vertexCount = meshVertexCount(node);
    if (rangeFits(object.vertexIndices, vertexCount) && rangeFits(object.texIndices, object.texVertexCount)) return;
    const int32_t faceCount = meshFaceCount(node);
    for (int32_t i = 0; i < faceCount; ++i) {
        HostFace* face = node->GetFace(i);
        if (!face) break;
        // Fields of the packed record go through locals.
        int32_t indices[6] = {face->a, face->b, face->c, face->ta, face->tb, face->tc};
        for (int k = 0; k < 3; ++k) mend(indices[k], vertexCount, object.mendedIndices);
        for (int k = 3; k < 6; ++k) mend(indices[k], object.texVertexCount, object.mendedIndices);
        face->a = indices[0];
        face->b = indices[1];
        face->c = indices[2];
        face->ta = indices[3];
        face->tb = indices[4];
        face->tc = indices[5];
    }
    // Every index now lies below these counts (or is 0).
    object.vertexIndices = IndexRange{0, vertexCount > 0 ? vertexCount - 1 : 0, true};
    object.texIndices = IndexRange{0, object.texVertexCount > 0 ? object.texVertexCount - 1 : 0, true};
}

void MendLineIndices(ObjectScope& object, HostLine* line) {
    const int32_t count = line->pointCount;
    int32_t* points = line->points;
    if (!points) return;
    for (int32_t i = 0; i < count; ++i) mend(points[i], object.pointsAdded, object.mendedIndices);
}
