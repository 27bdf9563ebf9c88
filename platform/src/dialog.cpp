// Modal dialogs without a screen: the template is read from the module's
// resources, the real dialog procedure is driven with WM_INITDIALOG and then
// with what the responder says the user does, and the controls keep the state
// the procedure gives them (check marks, streamed rich text, colours).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/control.h"

namespace {

constexpr DWORD DialogSetFont = 0x40;  // DS_SETFONT
constexpr DWORD ButtonTypeMask = 0x0F;
constexpr DWORD DefaultPushButton = 0x01;  // BS_DEFPUSHBUTTON
constexpr DWORD AutoCheckBox = 0x03;       // BS_AUTOCHECKBOX
constexpr char ButtonAtom[] = "#128";      // the predefined class atom of buttons
constexpr DWORD StreamBlock = 4096;
constexpr std::size_t MaxStreamedBytes = 1u << 20;

struct Control {
    PlatformDialogControl state;
    std::string streamed;
};

struct Dialog {
    PlatformDialogInfo info;
    std::vector<Control> controls;
};

std::recursive_mutex dialogMutex;
Dialog* shown = nullptr;  // the last dialog; its handle is its address
int dialogsShown = 0;
PlatformDialogResponder responder = nullptr;
void* responderContext = nullptr;
PlatformDialogAnswer fixedAnswer;

void answerFixed(void*, HWND, PlatformDialogAnswer* answer) {
    *answer = fixedAnswer;
}

// A reader of the template's words, bounded by the resource.
class TemplateReader {
 public:
    TemplateReader(const unsigned char* data, DWORD size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    WORD word() {
        if (at_ + 2 > size_) {
            ok_ = false;
            return 0;
        }
        const WORD value = static_cast<WORD>(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    DWORD dword() {
        const DWORD low = word();
        return low | static_cast<DWORD>(word()) << 16;
    }
    short coordinate() { return static_cast<short>(word()); }
    // A zero-terminated string of 16-bit units, narrowed; cut to the buffer.
    void string(char* out, std::size_t size) {
        std::size_t n = 0;
        for (WORD unit = word(); ok_ && unit != 0; unit = word()) {
            if (n + 1 < size) out[n++] = unit <= 0xFF ? static_cast<char>(unit) : '?';
        }
        out[n] = 0;
    }
    // A name or an ordinal (0xFFFF then the number, written "#n"); 0 alone is none.
    void nameOrOrdinal(char* out, std::size_t size) {
        if (at_ + 2 <= size_ && data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
            word();
            std::snprintf(out, size, "#%u", static_cast<unsigned>(word()));
            return;
        }
        string(out, size);
    }
    void alignToDword() { at_ = (at_ + 3) & ~static_cast<DWORD>(3); }
    void skip(DWORD bytes) {
        if (bytes > size_ - at_) ok_ = false;
        at_ += ok_ ? bytes : 0;
    }

 private:
    const unsigned char* data_;
    DWORD size_;
    DWORD at_ = 0;
    bool ok_ = true;
};

// The classic template (DLGTEMPLATE); the extended form is not used here.
bool parseTemplate(const unsigned char* data, DWORD size, Dialog& dialog) {
    TemplateReader r(data, size);
    PlatformDialogInfo& info = dialog.info;
    info.style = r.dword();
    info.exStyle = r.dword();
    const WORD count = r.word();
    info.x = r.coordinate();
    info.y = r.coordinate();
    info.cx = r.coordinate();
    info.cy = r.coordinate();
    char ignored[64];
    r.nameOrOrdinal(ignored, sizeof ignored);  // menu
    r.nameOrOrdinal(ignored, sizeof ignored);  // window class
    r.string(info.caption, sizeof info.caption);
    if (info.style & DialogSetFont) {
        info.pointSize = r.word();
        r.string(info.font, sizeof info.font);
    }
    if (!r.ok() || (info.style >> 16) == 0xFFFF) return false;  // not a classic template
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.alignToDword();
        Control control{};
        PlatformDialogControl& c = control.state;
        c.style = r.dword();
        c.exStyle = r.dword();
        c.x = r.coordinate();
        c.y = r.coordinate();
        c.cx = r.coordinate();
        c.cy = r.coordinate();
        c.id = static_cast<short>(r.word());
        r.nameOrOrdinal(c.className, sizeof c.className);
        r.nameOrOrdinal(c.text, sizeof c.text);
        r.skip(r.word());  // creation data
        dialog.controls.push_back(control);
    }
    info.controlCount = static_cast<int>(dialog.controls.size());
    return r.ok();
}

bool isButton(const PlatformDialogControl& c) {
    return lstrcmpiA(c.className, "BUTTON") == 0 || std::strcmp(c.className, ButtonAtom) == 0;
}

Dialog* dialogOf(HWND window) {
    return window && reinterpret_cast<Dialog*>(window) == shown ? shown : nullptr;
}

Control* controlOf(HWND window, int id) {
    Dialog* dialog = dialogOf(window);
    if (!dialog) return nullptr;
    for (Control& c : dialog->controls) {
        if (c.state.id == id) return &c;
    }
    return nullptr;
}

// What Enter chooses: the default push button, else IDOK.
int defaultCommand(const Dialog& dialog) {
    for (const Control& c : dialog.controls) {
        if (isButton(c.state) && (c.state.style & ButtonTypeMask) == DefaultPushButton) return c.state.id;
    }
    return IDOK;
}

LRESULT streamIn(Control& control, WPARAM, LPARAM lParam) {
    auto* load = reinterpret_cast<EDITSTREAM*>(lParam);
    if (!load || !load->pfnCallback) return 0;
    control.streamed.clear();
    unsigned char block[StreamBlock];
    for (;;) {
        LONG got = 0;
        const DWORD error = load->pfnCallback(load->dwCookie, block, static_cast<LONG>(sizeof block), &got);
        if (error != 0) {
            load->dwError = error;
            break;
        }
        if (got <= 0) break;
        const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(got), sizeof block);
        if (control.streamed.size() + take > MaxStreamedBytes) break;
        control.streamed.append(reinterpret_cast<const char*>(block), take);
    }
    return static_cast<LRESULT>(control.streamed.size());
}

// A click on a control: WM_COMMAND with its id (and notification code 0).
void click(HWND window, DLGPROC procedure, int id) {
    procedure(window, WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(id)), 0);
}

}  // namespace

