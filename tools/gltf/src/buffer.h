// The binary buffer of a glTF file and the buffer views and accessors over
// it. Every accessor gets a view of its own, aligned to 4 bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "gltf/export.h"

namespace gltf {

enum class Target { None = 0, Vertices = 34962, Indices = 34963 };

class Buffer {
 public:
    // Floats in groups of `components` (1 SCALAR, 2 VEC2, 3 VEC3, 4 VEC4),
    // with their minimum and maximum; at least one group. Returns the
    // accessor's index.
    int addFloats(const std::vector<float>& values, int components, Target target);
    // Unsigned 32-bit indices. Returns the accessor's index.
    int addIndices(const std::vector<uint32_t>& indices);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    Json& accessors() { return accessors_; }
    Json& views() { return views_; }

 private:
    int addView(const void* data, std::size_t size, Target target);

    std::vector<uint8_t> bytes_;
    Json accessors_ = Json::array();
    Json views_ = Json::array();
};

}  // namespace gltf
