// The URIs by which a glTF file refers to the bitmaps a scene names.
#pragma once

#include <string>

namespace gltf {

// A relative URI for a bitmap that the scene names: an absolute path (with a
// drive letter, a leading slash or backslash) is reduced to its file name,
// a relative one keeps its folders; backslashes become slashes and every
// byte outside the URI's unreserved characters is percent-encoded. Empty
// when nothing of a file name is left.
std::string relativeUri(const std::string& path);

}  // namespace gltf
