// The Windows calls the plug-in makes. On Windows these are the system's own;
// elsewhere the platform library supplies stand-ins with the same names,
// types and result codes, written from what the plug-in expects of them.
#pragma once

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <objbase.h>
#include <ole2.h>
#include <windows.h>
// After windows.h, which it needs.
#include <richedit.h>

#else  // stand-ins

#include <cstddef>
#include <cstdint>

#if defined(PLATFORM_BUILDING_LIBRARY)
#define PLATFORM_API __attribute__((visibility("default")))
#else
#define PLATFORM_API
#endif

#define WINAPI
#define CALLBACK
#define STDMETHODCALLTYPE

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef int32_t HRESULT;
typedef uint16_t WCHAR;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef std::size_t SIZE_T;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef intptr_t INT_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef void* HANDLE;
typedef HANDLE HGLOBAL;
typedef HANDLE HRSRC;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HWND__* HWND;
typedef int16_t SHORT;
typedef UINT_PTR DWORD_PTR;
typedef BYTE* LPBYTE;
typedef DWORD COLORREF;
typedef LONG* LPLONG;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<uintptr_t>(p) >> 16) == 0)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define S_OK 0
#define S_FALSE 1
#define E_OUTOFMEMORY static_cast<HRESULT>(0x8007000EL)
#define E_INVALIDARG static_cast<HRESULT>(0x80070057L)

// Structured storage result codes
#define STG_E_INVALIDFUNCTION static_cast<HRESULT>(0x80030001L)
#define STG_E_FILENOTFOUND static_cast<HRESULT>(0x80030002L)
#define STG_E_PATHNOTFOUND static_cast<HRESULT>(0x80030003L)
#define STG_E_ACCESSDENIED static_cast<HRESULT>(0x80030005L)
#define STG_E_INSUFFICIENTMEMORY static_cast<HRESULT>(0x80030008L)
#define STG_E_INVALIDPOINTER static_cast<HRESULT>(0x80030009L)
#define STG_E_READFAULT static_cast<HRESULT>(0x8003001EL)
#define STG_E_FILEALREADYEXISTS static_cast<HRESULT>(0x80030050L)
#define STG_E_INVALIDNAME static_cast<HRESULT>(0x800300FCL)
#define STG_E_INVALIDFLAG static_cast<HRESULT>(0x800300FFL)
#define STG_E_DOCFILECORRUPT static_cast<HRESULT>(0x80030109L)
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002L)
#define E_NOTIMPL static_cast<HRESULT>(0x80004001L)

// Structured storage modes and seek origins
#define STGM_READ 0x00000000u
#define STGM_WRITE 0x00000001u
#define STGM_READWRITE 0x00000002u
#define STGM_SHARE_EXCLUSIVE 0x00000010u
#define STREAM_SEEK_SET 0
#define STREAM_SEEK_CUR 1
#define STREAM_SEEK_END 2

// Dialogs and controls
#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u
#define IDOK 1
#define IDCANCEL 2
#define BST_UNCHECKED 0u
#define BST_CHECKED 1u
#define COLOR_BTNFACE 15
#define EM_SETBKGNDCOLOR 0x0443u
#define EM_STREAMIN 0x0449u
#define SF_TEXT 0x0001u
#define SF_RTF 0x0002u
#define LOWORD(l) (static_cast<WORD>(static_cast<UINT_PTR>(l) & 0xFFFFu))
#define VK_SHIFT 0x10

// Global memory
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

// Process heap
#define HEAP_ZERO_MEMORY 0x00000008u

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
#define REFIID const IID&

union LARGE_INTEGER {
    int64_t QuadPart;
};
union ULARGE_INTEGER {
    uint64_t QuadPart;
};
typedef WCHAR** SNB;

// The COM objects of structured storage, with Windows' slot layout up to the
// last operation the plug-in calls; the slots it never calls are placeholders.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
    ~IUnknown() = default;
};

struct IStream : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* countRead) = 0;
    virtual HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* countWritten) = 0;
    virtual HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) = 0;

 protected:
    ~IStream() = default;
};

struct IStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateStream(const WCHAR* name, DWORD mode, DWORD reserved1, DWORD reserved2,
                                                   IStream** stream) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenStream(const WCHAR* name, void* reserved1, DWORD mode, DWORD reserved2,
                                                 IStream** stream) = 0;

 protected:
    ~IStorage() = default;
};

// Dialogs and the rich edit control
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef DWORD(CALLBACK* EDITSTREAMCALLBACK)(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* transferred);
struct EDITSTREAM {
    DWORD_PTR dwCookie;
    DWORD dwError;
    EDITSTREAMCALLBACK pfnCallback;
};

extern "C" {

// Strings (8-bit, compared byte by byte; "i" ignores ASCII case)
PLATFORM_API int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b);
PLATFORM_API int WINAPI lstrcmpA(LPCSTR a, LPCSTR b);
PLATFORM_API LPSTR WINAPI lstrcpyA(LPSTR dest, LPCSTR src);
PLATFORM_API int WINAPI lstrlenA(LPCSTR s);
PLATFORM_API LPSTR WINAPI lstrcatA(LPSTR dest, LPCSTR src);

// Movable global memory
PLATFORM_API HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
PLATFORM_API HGLOBAL WINAPI GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags);
PLATFORM_API LPVOID WINAPI GlobalLock(HGLOBAL mem);
PLATFORM_API BOOL WINAPI GlobalUnlock(HGLOBAL mem);
PLATFORM_API HGLOBAL WINAPI GlobalFree(HGLOBAL mem);
PLATFORM_API SIZE_T WINAPI GlobalSize(HGLOBAL mem);

// Process heap
PLATFORM_API HANDLE WINAPI GetProcessHeap();
PLATFORM_API LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
PLATFORM_API BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID mem);

// Module resources
PLATFORM_API HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
PLATFORM_API HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
PLATFORM_API LPVOID WINAPI LockResource(HGLOBAL loaded);
PLATFORM_API DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);

// OLE and structured storage
PLATFORM_API HRESULT WINAPI OleInitialize(LPVOID reserved);
PLATFORM_API HRESULT WINAPI StgOpenStorage(const WCHAR* name, IStorage* priority, DWORD mode, SNB exclude,
                                           DWORD reserved, IStorage** storage);

// Dialogs, controls and the keyboard
PLATFORM_API INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                                            LPARAM initParam);
PLATFORM_API BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
PLATFORM_API BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
PLATFORM_API UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
PLATFORM_API LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
PLATFORM_API DWORD WINAPI GetSysColor(int index);
PLATFORM_API SHORT WINAPI GetAsyncKeyState(int virtualKey);

}  // extern "C"

#endif  // stand-ins
