// Plain text from Rich Text Format, for a terminal: paragraphs become line
// breaks, tabs stay, formatting and the header tables are dropped, and
// 8-bit characters (code page 1252's Latin-1 range) come out as UTF-8.
#pragma once

#include <string>

namespace maxase {

std::string rtfToText(const std::string& rtf);

}  // namespace maxase
