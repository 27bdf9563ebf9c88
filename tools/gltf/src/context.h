// What the parts of one export share: the scene, the buffer, the arrays of
// the document being built, and the tally of what had to be mended.
#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "buffer.h"
#include "gltf/export.h"

namespace gltf {

// Which of the scene's materials get a base colour texture.
std::vector<bool> texturedMaterials(const refhost::Scene& scene);

struct Context {
    explicit Context(const refhost::Scene& s)
        : scene(s), twoSided(s.materials().size(), false), textured(texturedMaterials(s)) {}

    const refhost::Scene& scene;
    Buffer buffer;
    Json meshes = Json::array();
    Json cameras = Json::array();
    Json lights = Json::array();
    ExportCounts counts;
    // Materials used by a face that is two-sided, by host material index.
    std::vector<bool> twoSided;
    // Materials with a base colour texture, which needs texture coordinates.
    std::vector<bool> textured;
    // Mended or left out, by what: "faces with a vertex index out of range".
    std::map<std::string, int64_t> tally;

    bool isTextured(int material) const { return material >= 0 && textured[static_cast<std::size_t>(material)]; }

    // A value that is a number: anything else counts as mended and is 0.
    float finite(float v, const char* what) {
        if (std::isfinite(v)) return v;
        ++tally[what];
        return 0;
    }
};

// The material of a face: the face's own (a material pointer in its
// material field) or else the node's; -1 for none.
int faceMaterial(const refhost::Scene& scene, const refhost::NodeData& node, uint32_t materialField);

// The node's mesh, or -1 when it has no faces or lines to show.
int exportMesh(Context& context, const refhost::NodeData& node);
// All of the scene's materials, in the host's order.
Json exportMaterials(Context& context, Json& textures, Json& images);
// The node's camera or light, added to the context's arrays: its index, or -1.
int exportCamera(Context& context, const refhost::NodeData& node);
int exportLight(Context& context, const refhost::NodeData& node);
// The animation of the scene's keys, or null when there are none.
Json exportAnimation(Context& context);

}  // namespace gltf
