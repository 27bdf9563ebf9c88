// OLE initialisation. Structured storage works without it here, but the
// count lets tests see when the plug-in initialises OLE.
#include <atomic>

#include "platform/control.h"

namespace {
std::atomic<int> initializeCount{0};
}

extern "C" {

HRESULT WINAPI OleInitialize(LPVOID) {
    return initializeCount++ == 0 ? S_OK : S_FALSE;
}

int PlatformOleInitializeCount() {
    return initializeCount.load();
}

}  // extern "C"
