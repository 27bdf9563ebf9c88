// Speed of the ASE import: writes a large, mesh-heavy ASE file, imports it
// through the plug-in's ASEImport into the reference host and prints MB/s,
// beside the MB/s of a plain pass that only reads the same file through the
// host stream in 32768-byte blocks, the ceiling of any import.
//
//   ase_import_bench [--megabytes N] [--runs N] [--plugin PATH] [--keep | --file PATH]
//
// --keep leaves the file written in the temporary folder; --file imports a
// file written before instead of writing one.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/plugin_loader.h"
#include "host/scene.h"
#include "host/streams.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    long megabytes = 120;
    int runs = 3;
    std::string plugin = MAXASE_PLUGIN_PATH;
    bool keep = false;
    std::string file;  // a file written before, imported as it is
};

// Numbers that look like an exporter's, from a fixed sequence.
class Numbers {
 public:
    double next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 40) / static_cast<double>(1 << 24) * 200.0 - 100.0;
    }
    unsigned below(unsigned n) { return static_cast<unsigned>((next() + 100.0) / 200.0 * n) % n; }

 private:
    unsigned long long state_ = 12345;
};

class Writer {
 public:
    explicit Writer(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
    // The file goes to the disk before it is timed: writing back dirty pages
    // while the import runs would slow the import down.
    ~Writer() {
        if (!file_) return;
        std::fflush(file_);
        fsync(fileno(file_));
        std::fclose(file_);
    }
    bool ok() const { return file_ != nullptr; }
    void print(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        written_ += std::vfprintf(file_, format, args);
        va_end(args);
    }
    long long written() const { return written_; }

 private:
    std::FILE* file_;
    long long written_ = 0;
};

// One geometry object: vertices, faces, texture vertices and faces, and a
// sampled position and rotation track.
void writeObject(Writer& out, Numbers& numbers, int index, int vertices, int samples) {
    const int faces = vertices * 2;
    out.print("*GEOMOBJECT {\n\t*NODE_NAME \"Object%02d\"\n\t*NODE_TM {\n\t\t*NODE_NAME \"Object%02d\"\n", index,
              index);
    out.print("\t\t*INHERIT_POS 0 0 0\n\t\t*INHERIT_ROT 0 0 0\n\t\t*INHERIT_SCL 0 0 0\n");
    out.print("\t\t*TM_ROW0 1.0000\t0.0000\t0.0000\n\t\t*TM_ROW1 0.0000\t1.0000\t0.0000\n");
    out.print("\t\t*TM_ROW2 0.0000\t0.0000\t1.0000\n\t\t*TM_ROW3 %.4f\t%.4f\t%.4f\n\t}\n", numbers.next(),
              numbers.next(), numbers.next());
    out.print("\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX %d\n\t\t*MESH_NUMFACES %d\n\t\t*MESH_VERTEX_LIST {\n",
              vertices, faces);
    for (int i = 0; i < vertices; ++i) {
        out.print("\t\t\t*MESH_VERTEX %5d\t%.4f\t%.4f\t%.4f\n", i, numbers.next(), numbers.next(), numbers.next());
    }
    out.print("\t\t}\n\t\t*MESH_FACE_LIST {\n");
    for (int i = 0; i < faces; ++i) {
        out.print(
            "\t\t\t*MESH_FACE %5d:    A: %5u B: %5u C: %5u AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING %d "
            "\t*MESH_MTLID "
            "%d\n",
            i, numbers.below(vertices), numbers.below(vertices), numbers.below(vertices), 1 + i % 8, i % 4);
    }
    out.print("\t\t}\n\t\t*MESH_NUMTVERTEX %d\n\t\t*MESH_TVERTLIST {\n", vertices);
    for (int i = 0; i < vertices; ++i) {
        out.print("\t\t\t*MESH_TVERT %d\t%.4f\t%.4f\t0.0000\n", i, (numbers.next() + 100) / 200,
                  (numbers.next() + 100) / 200);
    }
    out.print("\t\t}\n\t\t*MESH_NUMTVFACES %d\n\t\t*MESH_TFACELIST {\n", faces);
    for (int i = 0; i < faces; ++i) {
        out.print("\t\t\t*MESH_TFACE %d\t%u\t%u\t%u\n", i, numbers.below(vertices), numbers.below(vertices),
                  numbers.below(vertices));
    }
    out.print("\t\t}\n\t}\n\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n");
    out.print("\t*TM_ANIMATION {\n\t\t*NODE_NAME \"Object%02d\"\n\t\t*CONTROL_POS_TRACK {\n", index);
    for (int i = 0; i < samples; ++i) {
        out.print("\t\t\t*CONTROL_POS_SAMPLE %d\t%.4f\t%.4f\t%.4f\n", i * 160, numbers.next(), numbers.next(),
                  numbers.next());
    }
    out.print("\t\t}\n\t\t*CONTROL_ROT_TRACK {\n");
    for (int i = 0; i < samples; ++i) {
        out.print("\t\t\t*CONTROL_ROT_SAMPLE %d\t%.4f\t%.4f\t%.4f\t%.4f\n", i * 160, numbers.next() / 100,
                  numbers.next() / 100, numbers.next() / 100, numbers.next() / 50);
    }
    out.print("\t\t}\n\t}\n\t*MATERIAL_REF 0\n}\n");
}

long long writeScene(const std::string& path, long megabytes) {
    Writer out(path);
    if (!out.ok()) return -1;
    Numbers numbers;
    out.print("*3DSMAX_ASCIIEXPORT\t200\n*COMMENT \"ase_import_bench\"\n*SCENE {\n\t*SCENE_FILENAME \"bench.max\"\n");
    out.print(
        "\t*SCENE_FIRSTFRAME 0\n\t*SCENE_LASTFRAME 4000\n\t*SCENE_FRAMESPEED 30\n\t*SCENE_TICKSPERFRAME 160\n}\n");
    out.print("*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n\t\t*MATERIAL_NAME \"Bench\"\n");
    out.print("\t\t*MATERIAL_DIFFUSE 0.5000\t0.5000\t0.5000\n\t\t*NUMSUBMTLS 4\n");
    for (int i = 0; i < 4; ++i) out.print("\t\t*SUBMATERIAL %d {\n\t\t\t*MATERIAL_NAME \"Sub%d\"\n\t\t}\n", i, i);
    out.print("\t}\n}\n");
    for (int index = 0; out.written() < megabytes * 1000000; ++index) writeObject(out, numbers, index, 50000, 4000);
    return out.written();
}

double megabytesPerSecond(long long bytes, Clock::duration elapsed) {
    return static_cast<double>(bytes) / 1e6 / std::chrono::duration<double>(elapsed).count();
}

// The CPU time of this thread: on a machine shared with other work it tells
// what the import costs, where the wall clock also counts the waiting.
Clock::duration threadTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// The ceiling: the file read through the host stream in the reader's blocks.
Clock::duration plainPass(const std::string& path) {
    refhost::FileStream stream(path);
    std::vector<unsigned char> buffer(32768);
    const auto start = Clock::now();
    long long sum = 0;
    for (;;) {
        const int32_t n = stream.Read(buffer.data(), static_cast<int32_t>(buffer.size()));
        if (n > 0) sum += buffer[static_cast<std::size_t>(n) - 1];
        if (n != static_cast<int32_t>(buffer.size())) break;
    }
    const auto elapsed = Clock::now() - start;
    if (sum == 42) std::printf(" ");  // keeps the loop's reads
    return elapsed;
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keep") {
            options.keep = true;
        } else if (i + 1 < argc && arg == "--megabytes") {
            options.megabytes = std::atol(argv[++i]);
        } else if (i + 1 < argc && arg == "--runs") {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (i + 1 < argc && arg == "--plugin") {
            options.plugin = argv[++i];
        } else if (i + 1 < argc && arg == "--file") {
            options.file = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--megabytes N] [--runs N] [--plugin PATH] [--keep | --file PATH]\n",
                         argv[0]);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 2;
    const bool written = options.file.empty();
    const std::string path =
        written ? (std::filesystem::temp_directory_path() / ("ase_import_bench." + std::to_string(getpid()) + ".ase"))
                      .string()
                : options.file;
    std::error_code error;
    const long long size =
        written ? writeScene(path, options.megabytes) : static_cast<long long>(std::filesystem::file_size(path, error));
    if (size < 0 || error) {
        std::fprintf(stderr, "cannot %s %s\n", written ? "write" : "read", path.c_str());
        return 1;
    }
    std::string reason;
    const auto plugin = refhost::PluginLibrary::load(options.plugin, reason);
    if (!plugin) {
        std::fprintf(stderr, "cannot load the plug-in: %s\n", reason.c_str());
        return 1;
    }
    refhost::App app;
    plugin->initialize(app);
    std::printf("file: %s, %.1f MB\n", path.c_str(), static_cast<double>(size) / 1e6);

