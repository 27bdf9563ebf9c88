#include "session.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "host/contract_checks.h"
#include "platform/control.h"
#include "support/scene_check.h"

namespace fuzz_targets {

namespace {

// Loaded once per process and never unloaded, as a host keeps a plug-in.
const refhost::PluginLibrary& loadedPlugin() {
    static const std::unique_ptr<refhost::PluginLibrary> plugin = [] {
        std::string error;
        auto loaded = refhost::PluginLibrary::load(MAXASE_PLUGIN_PATH, error);
        if (!loaded) {
            std::fprintf(stderr, "cannot load the plug-in %s: %s\n", MAXASE_PLUGIN_PATH, error.c_str());
            std::abort();
        }
        return loaded;
    }();
    return *plugin;
}

SessionHooks& hooks() {
    static SessionHooks installed;
    return installed;
}

// /dev/shm where there is one, else the temporary folder.
std::string memoryFolder() {
    if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

}  // namespace

void loadPlugin() {
    loadedPlugin();
}

void setSessionHooks(SessionHooks installed) {
    hooks() = std::move(installed);
}

Session::Session() : app_(std::make_unique<refhost::App>()) {
    refhost::clearContractViolations();
    // The acknowledgement of a MAX import has been given once and for all.
    app_->settings().set("MAX", "Warning", 0);
    app_->settings().set("MAX", "Agree", 1);
    plugin().initialize(*app_);
    scene_ = std::make_unique<refhost::Scene>(*app_);
    heapBlocks_ = PlatformHeapBlocksInUse();
    globalBlocks_ = PlatformGlobalBlocksInUse();
    if (hooks().before) hooks().before(*app_);
}

Session::~Session() {
    refhost::clearContractViolations();
}

const refhost::PluginLibrary& Session::plugin() const {
    return loadedPlugin();
}

Problems Session::finish() {
    if (hooks().after) hooks().after(*app_);
    Problems problems = testing_support::sceneProblems(*scene_);
    const int heap = PlatformHeapBlocksInUse() - heapBlocks_;
    if (heap != 0) problems.push_back(std::to_string(heap) + " heap blocks not freed");
    const int global = PlatformGlobalBlocksInUse() - globalBlocks_;
    if (global != 0) problems.push_back(std::to_string(global) + " global memory blocks not freed");
    if (app_->outstandingHelpers() != 0) {
        problems.push_back(std::to_string(app_->outstandingHelpers()) + " host helpers not released");
    }
    return problems;
}

MemoryFile::MemoryFile(const char* tag, const void* data, std::size_t size)
    : path_(memoryFolder() + "/maxase-" + tag + "-" + std::to_string(getpid()) + ".max") {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (!file) return;
    written_ = std::fwrite(data, 1, size, file) == size;
    written_ = std::fclose(file) == 0 && written_;
}

MemoryFile::~MemoryFile() {
    std::remove(path_.c_str());
}

}  // namespace fuzz_targets
