// MAX import speed. For each file: the time of MAXImport into the reference
// host, against the time of a plain read of the same streams (the class
// directory and "Scene", opened through structured storage and read whole in
// 64 KiB blocks, either into one block used again and again, or into memory
// of each stream's size), all the best of several rounds, with MB/s of the
// streams.
//
//   max_import_bench [FILE.max ...]
//
// Without files it generates a scene of 200,000 faces, and adds the largest
// sample files with a "Scene" stream from the samples folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host/plugin_loader.h"
#include "host/scene.h"
#include "host/streams.h"
#include "platform/win32.h"
#include "support/max_writer.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Rounds = 7;
constexpr ULONG BlockSize = 64 * 1024;
constexpr std::size_t SamplesToTake = 3;
const char* const StreamNames[] = {"ClassDirectory", "ClassDirectory2", "ClassDirectory3", "Scene"};

std::vector<WCHAR> wide(const std::string& text) {
    std::vector<WCHAR> w(text.begin(), text.end());
    w.push_back(0);
    return w;
}

enum class ReadInto {
    Block,   // one 64 KiB block, used again and again
    Memory,  // a buffer of each stream's size, allocated for it: the bytes are then in memory
};

// Reads the streams whole; returns their bytes.
uint64_t plainRead(const std::string& path, ReadInto into) {
    IStorage* storage = nullptr;
    if (FAILED(StgOpenStorage(wide(path).data(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage))) {
        return 0;
    }
    static std::vector<unsigned char> buffer(BlockSize);
    uint64_t total = 0;
    for (const char* name : StreamNames) {
        IStream* stream = nullptr;
        if (FAILED(storage->OpenStream(wide(name).data(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream))) {
            continue;
        }
        LARGE_INTEGER zero;
        zero.QuadPart = 0;
        ULARGE_INTEGER size;
        stream->Seek(zero, STREAM_SEEK_END, &size);
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        std::unique_ptr<unsigned char[]> whole(into == ReadInto::Memory ? new unsigned char[size.QuadPart + 1]
                                                                        : nullptr);
        unsigned char* target = whole ? whole.get() : buffer.data();
        for (ULONG got = 0; SUCCEEDED(stream->Read(target, BlockSize, &got)) && got > 0;) {
            if (whole) target += got;
            total += got;
        }
        stream->Release();
    }
    storage->Release();
    return total;
}

// A scene of 20 meshes of 10,000 faces each, with their controllers.
std::string generatedScene() {
    using namespace testing_support;
    constexpr int Meshes = 20;
    constexpr int Columns = 51;  // 51 x 100 grid: 5,100 vertices, 2 x 50 x 99 = 9,900 faces, plus 100
    MaxWriter w;
    std::vector<int32_t> items;
    for (int m = 0; m < Meshes; ++m) {
        std::vector<float> xyz;
        std::vector<Face> faces;
        for (int r = 0; r < 100; ++r) {
            for (int c = 0; c < Columns; ++c) {
                xyz.insert(xyz.end(), {static_cast<float>(c), static_cast<float>(r), static_cast<float>(m)});
            }
        }
        for (int r = 0; r + 1 < 100; ++r) {
            for (int c = 0; c + 1 < Columns; ++c) {
                const auto v = static_cast<uint32_t>(r * Columns + c);
                faces.push_back({v, v + 1, v + Columns, 3});
                faces.push_back({v + 1, v + Columns + 1, v + Columns, 6});
            }
        }
        for (int extra = 0; faces.size() < 10000; ++extra) faces.push_back({0, 1, 2, 7});
        const int mesh = w.mesh(xyz, faces);
        const int controller =
            w.transform({w.position(0, 0, static_cast<float>(m)), w.rotation(0, 0, 0, 1), w.scale(1, 1, 1)});
        items.push_back(w.node("Grid" + std::to_string(m), -1, {controller, mesh}));
    }
    w.scene(items);
    const std::string path = (fs::temp_directory_path() / "max_import_bench_200k.max").string();
    const Bytes bytes = w.build({4096, false});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// The largest sample files with a "Scene" stream.
std::vector<std::string> largestReadableSamples() {
    const fs::path folder = fs::path(MAXASE_SAMPLES_DIR) / "max";
    std::vector<std::pair<uint64_t, std::string>> readable;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".max") continue;
        const uint64_t bytes = plainRead(entry.path().string(), ReadInto::Block);
        if (bytes > 0) readable.emplace_back(bytes, entry.path().string());
    }
    std::sort(readable.rbegin(), readable.rend());
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < readable.size() && i < SamplesToTake; ++i) paths.push_back(readable[i].second);
    return paths;
}

