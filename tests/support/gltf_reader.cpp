#include "gltf_reader.h"

#include <cstring>

namespace testing_support {

namespace {

uint32_t u32(const std::vector<uint8_t>& b, std::size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

bool decodeBase64(const std::string& text, std::vector<uint8_t>& out) {
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z') {
            v = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            v = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            v = c - '0' + 52;
        } else if (c == '+') {
            v = 62;
        } else if (c == '/') {
            v = 63;
        } else if (c == '=') {
            break;
        } else {
            return false;
        }
        bits = bits << 6 | static_cast<uint32_t>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<uint8_t>(bits >> count));
        }
    }
    return true;
}

// The dump's faces whose vertex indices are all in range.
int64_t validFaces(const nlohmann::ordered_json& node) {
    const int64_t n = static_cast<int64_t>(node.at("vertices").size());
    int64_t valid = 0;
    for (const auto& f : node.at("faces")) {
        bool ok = true;
        for (const auto& v : f.at("v")) ok = ok && v.get<int64_t>() >= 0 && v.get<int64_t>() < n;
        valid += ok ? 1 : 0;
    }
    return valid;
}

bool hasLineStrip(const nlohmann::ordered_json& node) {
    const int64_t n = static_cast<int64_t>(node.at("vertices").size());
    for (const auto& line : node.at("lines")) {
        if (!line.at("points").is_array()) continue;
        int valid = 0;
        for (const auto& p : line.at("points")) valid += p.get<int64_t>() >= 0 && p.get<int64_t>() < n ? 1 : 0;
        if (valid >= 2) return true;
    }
    return false;
}

// Column-major 4x4 of a node's translation, rotation and scale.
using Mat = Matrix;

Mat nodeMatrix(const nlohmann::json& node) {
    const std::vector<double> t = field(node, "translation", std::vector<double>{0, 0, 0});
    const std::vector<double> q = field(node, "rotation", std::vector<double>{0, 0, 0, 1});
    const std::vector<double> s = field(node, "scale", std::vector<double>{1, 1, 1});
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    Mat m{};
    for (std::size_t c = 0; c < 3; ++c) {
        for (std::size_t row = 0; row < 3; ++row) m[c * 4 + row] = r[row][c] * s[c];
    }
    m[12] = t[0];
    m[13] = t[1];
    m[14] = t[2];
    m[15] = 1;
    return m;
}

Mat times(const Mat& a, const Mat& b) {
    Mat r{};
    for (std::size_t c = 0; c < 4; ++c) {
        for (std::size_t row = 0; row < 4; ++row) {
            double sum = 0;
            for (std::size_t k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[c * 4 + k];
            r[c * 4 + row] = sum;
        }
    }
    return r;
}

}  // namespace

Matrix worldMatrix(const nlohmann::json& doc, int node) {
    const nlohmann::json& nodes = doc.at("nodes");
    std::vector<int> parent(nodes.size(), -1);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        for (const auto& c : field(nodes[i], "children", nlohmann::json::array())) {
            parent[c.get<std::size_t>()] = static_cast<int>(i);
        }
    }
    Mat m = nodeMatrix(nodes[static_cast<std::size_t>(node)]);
    for (int at = parent[static_cast<std::size_t>(node)]; at >= 0; at = parent[static_cast<std::size_t>(at)]) {
        m = times(nodeMatrix(nodes[static_cast<std::size_t>(at)]), m);
    }
    return m;
}

std::array<double, 3> transformPoint(const Matrix& m, const std::array<double, 3>& p) {
    return {m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12], m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13],
            m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14]};
}

std::vector<double> LoadedGltf::read(int accessor) const {
    const auto& a = json.at("accessors")[static_cast<std::size_t>(accessor)];
    const auto& view = json.at("bufferViews")[a.at("bufferView").get<std::size_t>()];
    const std::size_t count = a.at("count").get<std::size_t>();
    const std::string type = a.at("type");
    const std::size_t components = type == "SCALAR" ? 1 : type == "VEC2" ? 2 : type == "VEC3" ? 3 : 4;
    const std::size_t offset = testing_support::field(view, "byteOffset", std::size_t{0}) +
                               testing_support::field(a, "byteOffset", std::size_t{0});
    std::vector<double> out;
    for (std::size_t i = 0; i < count * components; ++i) {
        const std::size_t at = offset + 4 * i;
        if (a.at("componentType") == 5126) {
            float f;
            std::memcpy(&f, binary.data() + at, 4);
            out.push_back(f);
        } else {
            out.push_back(u32(binary, at));
        }
    }
    return out;
}

