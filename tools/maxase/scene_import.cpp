#include "scene_import.h"

#include <cstdio>
#include <filesystem>

#include "host/streams.h"

namespace maxase {

int importScene(Session& session, const std::string& file, refhost::Scene& scene, ImportRun& run) {
    const std::string extension = std::filesystem::path(file).extension().string();
    const refhost::Registration* importer =
        extension.size() > 1 ? session.app->registrationFor(extension.substr(1)) : nullptr;
    if (!importer) {
        std::fprintf(stderr, "maxase: no importer is registered for '%s' files\n", extension.c_str());
        return ExitUsage;
    }
    refhost::FileStream stream(file);
    if (!stream.isOpen()) {
        std::fprintf(stderr, "maxase: cannot open %s\n", file.c_str());
        return ExitFailed;
    }
    run.format = importer->description;
    run.result = importer->importProc(&stream, &scene, 0, ImportModeScene);
    return ExitOk;
}

void agreeToMaxImport(Session& session) {
    session.app->settings().set("MAX", "Warning", 0);
    session.app->settings().set("MAX", "Agree", 1);
}

}  // namespace maxase
