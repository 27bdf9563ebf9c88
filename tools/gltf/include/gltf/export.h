// Writes a scene of the reference host as glTF 2.0: the node hierarchy with
// local transforms under one root that turns the scene's Z up into glTF's Y
// up, meshes split by material, shapes as line strips, materials, cameras,
// punctual lights and the animation keys.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "host/scene.h"

namespace gltf {

using Json = nlohmann::ordered_json;

// What the written file holds.
struct ExportCounts {
    int nodes = 0;  // the scene's nodes and the root
    int meshes = 0;
    int64_t triangles = 0;
    int64_t lineStrips = 0;
    int materials = 0;
    int cameras = 0;
    int lights = 0;
    int animationChannels = 0;
};

struct Document {
    Json json;
    std::vector<uint8_t> binary;  // the one buffer; empty when there is no data
    ExportCounts counts;
    // What had to be left out or mended on the way (faces with bad indices,
    // values that are not numbers, transforms with shear, ...).
    std::vector<std::string> notes;
};

struct ExportOptions {
    std::string rootName = "Scene";  // the name of the Z-up to Y-up root node
};

// Host node i becomes glTF node i; the root is the last node. Host material
// i becomes glTF material i.
Document exportScene(const refhost::Scene& scene, const ExportOptions& options);

enum class FileFormat { Gltf, Glb };

// .gltf (JSON with the buffer embedded as a base64 data URI) or .glb, by
// the path's extension; false with unknown for any other extension.
bool formatForPath(const std::string& path, FileFormat& format);
std::vector<uint8_t> encode(const Document& document, FileFormat format);
// False when the file cannot be written.
bool writeFile(const Document& document, const std::string& path, FileFormat format);

}  // namespace gltf
