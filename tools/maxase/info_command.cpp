// maxase info: what the plug-in says of itself and what it registers.
#include <cstdio>

#include "commands.h"
#include "session.h"

namespace maxase {

namespace {

std::string describeFlags(uint32_t flags) {
    std::string text;
    if (flags & ImporterFlagThumbnail) text += ", thumbnails";
    return text;
}

int runInfo(const GlobalOptions& options) {
    const auto session = openSession(options.pluginPath);
    if (!session) return ExitFailed;
    const refhost::PluginLibrary& plugin = *session->plugin;
    const refhost::App& app = *session->app;

    std::printf("Plug-in      %s\n", plugin.path().c_str());
    std::printf("Description  %s\n", plugin.description().c_str());
    std::printf("Version      %s\n", plugin.version().c_str());
    std::printf("Message 16   %d\n", plugin.queryValue());
    std::printf("Initialise   %d\n", session->initializeResult);
    std::printf("\nImporters registered (in order):\n");
    for (const refhost::Registration& r : app.registrations()) {
        const char* entry = r.importProc == plugin.maxImport()   ? "MAXImport"
                            : r.importProc == plugin.aseImport() ? "ASEImport"
                                                                 : "unknown";
        std::printf("  %-4s %-22s flags 0x%02X%s, icon 0x%X, entry %s, record %u bytes, reserved %u %u\n",
                    r.extension.c_str(), ("\"" + r.description + "\"").c_str(), r.flags, describeFlags(r.flags).c_str(),
                    r.icon, entry, r.structSize, r.reserved1, r.reserved2);
    }
    for (const refhost::LoadedIcon& icon : app.icons()) {
        std::printf("\nIcon group \"%s\" (0x%X):", icon.group.c_str(), icon.handle);
        for (const refhost::IconImage& image : icon.images) {
            std::printf("  %dx%d %d-bit", image.width, image.height, image.bitCount);
        }
        std::printf("\n");
    }
    return ExitOk;
}

}  // namespace

CommandRunner addInfoCommand(CLI::App& program, const GlobalOptions& options) {
    program.add_subcommand("info", "Show the plug-in's version, description and the importers it registers");
    return [&options] { return runInfo(options); };
}

}  // namespace maxase
