// Reads back what maxase convert writes, .gltf with an embedded buffer or
// .glb, and compares it with the reference host's JSON dump.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace testing_support {

struct LoadedGltf {
    nlohmann::json json;
    std::vector<uint8_t> binary;

    // The values of an accessor as doubles, component by component.
    std::vector<double> read(int accessor) const;
};

// A member of a JSON object, or the fallback when it is absent.
template <class T>
T field(const nlohmann::json& object, const char* key, T fallback) {
    return object.contains(key) ? object.at(key).get<T>() : fallback;
}

// A node's transform to the file's world, through its translation, rotation
// and scale and those of its ancestors: a column-major 4x4 matrix.
using Matrix = std::array<double, 16>;
Matrix worldMatrix(const nlohmann::json& doc, int node);
std::array<double, 3> transformPoint(const Matrix& m, const std::array<double, 3>& p);
inline std::array<double, 3> worldPoint(const nlohmann::json& doc, int node, const std::array<double, 3>& p) {
    return transformPoint(worldMatrix(doc, node), p);
}

// False (with the reason in error) when the bytes are not a well-formed file.
bool loadGltf(const std::vector<uint8_t>& bytes, LoadedGltf& out, std::string& error);

// Nodes, meshes, triangles and materials against the host's dump.
::testing::AssertionResult matchesDump(const LoadedGltf& gltf, const nlohmann::ordered_json& dump);

}  // namespace testing_support
