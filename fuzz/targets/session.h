// One import's surroundings for a fuzz target: a new host with an empty
// scene, the plug-in initialised with it, and the checks that follow the
// import.
#pragma once

#include <memory>
#include <string>

#include "fuzz_targets.h"
#include "host/app.h"
#include "host/plugin_loader.h"
#include "host/scene.h"

namespace fuzz_targets {

class Session {
 public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    refhost::App& app() { return *app_; }
    refhost::Scene& scene() { return *scene_; }
    const refhost::PluginLibrary& plugin() const;

    // What the import left wrong: plug-in memory or host helpers not given
    // back, a scene that is not well formed.
    Problems finish();

 private:
    std::unique_ptr<refhost::App> app_;
    std::unique_ptr<refhost::Scene> scene_;
    int heapBlocks_;
    int globalBlocks_;
};

// A file on a memory-backed path that holds bytes while it lives.
class MemoryFile {
 public:
    MemoryFile(const char* tag, const void* data, std::size_t size);
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    const std::string& path() const { return path_; }
    bool written() const { return written_; }

 private:
    std::string path_;
    bool written_ = false;
};

}  // namespace fuzz_targets
