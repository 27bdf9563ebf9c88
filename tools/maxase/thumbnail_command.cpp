// maxase thumbnail: the picture that a MAX file stores, as the host gets it
// from the plug-in's thumbnail mode, written to a file.
#include <cstdio>
#include <fstream>

#include "commands.h"
#include "host/scene.h"
#include "host/streams.h"
#include "scene_summary.h"
#include "session.h"

namespace maxase {

namespace {

struct ThumbnailOptions {
    std::string file;
    std::string output;
};

int runThumbnail(const GlobalOptions& global, const ThumbnailOptions& options) {
    const auto session = openSession(global.pluginPath);
    if (!session) return ExitFailed;
    refhost::App& app = *session->app;
    refhost::FileStream stream(options.file);
    if (!stream.isOpen()) {
        std::fprintf(stderr, "maxase: cannot open %s\n", options.file.c_str());
        return ExitFailed;
    }
    refhost::Scene scene(app);
    const int32_t result = session->plugin->maxImport()(&stream, &scene, 0, ImportModeThumbnail);
    if (!app.messages().empty()) printMessages(stderr, app);
    if (result == 0) {
        std::fprintf(stderr, "maxase: %s holds no thumbnail\n", options.file.c_str());
        return ExitFailed;
    }
    // The block belongs to the host now: this program is the host.
    auto block = reinterpret_cast<HGLOBAL>(static_cast<uintptr_t>(result));
    const SIZE_T size = GlobalSize(block);
    const void* bytes = GlobalLock(block);
    std::ofstream out(options.output, std::ios::binary | std::ios::trunc);
    if (bytes) out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    GlobalUnlock(block);
    GlobalFree(block);
    if (!bytes || !out) {
        std::fprintf(stderr, "maxase: cannot write %s\n", options.output.c_str());
        return ExitFailed;
    }
    std::printf("%s: %zu bytes of thumbnail written to %s\n", options.file.c_str(), static_cast<std::size_t>(size),
                options.output.c_str());
    return ExitOk;
}

}  // namespace

CommandRunner addThumbnailCommand(CLI::App& program, const GlobalOptions& options) {
    auto thumbnailOptions = std::make_shared<ThumbnailOptions>();
    CLI::App* command = program.add_subcommand(
        "thumbnail",
        "Write the bytes of the thumbnail that a .max file stores (its \"ThumbnailImage\" stream), as the\n"
        "host gets them from the plug-in.\n"
        "Exit status: 0 when they were written, 1 when the file holds none or they cannot be written.");
    command->add_option("file", thumbnailOptions->file, "The MAX scene file")->required()->check(CLI::ExistingFile);
    command->add_option("-o,--output", thumbnailOptions->output, "Where to write the bytes")->required();
    return [&options, thumbnailOptions] { return runThumbnail(options, *thumbnailOptions); };
}

}  // namespace maxase
