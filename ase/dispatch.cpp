// The node and object dispatcher, node names and parent links.
#include <cstring>

#include "ase/animation.h"
#include "ase/cameras_lights.h"
#include "ase/nodes.h"
#include "ase/object_scope.h"
#include "frame/module_state.h"
#include "platform/heap.h"
#include "platform/text_format.h"

namespace {

constexpr Keyword NodeTransform = "*NODE_TM";
constexpr Keyword Animation = "*TM_ANIMATION";
constexpr Keyword NodeName = "*NODE_NAME";
constexpr Keyword CastShadow = "*PROP_CASTSHADOW";
constexpr Keyword ReceiveShadow = "*PROP_RECVSHADOW";
constexpr Keyword GeomObject = "*GEOMOBJECT";
constexpr Keyword ShapeObject = "*SHAPEOBJECT";
constexpr Keyword HelperObject = "*HELPEROBJECT";
constexpr Keyword Group = "*GROUP";
constexpr Keyword CameraObject = "*CAMERAOBJECT";
constexpr Keyword LightObject = "*LIGHTOBJECT";
constexpr Keyword NodeParent = "*NODE_PARENT";
constexpr Keyword Comment = "*COMMENT";

char* copyText(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(heapAlloc(size));
    if (copy) std::memcpy(copy, text, size);
    return copy;
}

// Gives the node a parent name, replacing an earlier one. False when memory ran out.
bool setParentName(HostNode* node, const char* name) {
    auto* link = static_cast<ParentLink*>(nodeUserData(node));
    if (!link) {
        link = static_cast<ParentLink*>(heapAllocZeroed(sizeof(ParentLink)));
        if (!link) return false;
        setNodeUserData(node, link);
    }
    heapFree(link->parentName);
    link->parentName = nullptr;
    if (!name[0]) return true;
    link->parentName = copyText(name);
    return link->parentName != nullptr;
}

bool readParentLink(AseReader& reader, HostNode* node) {
    char name[TextCapacity];
    if (!ReadString(reader, name)) return false;
    return !node || setParentName(node, name);
}

bool skipUnknown(AseReader& reader, bool report) {
    if (report && !TokenIs(reader, Comment)) {
        char text[TextCapacity];
        formatText(text, "%s skiped", reader.token);
        hostApp->ShowMessage(MessageReport, text);
    }
    // A closing brace at the document level closes no block and has no
    // value: the object keyword after it must not be taken as one.
    if (TokenIsCloseBrace(reader)) return true;
    return HandleCommonKeyword(reader);
}

}  // namespace

bool DispatchNodeKeyword(AseReader& reader, HostNode* node, bool report) {
    if (TokenIs(reader, NodeTransform)) return ParseNodeTM(reader, node, nullptr);
    if (TokenIs(reader, Animation)) return ReadTmAnimation(reader, node);
    if (TokenIs(reader, NodeName)) {
        if (node) return ParseNodeName(reader, node);
        char dropped[TextCapacity];
        return ReadString(reader, dropped);
    }
    if (TokenIs(reader, CastShadow) || TokenIs(reader, ReceiveShadow)) {
        const int32_t id = TokenIs(reader, CastShadow) ? NodeCastShadow : NodeReceiveShadow;
        const int32_t value = ReadInt(reader);
        if (node) node->SetProperty(id, static_cast<uint32_t>(value));
        return true;
    }
    if (TokenIs(reader, GeomObject)) return ParseGeomObject(reader, node);
    if (TokenIs(reader, ShapeObject)) return ParseShapeObject(reader, node);
    if (TokenIs(reader, HelperObject) || TokenIs(reader, Group)) return ParseHelperObject(reader, node);
    if (TokenIs(reader, CameraObject)) return ReadCameraObject(reader, node);
    if (TokenIs(reader, LightObject)) return ReadLightObject(reader, node);
    if (TokenIs(reader, NodeParent)) return readParentLink(reader, node);
    return skipUnknown(reader, report);
}

bool ParseNodeName(AseReader& reader, HostNode* node) {
    char name[TextCapacity];
    if (!ReadString(reader, name)) return false;
    node->SetName(name);
    hostApp->ShowStatus(StatusLevel, name);
    NoteObjectName(reader, node, name);
    return true;
}
