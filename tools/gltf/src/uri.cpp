#include "uri.h"

#include <cstdint>

#include "host/text.h"

namespace gltf {

namespace {

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

}  // namespace

std::string relativeUri(const std::string& path) {
    std::string p = path;
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    const bool absolute =
        (!p.empty() && p[0] == '/') || (p.size() >= 2 && p[1] == ':' && ((p[0] | 0x20) >= 'a' && (p[0] | 0x20) <= 'z'));
    if (absolute) {
        const std::size_t slash = p.find_last_of('/');
        p = slash == std::string::npos ? p.substr(2) : p.substr(slash + 1);
    }
    if (p.empty() || p.back() == '/') return {};
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : refhost::utf8Text(p)) {
        const auto c = static_cast<unsigned char>(ch);
        if (unreserved(c) || c == '/') {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

}  // namespace gltf
