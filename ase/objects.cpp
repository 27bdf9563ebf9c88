// Geometry, shape, helper and group objects.
#include "ase/geometry.h"
#include "ase/materials.h"
#include "ase/nodes.h"
#include "ase/object_scope.h"
#include "frame/module_state.h"

namespace {

constexpr Keyword NodeTransform = "*NODE_TM";
constexpr Keyword Mesh = "*MESH";
constexpr Keyword MaterialReference = "*MATERIAL_REF";
constexpr Keyword WireframeColour = "*WIREFRAME_COLOR";
constexpr Keyword LineCount = "*SHAPE_LINECOUNT";
constexpr Keyword Line = "*SHAPE_LINE";
constexpr const char* WireframeMaterialName = "WireFrame material";

bool openBlock(AseReader& reader) {
    return NextToken(reader) && TokenIsOpenBrace(reader);
}

HostMeshNode* createNode(AseReader& reader, HostNode* parent) {
    HostMeshNode* node = reader.scene->CreateNode();
    if (node && parent) setNodeParent(node, parent);
    return node;
}

void assign(HostFace* face, const MaterialRecord& record) {
    face->material = reinterpret_cast<uint32_t>(record.hostMaterial);
    if (record.twoSided) face->flags |= FaceTwoSided;
}

// Each face gets the sub-material its material id names, or the material itself.
void assignMaterial(HostMeshNode* node, const MaterialRecord& material) {
    const int32_t faceCount = meshFaceCount(node);
    for (int32_t i = 0; i < faceCount; ++i) {
        HostFace* face = node->GetFace(i);
        if (!face) return;
        const auto id = static_cast<int32_t>(face->material);
        if (material.subCount != 0 && id >= 0 && id < material.subCount && material.subMaterials[id]) {
            assign(face, *material.subMaterials[id]);
        } else {
            assign(face, material);
        }
    }
}

void clearFaceMaterials(HostMeshNode* node) {
    const int32_t faceCount = meshFaceCount(node);
    for (int32_t i = 0; i < faceCount; ++i) {
        HostFace* face = node->GetFace(i);
        if (!face) return;
        face->material = 0;
    }
}

void addWireframeMaterial(AseReader& reader, HostMeshNode* node, const Point3& colour) {
    HostMaterial* material = reader.scene->CreateMaterial();
    if (!material) return;
    material->SetProperty(MaterialDiffuse, &colour);
    node->SetProperty(NodeMaterial, reinterpret_cast<uint32_t>(material));
    material->SetName(WireframeMaterialName);
}

}  // namespace

bool ParseGeomObject(AseReader& reader, HostNode* parent) {
    const NestingGuard nesting(reader);
    if (!nesting.allowed() || !openBlock(reader)) return false;
    HostMeshNode* node = createNode(reader, parent);
    if (!node) return false;
    ObjectScope object(reader, node);
    int32_t materialReference = -1;
    Point3 wireframeColour{-1.0f, -1.0f, -1.0f};
    bool transformed = false;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) break;
        if (TokenIs(reader, NodeTransform)) {
            if (!ParseNodeTM(reader, node, &transformed)) return false;
        } else if (TokenIs(reader, Mesh)) {
            // A broken mesh does not fail its object.
            if (!ParseMesh(reader, object)) clearFaceMaterials(node);
        } else if (TokenIs(reader, MaterialReference)) {
            materialReference = ReadInt(reader);
        } else if (TokenIs(reader, WireframeColour)) {
            ReadPoint3(reader, wireframeColour);
        } else if (!DispatchNodeKeyword(reader, node, false)) {
            return false;
        }
    }
    const MaterialRecord* material = materialReference >= 0 && materialReference < reader.materialCount
                                         ? reader.materials[materialReference]
                                         : nullptr;
    if (material) {
        assignMaterial(node, *material);
    } else if (wireframeColour.x > -1.0f) {
        addWireframeMaterial(reader, node, wireframeColour);
    }
    if (transformed) ConvertToObjectSpace(node);
    return true;
}

bool ParseShapeObject(AseReader& reader, HostNode* parent) {
    const NestingGuard nesting(reader);
    if (!nesting.allowed() || !openBlock(reader)) return false;
    HostMeshNode* node = createNode(reader, parent);
    if (!node) return false;
    int32_t lineCount = 0;
    HostPointList* pointList = hostApp->CreatePointList();
    if (!pointList) return false;
    pointList->Init(0);
    ObjectScope object(reader, node);
    bool complete = false;
    bool failed = false;
    bool transformed = false;
    while (!failed) {
        if (!NextKeyword(reader)) break;
        if (TokenIsCloseBrace(reader)) {
            complete = true;
            break;
        }
        if (TokenIs(reader, NodeTransform)) {
            failed = !ParseNodeTM(reader, node, &transformed);
        } else if (TokenIs(reader, LineCount)) {
            // Without the lines the host was asked for, no line can be read.
            lineCount = ReadInt(reader);
            if (!ReserveEntries(reader, lineCount) || !node->SetLineCount(lineCount, 0)) lineCount = 0;
        } else if (TokenIs(reader, Line)) {
            // A bad line still hands the points read so far to the node.
            const int32_t index = ReadInt(reader);
            if (index < 0 || index >= lineCount || !ParseShapeLine(reader, object, pointList, index)) break;
        } else {
            failed = !DispatchNodeKeyword(reader, node, false);
        }
    }
    // However the block ends, the points read so far reach the node: its
    // lines' indices were checked against them. The host's helper is given
    // back all the same.
    pointList->StorePoints(node);
    pointList->Release();
    if (transformed) ConvertToObjectSpace(node);
    return complete && !failed;
}

bool ParseHelperObject(AseReader& reader, HostNode* parent) {
    const NestingGuard nesting(reader);
    if (!nesting.allowed() || !NextToken(reader)) return false;
    char name[TextCapacity] = "";
    if (reader.token[0] == '"') {
        TokenToString(reader, name);
        if (!NextToken(reader)) return false;
    }
    if (!TokenIsOpenBrace(reader)) return false;
    HostMeshNode* node = createNode(reader, parent);
    if (!node) return false;
    if (name[0]) node->SetName(name);
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) return true;
        if (!DispatchNodeKeyword(reader, node, false)) return false;
    }
}

void ConvertToObjectSpace(HostMeshNode* node) {
    const int32_t count = meshVertexCount(node);
    if (count <= 0) return;
    HostMatrix matrix;
    node->GetTransform(&matrix);
    hostApp->MatrixInvert(&matrix);
    Point3* vertices = meshVertices(node);
    hostApp->TransformPoints(&matrix, vertices, vertices, count);
}
