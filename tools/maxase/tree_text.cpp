#include "tree_text.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace maxase {

namespace {

struct Line {
    int depth;
    bool last;  // the last of its siblings
    std::string text;
};

struct Guides {
    const char* branch;      // an item with siblings after it
    const char* lastBranch;  // the last item
    const char* through;     // a level whose item has siblings after it
    const char* blank;       // a level whose item was the last
};
constexpr Guides UnicodeGuides{"\u251c\u2500\u2500 ", "\u2514\u2500\u2500 ", "\u2502   ", "    "};
constexpr Guides AsciiGuides{"|-- ", "`-- ", "|   ", "    "};

std::vector<Line> readLines(HWND tree) {
    std::vector<Line> lines;
    const int count = PlatformTreeItemCount(tree);
    lines.reserve(static_cast<std::size_t>(count));
    std::vector<char> text(256);
    for (int i = 0; i < count; ++i) {
        PlatformTreeItem item;
        if (!PlatformTreeItemAt(tree, i, &item)) break;
        const DWORD length = PlatformTreeItemText(tree, item.handle, text.data(), static_cast<DWORD>(text.size()));
        if (length >= text.size()) {
            text.resize(length + 1);
            PlatformTreeItemText(tree, item.handle, text.data(), static_cast<DWORD>(text.size()));
        }
        lines.push_back({item.depth, false, std::string(text.data(), length)});
    }
    // An item is the last of its siblings when no item of its depth follows
    // before the next shallower one.
    std::vector<bool> siblingFollows;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const auto depth = static_cast<std::size_t>(line->depth);
        siblingFollows.resize(depth + 1, false);
        line->last = !siblingFollows[depth];
        siblingFollows[depth] = true;
    }
    return lines;
}

}  // namespace

bool terminalIsUtf8() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        return strcasestr(value, "UTF-8") || strcasestr(value, "UTF8");
    }
    return false;
}

std::string printableText(const std::string& text, bool unicode) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x7F) {
            out += ch;
        } else if (unicode && byte >= 0xA0) {
            out += static_cast<char>(0xC0 | byte >> 6);
            out += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            static const char digits[] = "0123456789abcdef";
            out += "\\x";
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        }
    }
    return out;
}

void printTree(FILE* out, HWND tree, const TreeTextStyle& style) {
    const Guides& guides = style.unicode ? UnicodeGuides : AsciiGuides;
    const std::vector<Line> lines = readLines(tree);
    std::vector<bool> lastAt;  // per depth: the current item there was the last of its siblings
    std::string prefix;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (style.maxDepth >= 0 && line.depth > style.maxDepth) continue;
        if (line.depth == 0 && i > 0) std::fprintf(out, "\n");  // the top items stand apart
        const auto depth = static_cast<std::size_t>(line.depth);
        lastAt.resize(depth + 1);
        lastAt[depth] = line.last;
        prefix.clear();
        for (std::size_t level = 1; level < depth; ++level) prefix += lastAt[level] ? guides.blank : guides.through;
        if (depth > 0) prefix += line.last ? guides.lastBranch : guides.branch;
        std::string text = printableText(line.text, style.unicode);
        if (line.depth == style.maxDepth) {
            std::size_t below = 0;
            while (i + 1 + below < lines.size() && lines[i + 1 + below].depth > line.depth) ++below;
            if (below) text += " (+" + std::to_string(below) + " below)";
        }
        std::fprintf(out, "%s%s\n", prefix.c_str(), text.c_str());
    }
}

}  // namespace maxase
