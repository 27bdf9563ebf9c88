// A tree-view window of the platform stand-ins, printed as an indented text
// tree for the terminal.
#pragma once

#include <cstdio>
#include <string>

#include "platform/control.h"

namespace maxase {

struct TreeTextStyle {
    bool unicode = true;  // box-drawing guides and Latin-1 text as UTF-8; else ASCII only
    int maxDepth = -1;    // items deeper than this are left out; -1: none
};

// True when the locale's environment asks for UTF-8.
bool terminalIsUtf8();

// A tree item's 8-bit text, safe to print: printable ASCII as it is, other
// bytes as \xNN (Latin-1 letters as UTF-8 in the unicode style).
std::string printableText(const std::string& text, bool unicode);

// The window's items, one a line, under guides that show the hierarchy, with
// a blank line before each top item but the first. An
// item whose children are left out by the depth limit ends with the count of
// the items below it.
void printTree(FILE* out, HWND tree, const TreeTextStyle& style);

}  // namespace maxase
