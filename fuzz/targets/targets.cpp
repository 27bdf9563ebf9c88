#include <cstring>

#include "fuzz_targets.h"
#include "host/streams.h"
#include "max/viewer/tree_items.h"
#include "platform/control.h"
#include "session.h"
#include "support/compound_writer.h"

namespace fuzz_targets {

namespace {

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Every item the structure viewer made fits what an item holds.
void checkViewerItems(Problems& problems) {
    const int windows = PlatformWindowsCreated();
    PlatformWindowInfo window;
    if (windows == 0 || !PlatformWindowAt(windows - 1, &window) || window.destroyed) return;
    PlatformTreeItem item;
    for (int i = 0; PlatformTreeItemAt(window.handle, i, &item); ++i) {
        const DWORD length = PlatformTreeItemText(window.handle, item.handle, nullptr, 0);
        if (length > TreeItemTextLength) problems.push_back("a tree item of " + std::to_string(length) + " characters");
    }
}

}  // namespace

const std::vector<Target>& allTargets() {
    static const std::vector<Target> targets = {
        {"ase_import", runAseImport},
        {"max_import", runMaxImport},
        {"max_thumbnail", runMaxThumbnail},
        {"max_viewer", runMaxViewer},
    };
    return targets;
}

const Target* findTarget(const std::string& name) {
    for (const Target& target : allTargets()) {
        if (name == target.name) return &target;
    }
    return nullptr;
}

Problems runAseImport(const uint8_t* data, std::size_t size) {
    Session session;
    refhost::MemoryStream stream(data, size);
    const int32_t result = session.plugin().aseImport()(&stream, &session.scene(), 0, ImportModeScene);
    Problems problems = session.finish();
    if (result != 0 && result != 1) problems.push_back("ASEImport gave " + std::to_string(result));
    if (stream.closed()) problems.push_back("ASEImport closed the host's stream");
    return problems;
}

Problems runMaxImport(const uint8_t* data, std::size_t size) {
    Session session;
    const MemoryFile file("import", data, size);
    if (!file.written()) return {"cannot write " + file.path()};
    refhost::FileStream stream(file.path());
    const int32_t result = session.plugin().maxImport()(&stream, &session.scene(), 0, ImportModeScene);
    Problems problems = session.finish();
    if (result != 0 && result != 1) problems.push_back("MAXImport gave " + std::to_string(result));
    return problems;
}

Problems runMaxThumbnail(const uint8_t* data, std::size_t size) {
    Session session;
    refhost::MemoryStream stream(data, size);
    const auto block = reinterpret_cast<HGLOBAL>(static_cast<uintptr_t>(
        static_cast<uint32_t>(session.plugin().maxImport()(&stream, &session.scene(), 0, ImportModeThumbnail))));
    Problems problems;
    if (block) {
        // The block is the host's now: it must be a whole, unlocked block no
        // larger than the file that holds its bytes.
        const SIZE_T bytes = GlobalSize(block);
        if (bytes == 0 || bytes > size) problems.push_back("a thumbnail block of " + std::to_string(bytes) + " bytes");
        if (!GlobalLock(block)) problems.push_back("the thumbnail block does not lock");
        if (GlobalUnlock(block)) problems.push_back("the thumbnail block was handed over locked");
        if (GlobalFree(block)) problems.push_back("the thumbnail block does not free");
    }
    if (stream.closed()) problems.push_back("the thumbnail mode closed the host's stream");
    const Problems left = session.finish();
    problems.insert(problems.end(), left.begin(), left.end());
    return problems;
}

std::vector<unsigned char> viewerInput(const std::vector<unsigned char>& classDirectory,
                                       const std::vector<unsigned char>& scene) {
    std::vector<unsigned char> input;
    const auto length = static_cast<uint32_t>(classDirectory.size());
    for (int b = 0; b < 4; ++b) input.push_back(static_cast<unsigned char>(length >> (8 * b)));
    input.insert(input.end(), classDirectory.begin(), classDirectory.end());
    input.insert(input.end(), scene.begin(), scene.end());
    return input;
}

Problems runMaxViewer(const uint8_t* data, std::size_t size) {
    const std::size_t rest = size < 4 ? 0 : size - 4;
    const std::size_t directoryLength = size < 4 ? 0 : std::min<std::size_t>(le32(data), rest);
    const uint8_t* directory = data + (size < 4 ? size : 4);
    const testing_support::Bytes file = testing_support::writeCompound(
        {{"ClassDirectory3", testing_support::Bytes(directory, directory + directoryLength)},
         {"Scene", testing_support::Bytes(directory + directoryLength, directory + rest)}});

    Session session;
    session.app().settings().set("MAX", "DebugWindow", 1);
    const MemoryFile memoryFile("viewer", file.data(), file.size());
    if (!memoryFile.written()) return {"cannot write " + memoryFile.path()};
    refhost::FileStream stream(memoryFile.path());
    PlatformSetKeyDown(VK_SHIFT, TRUE);
    const int32_t result = session.plugin().maxImport()(&stream, &session.scene(), 0, ImportModeScene);
    PlatformSetKeyDown(VK_SHIFT, FALSE);
    Problems problems = session.finish();
    checkViewerItems(problems);
    if (result != 0 && result != 1) problems.push_back("MAXImport gave " + std::to_string(result));
    return problems;
}

}  // namespace fuzz_targets
