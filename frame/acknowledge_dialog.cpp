#include "frame/acknowledge_dialog.h"

#include "frame/module_state.h"
#include "frame/resources/resource_ids.h"

namespace {

constexpr char Section[] = "MAX";
constexpr char WarningKey[] = "Warning";
constexpr char AgreeKey[] = "Agree";
constexpr char InfoResource[] = "RTF|INFO";

// Rich edit streaming from the resource stream. A read error ends the text
// rather than passing a negative count on.
DWORD CALLBACK streamInfoText(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* transferred) {
    const int32_t got = reinterpret_cast<HostStream*>(cookie)->Read(buffer, count);
    *transferred = got > 0 ? got : 0;
    return 0;
}

void loadInfoText(HWND dialog) {
    HostStream* stream = hostApp->OpenResourceStream(moduleInstance, InfoResource, ResourceStreamMode);
    if (!stream) return;
    stream->Seek(0, 0);
    EDITSTREAM load;
    load.dwCookie = reinterpret_cast<DWORD_PTR>(stream);
    load.dwError = 0;
    load.pfnCallback = streamInfoText;
    SendDlgItemMessageA(dialog, IDC_INFO_TEXT, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&load));
    SendDlgItemMessageA(dialog, IDC_INFO_TEXT, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
    stream->Release();
}

void answer(HWND dialog, int32_t agree) {
    hostApp->WriteProfileInt(Section, WarningKey, static_cast<int32_t>(IsDlgButtonChecked(dialog, IDC_SHOW_AGAIN)));
    hostApp->WriteProfileInt(Section, AgreeKey, agree);
    EndDialog(dialog, agree);
}

}  // namespace

INT_PTR CALLBACK AcknowledgeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        CheckDlgButton(dialog, IDC_SHOW_AGAIN, BST_CHECKED);
        loadInfoText(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        answer(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
    }
    return FALSE;
}

int32_t ConfirmMaxImport() {
    if (hostApp->GetProfileInt(Section, WarningKey, 1) != 0) {
        return static_cast<int32_t>(DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(IDD_ACKNOWLEDGE),
                                                    hostApp->GetMainWindow(0), AcknowledgeDialogProc, 0));
    }
    return hostApp->GetProfileInt(Section, AgreeKey, 0);
}
