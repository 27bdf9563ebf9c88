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

// Global memory
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

// Process heap
#define HEAP_ZERO_MEMORY 0x00000008u

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

// OLE
PLATFORM_API HRESULT WINAPI OleInitialize(LPVOID reserved);

}  // extern "C"

#endif  // stand-ins
