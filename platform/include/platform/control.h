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

// The two kinds of memory the plug-in takes: the process heap (HeapAlloc)
// and movable global memory (GlobalAlloc, GlobalReAlloc).
enum PlatformMemoryKind { PlatformHeapMemory, PlatformGlobalMemory };

struct PlatformMemoryStats {
    DWORD requests;  // allocations asked for so far, failed ones included
    int blocksInUse;
    SIZE_T bytesInUse;
    SIZE_T peakBytes;  // the most bytes in use at once since the last reset
};

PLATFORM_API void PlatformMemoryStatsOf(PlatformMemoryKind kind, PlatformMemoryStats* stats);
// Starts a new high-water mark at the bytes now in use.
PLATFORM_API void PlatformResetMemoryPeak(PlatformMemoryKind kind);
// Failure injection: the nth request from now (1 is the next one) fails, as
// when memory runs out; with persistent set, every request from then on
// fails too. 0 ends the injection.
PLATFORM_API void PlatformFailAllocation(PlatformMemoryKind kind, DWORD nth, BOOL persistent);

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

// Windows. The tree-view class counts as registered by the embedding program
// unless it says otherwise; CreateWindowExA of an unregistered class fails.
PLATFORM_API void PlatformSetTreeViewRegistered(BOOL registered);

// Every window created, in the order of creation, destroyed ones included.
struct PlatformWindowInfo {
    HWND handle;
    char className[64];
    char title[128];
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    BOOL destroyed;  // a destroyed window keeps its record but no items
};

PLATFORM_API int PlatformWindowsCreated();
PLATFORM_API BOOL PlatformWindowAt(int index, PlatformWindowInfo* info);

// The items of a tree-view window in the order it shows them: each item is
// followed by its children, siblings in their order. Every message the
// window answers takes the next number of its sequence (from 1), so that the
// order of insertions and changes can be told.
struct PlatformTreeItem {
    HTREEITEM handle;
    HTREEITEM parent;  // null at the root level
    int depth;         // 0 at the root level
    int childCount;
    UINT mask;  // the union of the masks it was given
    int image;
    int selectedImage;
    LPARAM param;
    DWORD inserted;  // the sequence number of its TVM_INSERTITEMA
    DWORD updated;   // that of its last TVM_SETITEMA, 0 when there was none
};

PLATFORM_API int PlatformTreeItemCount(HWND window);
PLATFORM_API BOOL PlatformTreeItemAt(HWND window, int index, PlatformTreeItem* item);
// The item's text, terminated and cut to size; returns its full length.
PLATFORM_API DWORD PlatformTreeItemText(HWND window, HTREEITEM item, char* buffer, DWORD size);

}  // extern "C"

#endif
