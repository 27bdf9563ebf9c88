// maxase import: runs an import through the plug-in's registered entry point
// into the reference host, and reports the scene, the messages and the result.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "commands.h"
#include "host/dump.h"
#include "host/scene.h"
#include "host/streams.h"
#include "import_run.h"
#include "scene_summary.h"
#include "session.h"
#include "terminal_dialogs.h"

namespace maxase {

namespace {

bool writeJson(const nlohmann::ordered_json& json, const std::string& path) {
    const std::string text = json.dump(1) + "\n";
    if (path == "-") {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return true;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

int runImport(const GlobalOptions& global, const ImportOptions& options, const ImportExtras& extras) {
    const std::string extension = std::filesystem::path(options.file).extension().string();
    const auto session = openSession(global.pluginPath, options.settingsPath);
    if (!session) return ExitFailed;
    refhost::App& app = *session->app;
    if (extras.before) extras.before(*session);
    const refhost::Registration* importer = extension.size() > 1 ? app.registrationFor(extension.substr(1)) : nullptr;
    if (!importer) {
        std::fprintf(stderr, "maxase: no importer is registered for '%s' files\n", extension.c_str());
        return ExitUsage;
    }
    refhost::FileStream stream(options.file);
    if (!stream.isOpen()) {
        std::fprintf(stderr, "maxase: cannot open %s\n", options.file.c_str());
        return ExitFailed;
    }
    refhost::Scene scene(app);
    int32_t result = 0;
    {
        // The acknowledgement of a MAX import is answered on the terminal, or by --agree.
        const TerminalDialogs dialogs(options.agree ? std::optional<PlatformDialogAnswer>({IDOK, 0, BST_UNCHECKED})
                                                    : std::nullopt);
        result = importer->importProc(&stream, &scene, 0, ImportModeScene);
    }
    if (!app.settings().saved()) {
        std::fprintf(stderr, "maxase: cannot write the settings to %s\n", options.settingsPath.c_str());
    }
    if (result == 0 && app.settings().get("MAX", "Warning", 1) == 0 && app.settings().get("MAX", "Agree", 0) == 0) {
        std::fprintf(stderr,
                     "maxase: MAX imports were declined for good (Warning=0, Agree=0 in section [MAX] of %s);\n"
                     "        remove those settings to be asked again.\n",
                     options.settingsPath.c_str());
    }

    // With --json - the dump alone goes to standard output, the report to standard error.
    FILE* report = options.jsonPath == "-" ? stderr : stdout;
    if (extras.report) extras.report(report);
    if (extras.importReport) {
        printSceneSummary(report, options.file, importer->description, scene);
        printMessages(report, app);
        std::fprintf(report, "Result: %d\n", result);
    }
    if (!options.jsonPath.empty() && !writeJson(refhost::dumpScene(app, scene), options.jsonPath)) {
        std::fprintf(stderr, "maxase: cannot write %s\n", options.jsonPath.c_str());
        return ExitFailed;
    }
    return result == 1 ? ExitOk : ExitFailed;
}

void addAcknowledgementOptions(CLI::App& command, ImportOptions& options) {
    command.add_flag("--agree", options.agree,
                     "Answer the acknowledgement of a MAX import with \"I Agree\" without asking");
    command
        .add_option("--settings", options.settingsPath,
                    "The INI file that keeps the host's settings, such as the acknowledgement's")
        ->capture_default_str()
        ->type_name("PATH");
}

CommandRunner addImportCommand(CLI::App& program, const GlobalOptions& options) {
    auto importOptions = std::make_shared<ImportOptions>();
    CLI::App* command = program.add_subcommand(
        "import",
        "Import a .max or .ase file through the plug-in into the reference host, and show the scene.\n"
        "Before a MAX import the plug-in asks for an acknowledgement; it is shown here and answered on\n"
        "the terminal, and its settings are kept in the --settings file.\n"
        "Exit status: 0 when the import succeeded, 1 when it failed, 2 for a usage error.");
    command->add_option("file", importOptions->file, "The scene file (.max or .ase)")
        ->required()
        ->check(CLI::ExistingFile);
    command->add_option("--json", importOptions->jsonPath, "Write the scene dump as JSON to PATH, or - for stdout")
        ->type_name("PATH|-");
    addAcknowledgementOptions(*command, *importOptions);
    return [&options, importOptions] { return runImport(options, *importOptions); };
}

}  // namespace maxase
