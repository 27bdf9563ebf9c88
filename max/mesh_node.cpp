#include "max/mesh_node.h"

#include <cstring>
#include <new>

#include "frame/module_state.h"
#include "max/materials.h"
#include "platform/heap.h"
#include "platform/text_format.h"

namespace {

constexpr char NoName[] = "NoName";
constexpr uint32_t EdgeFlagsMask = 7;

}  // namespace

MaxNode::~MaxNode() {
    heapFree(name);
}

int32_t MaxNode::emit(HostScene* scene) {
    if (!hostNode) return 1;
    if (name) hostNode->SetName(name);
    if (material) {
        hostNode->SetProperty(NodeMaterial, reinterpret_cast<uint32_t>(material->host));
        return 1;
    }
    HostMaterial* defaultMaterial = scene->CreateMaterial();
    if (!defaultMaterial) return 1;
    const Point3 diffuse{static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                         static_cast<float>((colour >> 16) & 0xFF) / 255.0f};
    defaultMaterial->SetProperty(MaterialDiffuse, &diffuse);
    char materialName[288];
    formatText(materialName, "DefMat for %s", name ? name : NoName);
    defaultMaterial->SetName(materialName);
    hostNode->SetProperty(NodeMaterial, reinterpret_cast<uint32_t>(defaultMaterial));
    return 1;
}

MaxMeshNode::MaxMeshNode() {
    hostApp->MatrixIdentity(&matrix);
}

MaxMeshNode::~MaxMeshNode() {
    freeGeometry();
}

bool MaxMeshNode::allocVertices(int32_t count) {
    heapFree(vertexData);
    vertexCount = 0;
    vertexData = nullptr;
    if (count <= 0) return false;
    vertexData = static_cast<Point3*>(heapAllocArray(static_cast<uint32_t>(count), sizeof(Point3)));
    if (!vertexData) return false;
    vertexCount = count;
    return true;
}

bool MaxMeshNode::allocFaces(int32_t count) {
    heapFree(faceData);
    heapFree(texFaceData);  // it was sized for the faces replaced
    faceCount = 0;
    faceData = nullptr;
    texFaceData = nullptr;
    if (count <= 0) return false;
    faceData = static_cast<MaxFace*>(heapAllocArray(static_cast<uint32_t>(count), sizeof(MaxFace)));
    if (!faceData) return false;
    faceCount = count;
    return true;
}

bool MaxMeshNode::allocTexVertices(int32_t count) {
    heapFree(texVertexData);
    texVertexCount = 0;
    texVertexData = nullptr;
    if (count <= 0) return false;
    texVertexData = static_cast<HostTexVertex*>(heapAllocArray(static_cast<uint32_t>(count), sizeof(HostTexVertex)));
    if (!texVertexData) return false;
    texVertexCount = count;
    return true;
}

bool MaxMeshNode::allocTexFaces() {
    heapFree(texFaceData);
    texFaceData = nullptr;
    if (faceCount <= 0) return false;
    texFaceData = static_cast<uint32_t*>(heapAllocArray(static_cast<uint32_t>(faceCount), 3 * sizeof(uint32_t)));
    return texFaceData != nullptr;
}

void MaxMeshNode::freeTexCoords() {
    heapFree(texVertexData);
    heapFree(texFaceData);
    texVertexData = nullptr;
    texFaceData = nullptr;
    texVertexCount = 0;
}

void MaxMeshNode::freeGeometry() {
    freeTexCoords();
    heapFree(vertexData);
    heapFree(faceData);
    vertexData = nullptr;
    faceData = nullptr;
    vertexCount = 0;
    faceCount = 0;
}

int32_t MaxMeshNode::emit(HostScene* scene) {
    if (!hostNode) {
        HostMeshNode* mesh = scene->CreateNode();
        hostNode = mesh;
        if (mesh) emitGeometry(mesh);
        freeGeometry();
    }
    MaxNode::emit(scene);
    if (hostNode) hostNode->SetTransform(&matrix);
    return 1;
}

// Faces go over only with vertices, each with its material id. A face index
// at or beyond the vertex count would let the host read past the vertices:
// it becomes 0, and the node's mended indices are reported once.
void MaxMeshNode::emitGeometry(HostMeshNode* mesh) {
    if (vertexCount == 0 || !mesh->SetVertexCount(vertexCount, 0)) return;
    Point3* vertices = meshVertices(mesh);
    if (!vertices || meshVertexCount(mesh) != vertexCount) return;
    std::memcpy(vertices, vertexData, static_cast<std::size_t>(vertexCount) * sizeof(Point3));
    if (faceCount == 0 || !mesh->SetFaceCount(faceCount, 0)) return;

    const auto limit = static_cast<uint32_t>(vertexCount);
    uint32_t mended = 0;
    auto checked = [limit, &mended](uint32_t index) {
        if (index < limit) return static_cast<int32_t>(index);
        ++mended;
        return 0;
    };
    for (int32_t i = 0; i < faceCount; ++i) {
        HostFace* face = mesh->GetFace(i);
        if (!face) break;
        const MaxFace& source = faceData[i];
        face->flags = static_cast<uint16_t>(source.flags & EdgeFlagsMask);
        assignFaceMaterial(*face, source.flags >> FaceMaterialShift);
        face->a = checked(source.a);
        face->b = checked(source.b);
        face->c = checked(source.c);
    }
    emitTexCoords(mesh);
    if (mended == 0) return;
    char text[320];
    formatText(text, "%s: %u face indices beyond the %d vertices set to 0", name ? name : NoName, mended, vertexCount);
    hostApp->ShowMessage(MessageSceneLog, text);
}

// A face of a node with a material gets the material (or the sub-material
// its id names) and, when it is two-sided, the two-sided flag; any other
// face keeps its material id.
void MaxMeshNode::assignFaceMaterial(HostFace& face, uint32_t materialId) const {
    if (!material) {
        face.material = materialId;
        return;
    }
    const MaxMaterial& assigned = faceMaterial(*material, materialId);
    face.material = reinterpret_cast<uint32_t>(assigned.host);
    if (assigned.twoSided) face.flags = static_cast<uint16_t>(face.flags | FaceTwoSided);
}

// Texture vertices go over with the faces that use them; an index beyond
// them becomes 0, as a vertex index does.
void MaxMeshNode::emitTexCoords(HostMeshNode* mesh) {
    if (texVertexCount == 0 || !texFaceData || !mesh->SetTexVertexCount(texVertexCount, 0)) return;
    HostTexVertex* texVertices = meshTexVertices(mesh);
    if (!texVertices) return;
    std::memcpy(texVertices, texVertexData, static_cast<std::size_t>(texVertexCount) * sizeof(HostTexVertex));
    const auto limit = static_cast<uint32_t>(texVertexCount);
    for (int32_t i = 0; i < faceCount; ++i) {
        HostFace* face = mesh->GetFace(i);
        if (!face) break;
        const uint32_t* corners = texFaceData + 3 * static_cast<std::size_t>(i);
        face->ta = corners[0] < limit ? static_cast<int32_t>(corners[0]) : 0;
        face->tb = corners[1] < limit ? static_cast<int32_t>(corners[1]) : 0;
        face->tc = corners[2] < limit ? static_cast<int32_t>(corners[2]) : 0;
    }
}

MaxMeshNode* createMeshNode() {
    void* memory = heapAlloc(sizeof(MaxMeshNode));
    return memory ? new (memory) MaxMeshNode() : nullptr;
}

void destroyNode(MaxNode* node) {
    if (!node) return;
    node->~MaxNode();
    heapFree(node);
}