    double bestPlain = 0, bestImport = 0, bestImportCpu = 0;
    for (int run = 0; run < options.runs; ++run) {
        const double plain = megabytesPerSecond(size, plainPass(path));
        refhost::FileStream stream(path);
        auto scene = std::make_unique<refhost::Scene>(app);
        const auto start = Clock::now();
        const auto startCpu = threadTime();
        const int32_t result = plugin->aseImport()(&stream, scene.get(), 0, ImportModeScene);
        const double importCpu = megabytesPerSecond(size, threadTime() - startCpu);
        const double import = megabytesPerSecond(size, Clock::now() - start);
        std::size_t vertices = 0, faces = 0, keys = 0;
        for (const refhost::NodeData* node : scene->nodes()) {
            vertices += node->vertices.size();
            faces += node->faces.size();
        }
        if (const refhost::AnimationData* animation = scene->animation()) {
            for (const refhost::TracksData* tracks : animation->tracks) keys += tracks->keys.size();
        }
        std::printf(
            "run %d: import %.1f MB/s (%.1f MB/s of CPU time; result %d: %zu nodes, %zu vertices, %zu faces, "
            "%zu keys), plain read %.1f MB/s\n",
            run + 1, import, importCpu, result, scene->nodes().size(), vertices, faces, keys, plain);
        bestPlain = std::max(bestPlain, plain);
        bestImport = std::max(bestImport, import);
        bestImportCpu = std::max(bestImportCpu, importCpu);
        app.clearLog();
    }
    std::printf("best: import %.1f MB/s (%.1f MB/s of CPU time), plain read through the host stream %.1f MB/s\n",
                bestImport, bestImportCpu, bestPlain);
    if (written && !options.keep) std::filesystem::remove(path);
    return 0;
}
