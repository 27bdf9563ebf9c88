#include "max/mesh_node.h"

#include <new>

#include "frame/module_state.h"
#include "geometry/triangulation.h"
#include "max/materials.h"
#include "platform/heap.h"
#include "platform/text_format.h"

namespace {

constexpr char NoName[] = "NoName";

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

int32_t MaxMeshNode::emit(HostScene* scene) {
    if (!hostNode) {
        HostMeshNode* host = scene->CreateNode();
        hostNode = host;
        if (host) emitGeometry(host);
        mesh.clear();
    }
    MaxNode::emit(scene);
    if (hostNode) hostNode->SetTransform(&matrix);
    return 1;
}

// Triangles go over only with vertices, each with its material id. An index
// at or beyond the vertex count would let the host read past the vertices:
// it becomes 0, and the node's mended indices are reported once. Texture
// vertices go with the triangles that use them; an index beyond them
// becomes 0 as well.
void MaxMeshNode::emitGeometry(HostMeshNode* host) {
    const auto vertexCount = static_cast<int32_t>(mesh.positions.size());
    if (vertexCount == 0) return;
    geometry::Vector<geometry::Triangle> triangles;
    try {
        geometry::triangulate(mesh, triangles);
    } catch (const std::bad_alloc&) {
        triangles.clear();  // the node keeps its vertices
    }
    if (!host->SetVertexCount(vertexCount, 0)) return;
    Point3* vertices = meshVertices(host);
    if (!vertices || meshVertexCount(host) != vertexCount) return;
    for (int32_t i = 0; i < vertexCount; ++i) {
        const geometry::Vec3& p = mesh.positions[static_cast<uint32_t>(i)];
        vertices[i] = {p.x, p.y, p.z};
    }
    const auto faceCount = static_cast<int32_t>(triangles.size());
    if (faceCount == 0 || !host->SetFaceCount(faceCount, 0)) return;

    const auto limit = static_cast<uint32_t>(vertexCount);
    uint32_t mended = 0;
    auto checked = [limit, &mended](uint32_t index) {
        if (index < limit) return static_cast<int32_t>(index);
        ++mended;
        return 0;
    };
    for (int32_t i = 0; i < faceCount; ++i) {
        HostFace* face = host->GetFace(i);
        if (!face) break;
        const geometry::Triangle& t = triangles[static_cast<uint32_t>(i)];
        face->flags = t.edges;
        assignFaceMaterial(*face, mesh.materialIds[t.polygon]);
        face->a = checked(mesh.corners[t.corner[0]]);
        face->b = checked(mesh.corners[t.corner[1]]);
        face->c = checked(mesh.corners[t.corner[2]]);
    }
    const geometry::MapChannel* map = mesh.map(geometry::TextureChannel);
    if (map && map->corners.size() != mesh.corners.size()) map = nullptr;
    const auto texCount = map ? static_cast<int32_t>(map->vertices.size()) : 0;
    if (texCount > 0 && host->SetTexVertexCount(texCount, 0)) {
        if (HostTexVertex* texVertices = meshTexVertices(host)) {
            // The host's v runs down the picture.
            for (int32_t i = 0; i < texCount; ++i) {
                const geometry::Vec3& uvw = map->vertices[static_cast<uint32_t>(i)];
                texVertices[i] = {uvw.x, 1.0f - uvw.y};
            }
            const auto texLimit = static_cast<uint32_t>(texCount);
            auto texIndex = [&](uint32_t corner) {
                const uint32_t index = map->corners[corner];
                return index < texLimit ? static_cast<int32_t>(index) : 0;
            };
            for (int32_t i = 0; i < faceCount; ++i) {
                HostFace* face = host->GetFace(i);
                if (!face) break;
                const geometry::Triangle& t = triangles[static_cast<uint32_t>(i)];
                face->ta = texIndex(t.corner[0]);
                face->tb = texIndex(t.corner[1]);
                face->tc = texIndex(t.corner[2]);
            }
        }
    }
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
