#include "terminal_dialogs.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "rtf_text.h"

namespace maxase {

namespace {

constexpr DWORD ButtonTypeMask = 0x0F;
constexpr DWORD PushButton = 0x00;
constexpr DWORD DefaultPushButton = 0x01;
constexpr DWORD AutoCheckBox = 0x03;
constexpr std::size_t Width = 76;

bool isClass(const PlatformDialogControl& c, const char* name) {
    return lstrcmpiA(c.className, name) == 0;
}

// Words wrapped to the width, each line indented.
void printWrapped(const std::string& text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string paragraph = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string line;
        std::size_t at = 0;
        while (at < paragraph.size()) {
            const std::size_t space = paragraph.find(' ', at);
            const std::string word = paragraph.substr(at, space == std::string::npos ? std::string::npos : space - at);
            if (!line.empty() && line.size() + 1 + word.size() > Width) {
                std::fprintf(stderr, "  %s\n", line.c_str());
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
            at = space == std::string::npos ? paragraph.size() : space + 1;
        }
        if (line.empty()) {
            std::fprintf(stderr, "\n");
        } else {
            std::fprintf(stderr, "  %s\n", line.c_str());
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

bool askYesNo(const std::string& question, bool current) {
    std::fprintf(stderr, "%s [%s] ", question.c_str(), current ? "Y/n" : "y/N");
    std::string line;
    if (!std::getline(std::cin, line) || line.empty()) return current;
    return line[0] == 'y' || line[0] == 'Y';
}

}  // namespace

TerminalDialogs::TerminalDialogs(std::optional<PlatformDialogAnswer> scripted) : scripted_(scripted) {
    PlatformSetDialogResponder(respond, this);
}

TerminalDialogs::~TerminalDialogs() {
    PlatformSetDialogResponder(nullptr, nullptr);
}

void TerminalDialogs::respond(void* context, HWND dialog, PlatformDialogAnswer* answer) {
    const auto* self = static_cast<TerminalDialogs*>(context);
    PlatformDialogInfo info{};
    PlatformLastDialog(&info);
    std::fprintf(stderr, "\n== %s ==\n\n", info.caption);

    std::vector<PlatformDialogControl> buttons;
    std::vector<PlatformDialogControl> boxes;
    for (int i = 0; i < info.controlCount; ++i) {
        PlatformDialogControl c{};
        PlatformLastDialogControl(i, &c);
        if (isClass(c, "RichEdit")) {
            std::string text(PlatformLastDialogStreamedText(c.id, nullptr, 0) + 1, '\0');
            PlatformLastDialogStreamedText(c.id, text.data(), static_cast<DWORD>(text.size()));
            text.pop_back();
            printWrapped(rtfToText(text));
        } else if (isClass(c, "Button")) {
            const DWORD type = c.style & ButtonTypeMask;
            if (type == PushButton || type == DefaultPushButton) buttons.push_back(c);
            if (type == AutoCheckBox) boxes.push_back(c);
        }
    }
    std::fprintf(stderr, "\n");
    if (self->scripted_) {
        *answer = *self->scripted_;
        for (const PlatformDialogControl& b : buttons) {
            if (b.id == answer->command) std::fprintf(stderr, "Answered \"%s\" for the script.\n", b.text);
        }
        return;
    }

    answer->command = PlatformDialogEscape;
    std::string choices;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool isDefault = (buttons[i].style & ButtonTypeMask) == DefaultPushButton;
        choices += "[" + std::to_string(i + 1) + "] " + buttons[i].text + (isDefault ? " (Enter)" : "") + "  ";
    }
    std::fprintf(stderr, "%s\nChoice: ", choices.c_str());
    std::string line;
    if (!std::getline(std::cin, line)) {
        std::fprintf(stderr, "\nNo answer: the dialog is cancelled.\n");
        return;
    }
    if (line.empty()) {
        answer->command = PlatformDialogEnter;
    } else {
        const std::size_t choice = std::strtoul(line.c_str(), nullptr, 10);
        if (choice >= 1 && choice <= buttons.size()) answer->command = buttons[choice - 1].id;
    }
    for (const PlatformDialogControl& box : boxes) {
        const bool checked = IsDlgButtonChecked(dialog, box.id) == BST_CHECKED;
        answer->checkBoxId = box.id;
        answer->checkState = askYesNo(std::string(box.text) + "?", checked) ? BST_CHECKED : BST_UNCHECKED;
    }
}

}  // namespace maxase
