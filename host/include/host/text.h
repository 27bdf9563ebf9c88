// The host's 8-bit text (names, paths, messages) as UTF-8, for JSON. The
// plug-in's texts come in no declared encoding; files of the time wrote
// their code page's bytes, so each byte is taken as the Latin-1 character of
// that number: no text makes the JSON invalid, and none is lost.
#pragma once

#include <string>

namespace refhost {

std::string utf8Text(const std::string& text);

}  // namespace refhost