// The shortest of the rounds; each round times itself and returns seconds.
template <class Round>
double bestSeconds(Round round) {
    double best = 1e30;
    for (int i = 0; i < Rounds; ++i) best = std::min(best, round());
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files(argv + 1, argv + argc);
    if (files.empty()) {
        files.push_back(generatedScene());
        for (const std::string& sample : largestReadableSamples()) files.push_back(sample);
    }

    refhost::App app;
    app.settings().set("MAX", "Warning", 0);  // acknowledged once and for all
    app.settings().set("MAX", "Agree", 1);
    std::string error;
    const auto plugin = refhost::PluginLibrary::load(MAXASE_PLUGIN_PATH, error);
    if (!plugin) {
        std::fprintf(stderr, "cannot load the plug-in: %s\n", error.c_str());
        return 1;
    }
    plugin->initialize(app);

    std::printf("%-30s %8s %5s %6s | %-16s | %-16s | %-16s | %s\n", "", "", "", "", "read in blocks",
                "read into memory", "MAXImport", "import / read");
    std::printf("%-30s %8s %5s %6s | %7s %8s | %7s %8s | %7s %8s | %7s %7s\n", "file", "streams", "nodes", "faces",
                "ms", "MB/s", "ms", "MB/s", "ms", "MB/s", "blocks", "memory");
    bool withinTarget = true;
    for (const std::string& path : files) {
        const uint64_t bytes = plainRead(path, ReadInto::Block);
        if (bytes == 0) {
            std::fprintf(stderr, "%s: not a compound document\n", path.c_str());
            continue;
        }
        auto timedRead = [&](ReadInto into) {
            return bestSeconds([&] {
                const auto start = Clock::now();
                plainRead(path, into);
                return std::chrono::duration<double>(Clock::now() - start).count();
            });
        };
        const double blocks = timedRead(ReadInto::Block);
        const double memory = timedRead(ReadInto::Memory);
        std::size_t nodes = 0, faces = 0;
        int32_t result = 0;
        const double import = bestSeconds([&] {
            refhost::Scene scene(app);
            refhost::FileStream stream(path);
            const auto start = Clock::now();
            result = plugin->maxImport()(&stream, &scene, 0, ImportModeScene);
            const auto end = Clock::now();
            nodes = scene.nodes().size();
            faces = 0;
            for (const refhost::NodeData* node : scene.nodes()) faces += node->faces.size();
            app.clearLog();
            // Only the import counts, not the reference host's teardown of the scene.
            return std::chrono::duration<double>(end - start).count();
        });
        const double megabytes = static_cast<double>(bytes) / 1e6;
        std::printf("%-30s %8llu %5zu %6zu | %7.3f %8.1f | %7.3f %8.1f | %7.3f %8.1f | %7.2f %7.2f%s\n",
                    fs::path(path).filename().string().substr(0, 30).c_str(), static_cast<unsigned long long>(bytes),
                    nodes, faces, blocks * 1e3, megabytes / blocks, memory * 1e3, megabytes / memory, import * 1e3,
                    megabytes / import, import / blocks, import / memory, result == 1 ? "" : "  (import failed)");
        withinTarget = withinTarget && import <= 2 * memory;
    }
    std::printf("Target: the import takes at most twice the plain read into memory: %s\n",
                withinTarget ? "met" : "NOT met");
    return 0;
}
