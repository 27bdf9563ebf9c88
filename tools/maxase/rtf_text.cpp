#include "rtf_text.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace maxase {

namespace {

// Groups whose text is not part of the document.
bool isHiddenDestination(const std::string& word) {
    return word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" || word == "pict" ||
           word == "header" || word == "footer";
}

void appendLatin1(std::string& out, unsigned char c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

}  // namespace

std::string rtfToText(const std::string& rtf) {
    std::string out;
    std::vector<bool> hidden{false};
    const std::size_t n = rtf.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            hidden.push_back(hidden.back());
        } else if (c == '}') {
            if (hidden.size() > 1) hidden.pop_back();
        } else if (c == '\r' || c == '\n') {
            // line breaks of the source mean nothing
        } else if (c != '\\') {
            if (!hidden.back()) out += c;
        } else if (i + 1 < n && (rtf[i + 1] == '\\' || rtf[i + 1] == '{' || rtf[i + 1] == '}')) {
            if (!hidden.back()) out += rtf[i + 1];
            ++i;
        } else if (i + 1 < n && rtf[i + 1] == '*') {
            hidden.back() = true;
            ++i;
        } else if (i + 3 < n && rtf[i + 1] == '\'') {
            const unsigned char byte =
                static_cast<unsigned char>(std::strtoul(rtf.substr(i + 2, 2).c_str(), nullptr, 16));
            if (!hidden.back()) appendLatin1(out, byte);
            i += 3;
        } else {
            std::size_t end = i + 1;
            while (end < n && std::isalpha(static_cast<unsigned char>(rtf[end]))) ++end;
            const std::string word = rtf.substr(i + 1, end - i - 1);
            if (end < n && (rtf[end] == '-' || std::isdigit(static_cast<unsigned char>(rtf[end])))) ++end;
            while (end < n && std::isdigit(static_cast<unsigned char>(rtf[end]))) ++end;
            if (end < n && rtf[end] == ' ') ++end;  // the delimiter belongs to the control word
            i = end - 1;
            if (isHiddenDestination(word)) hidden.back() = true;
            if (hidden.back()) continue;
            if (word == "par" || word == "line") out += '\n';
            if (word == "tab") out += '\t';
        }
    }
    return out;
}

}  // namespace maxase
