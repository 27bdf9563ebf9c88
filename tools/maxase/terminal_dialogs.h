// The plug-in's modal dialogs, answered on the terminal: the caption, the
// rich text as plain text, the buttons and the check boxes become a question
// on standard error, answered on standard input. With a scripted answer the
// terminal is not asked.
#pragma once

#include <optional>

#include "platform/control.h"

namespace maxase {

class TerminalDialogs {
 public:
    // scripted: the answer to give without asking (--agree), or none.
    explicit TerminalDialogs(std::optional<PlatformDialogAnswer> scripted);
    ~TerminalDialogs();
    TerminalDialogs(const TerminalDialogs&) = delete;
    TerminalDialogs& operator=(const TerminalDialogs&) = delete;

 private:
    static void respond(void* context, HWND dialog, PlatformDialogAnswer* answer);
    std::optional<PlatformDialogAnswer> scripted_;
};

}  // namespace maxase
