// The host's 8-bit text (names, paths, messages) as UTF-8, for JSON: the
// plug-in's texts come in no declared encoding.
#pragma once

#include <string>

namespace refhost {

// Text that is valid UTF-8 already is kept; any other is read as Latin-1.
std::string utf8Text(const std::string& text);

}  // namespace refhost