bool loadGltf(const std::vector<uint8_t>& bytes, LoadedGltf& out, std::string& error) {
    out = LoadedGltf{};
    std::string text;
    if (bytes.size() >= 12 && u32(bytes, 0) == 0x46546C67) {
        if (u32(bytes, 4) != 2 || u32(bytes, 8) != bytes.size()) return error = "bad GLB header", false;
        std::size_t at = 12;
        while (at + 8 <= bytes.size()) {
            const uint32_t length = u32(bytes, at), type = u32(bytes, at + 4);
            if (length % 4 != 0 || at + 8 + length > bytes.size()) return error = "bad GLB chunk", false;
            if (type == 0x4E4F534A)
                text.assign(bytes.begin() + static_cast<long>(at + 8),
                            bytes.begin() + static_cast<long>(at + 8 + length));
            if (type == 0x004E4942)
                out.binary.assign(bytes.begin() + static_cast<long>(at + 8),
                                  bytes.begin() + static_cast<long>(at + 8 + length));
            at += 8 + length;
        }
        if (at != bytes.size()) return error = "GLB chunks do not fill the file", false;
    } else {
        text.assign(bytes.begin(), bytes.end());
    }
    try {
        out.json = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& e) {
        return error = e.what(), false;
    }
    if (out.json.contains("buffers")) {
        const auto& buffer = out.json.at("buffers")[0];
        if (buffer.contains("uri")) {
            const std::string uri = buffer.at("uri");
            const std::string prefix = "data:application/octet-stream;base64,";
            if (uri.compare(0, prefix.size(), prefix) != 0 || !decodeBase64(uri.substr(prefix.size()), out.binary)) {
                return error = "buffer is not an embedded base64 data URI", false;
            }
        }
        if (out.binary.size() < buffer.at("byteLength").get<std::size_t>())
            return error = "buffer shorter than said", false;
    }
    return true;
}

::testing::AssertionResult matchesDump(const LoadedGltf& gltf, const nlohmann::ordered_json& dump) {
    const auto& nodes = gltf.json.at("nodes");
    const auto& hostNodes = dump.at("nodes");
    if (nodes.size() != hostNodes.size() + 1) {
        return ::testing::AssertionFailure() << nodes.size() << " nodes for " << hostNodes.size() << " host nodes";
    }
    int64_t meshes = 0, triangles = 0;
    for (std::size_t i = 0; i < hostNodes.size(); ++i) {
        const int64_t faces = validFaces(hostNodes[i]);
        const bool geometry = faces > 0 || hasLineStrip(hostNodes[i]);
        if (geometry != nodes[i].contains("mesh")) {
            return ::testing::AssertionFailure() << "node " << i << (geometry ? " lacks" : " has") << " a mesh";
        }
        if (hostNodes[i].at("name").is_string() &&
            testing_support::field(nodes[i], "name", std::string()) != hostNodes[i].at("name").get<std::string>()) {
            return ::testing::AssertionFailure()
                   << "node " << i << " is named " << testing_support::field(nodes[i], "name", std::string());
        }
        meshes += geometry ? 1 : 0;
        triangles += faces;
    }
    const std::size_t gltfMeshes = gltf.json.contains("meshes") ? gltf.json.at("meshes").size() : 0;
    if (static_cast<int64_t>(gltfMeshes) != meshes) {
        return ::testing::AssertionFailure() << gltfMeshes << " meshes, expected " << meshes;
    }
    int64_t gltfTriangles = 0;
    if (gltf.json.contains("meshes")) {
        for (const auto& mesh : gltf.json.at("meshes")) {
            for (const auto& p : mesh.at("primitives")) {
                if (testing_support::field(p, "mode", 4) == 4)
                    gltfTriangles +=
                        gltf.json.at("accessors")[p.at("indices").get<std::size_t>()]["count"].get<int64_t>() / 3;
            }
        }
    }
    if (gltfTriangles != triangles) {
        return ::testing::AssertionFailure() << gltfTriangles << " triangles, expected " << triangles;
    }
    const std::size_t materials = gltf.json.contains("materials") ? gltf.json.at("materials").size() : 0;
    if (materials != dump.at("materials").size()) {
        return ::testing::AssertionFailure() << materials << " materials for " << dump.at("materials").size();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
