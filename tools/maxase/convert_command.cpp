// maxase convert: imports a file through the plug-in into the reference host
// and writes the scene as glTF 2.0 (.gltf with the data embedded, or .glb).
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "gltf/export.h"
#include "import_run.h"
#include "scene_import.h"
#include "scene_summary.h"

namespace maxase {

namespace {

struct ConvertOptions {
    ImportOptions import;
    std::string output;
};

void printCounts(FILE* out, const std::string& path, const gltf::ExportCounts& c) {
    std::fprintf(out,
                 "Wrote %s\n  Nodes      %d (the root included)\n  Meshes     %d\n  Triangles  %lld\n"
                 "  Lines      %lld\n  Materials  %d\n  Cameras    %d\n  Lights     %d\n  Channels   %d\n",
                 path.c_str(), c.nodes, c.meshes, static_cast<long long>(c.triangles),
                 static_cast<long long>(c.lineStrips), c.materials, c.cameras, c.lights, c.animationChannels);
}

int runConvert(const GlobalOptions& global, const ConvertOptions& options) {
    gltf::FileFormat format;
    if (!gltf::formatForPath(options.output, format)) {
        std::fprintf(stderr, "maxase: the output must be a .gltf or .glb file: %s\n", options.output.c_str());
        return ExitUsage;
    }
    const ImportOptions& in = options.import;
    const auto session = openSession(global.pluginPath, in.settingsPath);
    if (!session) return ExitFailed;
    refhost::Scene scene(*session->app);
    ImportRun run;
    const int status = importScene(*session, {in.file, in.agree, in.settingsPath}, scene, run);
    if (status != ExitOk) return status;

    printSceneSummary(stdout, in.file, run.format, scene);
    printMessages(stdout, *session->app);
    printHostNotes(stdout, *session->app);
    std::printf("Result: %d\n", run.result);

    gltf::ExportOptions exportOptions;
    exportOptions.rootName = std::filesystem::path(in.file).stem().string();
    const gltf::Document document = gltf::exportScene(scene, exportOptions);
    if (!gltf::writeFile(document, options.output, format)) {
        std::fprintf(stderr, "maxase: cannot write %s\n", options.output.c_str());
        return ExitFailed;
    }
    printCounts(stdout, options.output, document.counts);
    if (!document.notes.empty()) {
        std::printf("Conversion notes (%zu):\n", document.notes.size());
        for (const std::string& note : document.notes) std::printf("  %s\n", note.c_str());
    }
    if (run.result != 1) std::fprintf(stderr, "maxase: the import failed; the file holds what it had read\n");
    return run.result == 1 ? ExitOk : ExitFailed;
}

}  // namespace

CommandRunner addConvertCommand(CLI::App& program, const GlobalOptions& options) {
    auto convertOptions = std::make_shared<ConvertOptions>();
    CLI::App* command = program.add_subcommand(
        "convert",
        "Import a .max or .ase file through the plug-in into the reference host and write the scene as glTF 2.0:\n"
        "a .gltf file with its data embedded, or a binary .glb file. Bitmaps are referred to by file name, not\n"
        "copied. The acknowledgement of a MAX import is asked and kept as for import.\n"
        "Exit status: 0 when the import succeeded and the file was written, 1 when the import failed (the file\n"
        "still holds what was read) or the file could not be written, 2 for a usage error.");
    command->add_option("file", convertOptions->import.file, "The scene file (.max or .ase)")
        ->required()
        ->check(CLI::ExistingFile);
    command->add_option("-o,--output", convertOptions->output, "The glTF file to write")
        ->required()
        ->type_name("OUT.gltf|OUT.glb");
    addAcknowledgementOptions(*command, convertOptions->import);
    return [&options, convertOptions] { return runConvert(options, *convertOptions); };
}

}  // namespace maxase
