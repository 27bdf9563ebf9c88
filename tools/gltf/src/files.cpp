// The document as a .gltf file (JSON, the buffer embedded as a base64 data
// URI) or a .glb file (a JSON chunk and a binary chunk).
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gltf/export.h"

namespace gltf {

namespace {

std::string base64(const std::vector<uint8_t>& data) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < data.size(); i += 3) {
        const uint32_t n = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8) | data[i + 2];
        out += alphabet[n >> 18];
        out += alphabet[(n >> 12) & 63];
        out += alphabet[(n >> 6) & 63];
        out += alphabet[n & 63];
    }
    if (i < data.size()) {
        const bool two = i + 1 < data.size();
        const uint32_t n = (uint32_t(data[i]) << 16) | (two ? uint32_t(data[i + 1]) << 8 : 0);
        out += alphabet[n >> 18];
        out += alphabet[(n >> 12) & 63];
        out += two ? alphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string jsonText(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

std::vector<uint8_t> glb(const Document& document) {
    std::string text = jsonText(document.json);
    while (text.size() % 4 != 0) text += ' ';
    std::vector<uint8_t> binary = document.binary;
    while (binary.size() % 4 != 0) binary.push_back(0);
    const std::size_t total = 12 + 8 + text.size() + (binary.empty() ? 0 : 8 + binary.size());
    std::vector<uint8_t> out;
    out.reserve(total);
    putU32(out, 0x46546C67);  // "glTF"
    putU32(out, 2);
    putU32(out, static_cast<uint32_t>(total));
    putU32(out, static_cast<uint32_t>(text.size()));
    putU32(out, 0x4E4F534A);  // "JSON"
    out.insert(out.end(), text.begin(), text.end());
    if (!binary.empty()) {
        putU32(out, static_cast<uint32_t>(binary.size()));
        putU32(out, 0x004E4942);  // "BIN"
        out.insert(out.end(), binary.begin(), binary.end());
    }
    return out;
}

}  // namespace

bool formatForPath(const std::string& path, FileFormat& format) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t folder = path.find_last_of("/\\");
    if (dot == std::string::npos || (folder != std::string::npos && folder > dot)) return false;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    if (extension == "gltf") {
        format = FileFormat::Gltf;
        return true;
    }
    if (extension == "glb") {
        format = FileFormat::Glb;
        return true;
    }
    return false;
}

std::vector<uint8_t> encode(const Document& document, FileFormat format) {
    if (format == FileFormat::Glb) return glb(document);
    Json json = document.json;
    if (!document.binary.empty()) {
        json["buffers"][0]["uri"] = "data:application/octet-stream;base64," + base64(document.binary);
    }
    const std::string text = jsonText(json) + "\n";
    return std::vector<uint8_t>(text.begin(), text.end());
}

bool writeFile(const Document& document, const std::string& path, FileFormat format) {
    const std::vector<uint8_t> bytes = encode(document, format);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace gltf
