// Host text (8-bit, in no declared encoding) as glTF's UTF-8 strings and URIs.
#pragma once

#include <string>

namespace gltf {

// Text that is valid UTF-8 already is kept; any other is read as Latin-1.
std::string toUtf8(const std::string& text);

// A relative URI for a bitmap that the scene names: an absolute path (with a
// drive letter, a leading slash or backslash) is reduced to its file name,
// a relative one keeps its folders; backslashes become slashes and every
// byte outside the URI's unreserved characters is percent-encoded. Empty
// when nothing of a file name is left.
std::string relativeUri(const std::string& path);

}  // namespace gltf