extern "C" {

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                               LPARAM initParam) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    if (!procedure || !responder) return -1;
    const HRSRC found = FindResourceA(instance, templateName, RT_DIALOG);
    if (!found) return -1;
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(instance, found)));
    auto* dialog = new Dialog{};
    if (!data || !parseTemplate(data, SizeofResource(instance, found), *dialog)) {
        delete dialog;
        return -1;
    }
    delete shown;
    shown = dialog;
    ++dialogsShown;
    PlatformDialogInfo& info = dialog->info;
    info.templateId = IS_INTRESOURCE(templateName) ? static_cast<int>(reinterpret_cast<uintptr_t>(templateName)) : 0;
    info.owner = owner;
    info.initParam = initParam;
    info.result = -1;
    const HWND window = reinterpret_cast<HWND>(dialog);

    procedure(window, WM_INITDIALOG, 0, initParam);
    PlatformDialogAnswer answer{PlatformDialogEscape, 0, BST_UNCHECKED};
    responder(responderContext, window, &answer);
    if (Control* box = answer.checkBoxId ? controlOf(window, answer.checkBoxId) : nullptr) {
        // A click on an automatic check box toggles it and tells the procedure.
        if (box->state.checked != answer.checkState && (box->state.style & ButtonTypeMask) == AutoCheckBox) {
            box->state.checked = answer.checkState;
            click(window, procedure, answer.checkBoxId);
        }
    }
    if (!info.ended) {
        const int command = answer.command == PlatformDialogEnter    ? defaultCommand(*dialog)
                            : answer.command == PlatformDialogEscape ? IDCANCEL
                                                                     : answer.command;
        click(window, procedure, command);
    }
    return info.ended ? info.result : -1;
}

BOOL WINAPI EndDialog(HWND window, INT_PTR result) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    Dialog* dialog = dialogOf(window);
    if (!dialog || dialog->info.ended) return FALSE;
    dialog->info.ended = TRUE;
    dialog->info.result = result;
    return TRUE;
}

BOOL WINAPI CheckDlgButton(HWND window, int id, UINT check) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    Control* control = controlOf(window, id);
    if (!control || !isButton(control->state)) return FALSE;
    control->state.checked = check;
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND window, int id) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    Control* control = controlOf(window, id);
    return control && isButton(control->state) ? control->state.checked : BST_UNCHECKED;
}

LRESULT WINAPI SendDlgItemMessageA(HWND window, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    Control* control = controlOf(window, id);
    if (!control || lstrcmpiA(control->state.className, "RichEdit") != 0) return 0;
    if (message == EM_STREAMIN) return streamIn(*control, wParam, lParam);
    if (message == EM_SETBKGNDCOLOR) {
        const COLORREF previous = control->state.backgroundSet ? control->state.background : 0xFFFFFFu;
        control->state.backgroundSet = TRUE;
        control->state.background = static_cast<COLORREF>(lParam);
        return static_cast<LRESULT>(previous);
    }
    return 0;
}

DWORD WINAPI GetSysColor(int index) {
    return index == COLOR_BTNFACE ? PLATFORM_BUTTON_FACE_COLOUR : 0;
}

void PlatformSetDialogResponder(PlatformDialogResponder newResponder, void* context) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    responder = newResponder;
    responderContext = context;
}

void PlatformSetDialogAnswer(const PlatformDialogAnswer* answer) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    if (answer) fixedAnswer = *answer;
    responder = answer ? answerFixed : nullptr;
    responderContext = nullptr;
}

int PlatformDialogsShown() {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    return dialogsShown;
}

BOOL PlatformLastDialog(PlatformDialogInfo* info) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    if (!shown || !info) return FALSE;
    *info = shown->info;
    return TRUE;
}

BOOL PlatformLastDialogControl(int index, PlatformDialogControl* control) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    if (!shown || !control || index < 0 || static_cast<std::size_t>(index) >= shown->controls.size()) return FALSE;
    *control = shown->controls[static_cast<std::size_t>(index)].state;
    return TRUE;
}

DWORD PlatformLastDialogStreamedText(int controlId, char* buffer, DWORD size) {
    std::lock_guard<std::recursive_mutex> lock(dialogMutex);
    Control* control = shown ? controlOf(reinterpret_cast<HWND>(shown), controlId) : nullptr;
    const std::string text = control ? control->streamed : std::string();
    if (buffer && size > 0) {
        const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = 0;
    }
    return static_cast<DWORD>(text.size());
}

}  // extern "C"
