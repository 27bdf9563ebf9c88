// Controls of the platform stand-ins, for the programs that embed the plug-in
// (the reference host, the tools and the tests). The plug-in never uses them:
// it sees only the Windows calls of win32.h. Not available on Windows.
#pragma once

#include "platform/win32.h"

#if !defined(_WIN32)

extern "C" {

// Resources of a loaded module, as the Windows resource calls find them.
// Data is not copied: it must live until the module is unregistered.
PLATFORM_API void PlatformRegisterResource(HMODULE module, LPCSTR type, LPCSTR name, const void* data, DWORD size);
PLATFORM_API void PlatformUnregisterModule(HMODULE module);

// Number of OleInitialize calls so far in this process.
PLATFORM_API int PlatformOleInitializeCount();

// Blocks currently allocated and not freed: movable global memory and the
// process heap. Tests use them to prove that an import leaks nothing.
PLATFORM_API int PlatformGlobalBlocksInUse();
PLATFORM_API int PlatformHeapBlocksInUse();

// Dialogs, shown headless. DialogBoxParamA finds the template among the
// module's resources, sends WM_INITDIALOG to the dialog procedure, asks the
// responder what the user does, and performs it: the check box first (a
// click, with its WM_COMMAND), then the command. The dialog's result is the
// value given to EndDialog. Without a responder there is no user to show the
// dialog to, and DialogBoxParamA fails with -1, as when a dialog cannot be
// created; so does a dialog that the command did not end.
enum PlatformDialogKey {
    PlatformDialogEnter = -1,   // the default push button
    PlatformDialogEscape = -2,  // IDCANCEL, also the close box
};

struct PlatformDialogAnswer {
    int command;      // a button id, or a PlatformDialogKey
    int checkBoxId;   // 0: leave the check boxes alone
    UINT checkState;  // BST_CHECKED or BST_UNCHECKED for checkBoxId
};

typedef void (*PlatformDialogResponder)(void* context, HWND dialog, PlatformDialogAnswer* answer);

PLATFORM_API void PlatformSetDialogResponder(PlatformDialogResponder responder, void* context);
// The same answer to every dialog; null: no user.
PLATFORM_API void PlatformSetDialogAnswer(const PlatformDialogAnswer* answer);

// The dialog shown last (also while it is open), as its template made it and
// as it was left.
struct PlatformDialogInfo {
    int templateId;  // the integer id of the template
    HWND owner;
    LPARAM initParam;
    INT_PTR result;  // -1 until EndDialog
    BOOL ended;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    WORD pointSize;
    char font[64];
    char caption[128];
    int controlCount;
};

struct PlatformDialogControl {
    int id;
    char className[64];  // as the template names it; "#n" for a predefined class atom
    char text[128];      // "#n" for an ordinal
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    UINT checked;
    BOOL backgroundSet;  // by EM_SETBKGNDCOLOR
    COLORREF background;
};

PLATFORM_API int PlatformDialogsShown();
PLATFORM_API BOOL PlatformLastDialog(PlatformDialogInfo* info);
PLATFORM_API BOOL PlatformLastDialogControl(int index, PlatformDialogControl* control);
// The bytes a control received through EM_STREAMIN, terminated and cut to
// size; returns their full count.
PLATFORM_API DWORD PlatformLastDialogStreamedText(int controlId, char* buffer, DWORD size);

// The colour GetSysColor answers for COLOR_BTNFACE.
#define PLATFORM_BUTTON_FACE_COLOUR 0x00F0F0F0u

// The keyboard as GetAsyncKeyState sees it.
PLATFORM_API void PlatformSetKeyDown(int virtualKey, BOOL down);
PLATFORM_API int PlatformKeyStateReads();

}  // extern "C"

#endif
