// maxase import: runs an import through the plug-in's registered entry point
// into the reference host, and reports the scene, the messages and the result.
#include <cstdio>
#include <fstream>

#include "commands.h"
#include "host/dump.h"
#include "host/scene.h"
#include "import_run.h"
#include "scene_import.h"
#include "scene_summary.h"
#include "session.h"

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
    const auto session = openSession(global.pluginPath, options.settingsPath);
    if (!session) return ExitFailed;
    refhost::App& app = *session->app;
    if (extras.before) extras.before(*session);
    refhost::Scene scene(app);
    ImportRun run;
    const int status = importScene(*session, {options.file, options.agree, options.settingsPath}, scene, run);
    if (status != ExitOk) return status;

    // With --json - the dump alone goes to standard output, the report to standard error.
    FILE* report = options.jsonPath == "-" ? stderr : stdout;
    if (extras.report) extras.report(report);
    if (extras.importReport) {
        printSceneSummary(report, options.file, run.format, scene);
        printMessages(report, app);
        printHostNotes(report, app);
        std::fprintf(report, "Result: %d\n", run.result);
    }
    if (!options.jsonPath.empty() && !writeJson(refhost::dumpScene(app, scene), options.jsonPath)) {
        std::fprintf(stderr, "maxase: cannot write %s\n", options.jsonPath.c_str());
        return ExitFailed;
    }
    return run.result == 1 ? ExitOk : ExitFailed;
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
