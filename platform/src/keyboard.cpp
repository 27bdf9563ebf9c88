// The keyboard: the keys the embedding program holds down.
#include <atomic>
#include <mutex>
#include <set>

#include "platform/control.h"

namespace {

std::mutex keyMutex;
std::set<int> keysDown;
std::atomic<int> reads{0};

}  // namespace

extern "C" {

SHORT WINAPI GetAsyncKeyState(int virtualKey) {
    ++reads;
    std::lock_guard<std::mutex> lock(keyMutex);
    // The most significant bit: the key is down now.
    return keysDown.count(virtualKey) ? static_cast<SHORT>(0x8000) : 0;
}

void PlatformSetKeyDown(int virtualKey, BOOL down) {
    std::lock_guard<std::mutex> lock(keyMutex);
    if (down) {
        keysDown.insert(virtualKey);
    } else {
        keysDown.erase(virtualKey);
    }
}

int PlatformKeyStateReads() {
    return reads.load();
}

}  // extern "C"
