// maxase tree: a MAX import in the plug-in's debug mode, which shows the
// file's structure in a tree window; the window's tree is printed as text,
// then the import's own report.
#include <strings.h>

#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "import_run.h"
#include "platform/control.h"
#include "tree_text.h"

namespace maxase {

namespace {

struct TreeOptions {
    ImportOptions import;
    int depth = -1;
    bool noImport = false;
};

// The window that the import created, when it is still open.
bool windowCreatedSince(int windowsBefore, PlatformWindowInfo& info) {
    const int count = PlatformWindowsCreated();
    return count > windowsBefore && PlatformWindowAt(count - 1, &info) && !info.destroyed;
}

// Shift held through the import, as the user starting it would.
class ShiftHeld {
 public:
    ShiftHeld() { PlatformSetKeyDown(VK_SHIFT, TRUE); }
    ~ShiftHeld() { PlatformSetKeyDown(VK_SHIFT, FALSE); }
    ShiftHeld(const ShiftHeld&) = delete;
    ShiftHeld& operator=(const ShiftHeld&) = delete;
};

int runTree(const GlobalOptions& global, const TreeOptions& options) {
    const std::string extension = std::filesystem::path(options.import.file).extension().string();
    if (strcasecmp(extension.c_str(), ".max") != 0) {
        std::fprintf(stderr, "maxase: tree shows the structure of .max files\n");
        return ExitUsage;
    }
    const int windowsBefore = PlatformWindowsCreated();
    ImportExtras extras;
    extras.before = [](Session& session) {
        // For this run only: the user's settings file keeps its own value.
        session.app->settings().setTransient("MAX", "DebugWindow", 1);
    };
    extras.report = [&](FILE* out) {
        PlatformWindowInfo info;
        if (!windowCreatedSince(windowsBefore, info)) {
            std::fprintf(stderr, "maxase: the import showed no structure tree\n");
            return;
        }
        TreeTextStyle style;
        style.unicode = terminalIsUtf8();
        style.maxDepth = options.depth;
        std::fprintf(out, "%s\n\n", printableText(info.title, style.unicode).c_str());
        printTree(out, info.handle, style);
        if (!options.noImport) std::fprintf(out, "\n");
    };
    extras.importReport = !options.noImport;
    const ShiftHeld shift;
    return runImport(global, options.import, extras);
}

}  // namespace

CommandRunner addTreeCommand(CLI::App& program, const GlobalOptions& options) {
    auto treeOptions = std::make_shared<TreeOptions>();
    CLI::App* command = program.add_subcommand(
        "tree",
        "Import a .max file in the plug-in's debug mode (the setting DebugWindow on, Shift held) and print\n"
        "the structure the plug-in shows: the class directory under CLASSES, then every chunk of the\n"
        "Scene stream with its identifier, size and decoded value or bytes. Then the import's report.\n"
        "The acknowledgement is asked as for 'maxase import'.\n"
        "Exit status: 0 when the import succeeded, 1 when it failed, 2 for a usage error.");
    command->add_option("file", treeOptions->import.file, "The MAX scene file")->required()->check(CLI::ExistingFile);
    command->add_option("--depth", treeOptions->depth, "Print the tree down to depth N only (0: the top items)")
        ->type_name("N")
        ->check(CLI::NonNegativeNumber);
    command->add_flag("--no-import", treeOptions->noImport, "Print the tree only, not the import's report");
    addAcknowledgementOptions(*command, treeOptions->import);
    return [&options, treeOptions] { return runTree(options, *treeOptions); };
}

}  // namespace maxase
