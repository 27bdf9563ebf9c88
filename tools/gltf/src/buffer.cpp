#include "buffer.h"

#include <algorithm>
#include <cstring>

namespace gltf {

namespace {

constexpr int FloatType = 5126;
constexpr int UnsignedIntType = 5125;

const char* typeName(int components) {
    switch (components) {
        case 1:
            return "SCALAR";
        case 2:
            return "VEC2";
        case 3:
            return "VEC3";
        default:
            return "VEC4";
    }
}

}  // namespace

int Buffer::addView(const void* data, std::size_t size, Target target) {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    const std::size_t offset = bytes_.size();
    bytes_.resize(offset + size);
    std::memcpy(bytes_.data() + offset, data, size);
    Json view = {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", size}};
    if (target != Target::None) view["target"] = static_cast<int>(target);
    views_.push_back(std::move(view));
    return static_cast<int>(views_.size()) - 1;
}

int Buffer::addFloats(const std::vector<float>& values, int components, Target target) {
    const std::size_t count = values.size() / static_cast<std::size_t>(components);
    Json lo = Json::array(), hi = Json::array();
    for (int c = 0; c < components; ++c) {
        float mn = values[static_cast<std::size_t>(c)], mx = mn;
        for (std::size_t i = static_cast<std::size_t>(c); i < values.size();
             i += static_cast<std::size_t>(components)) {
            mn = std::min(mn, values[i]);
            mx = std::max(mx, values[i]);
        }
        lo.push_back(mn);
        hi.push_back(mx);
    }
    const int view = addView(values.data(), values.size() * sizeof(float), target);
    accessors_.push_back({{"bufferView", view},
                          {"componentType", FloatType},
                          {"count", count},
                          {"type", typeName(components)},
                          {"min", lo},
                          {"max", hi}});
    return static_cast<int>(accessors_.size()) - 1;
}

int Buffer::addIndices(const std::vector<uint32_t>& indices) {
    const int view = addView(indices.data(), indices.size() * sizeof(uint32_t), Target::Indices);
    accessors_.push_back(
        {{"bufferView", view}, {"componentType", UnsignedIntType}, {"count", indices.size()}, {"type", "SCALAR"}});
    return static_cast<int>(accessors_.size()) - 1;
}

}  // namespace gltf
