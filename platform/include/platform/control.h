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

}  // extern "C"

#endif
