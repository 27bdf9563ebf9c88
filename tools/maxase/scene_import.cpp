#include "scene_import.h"

#include <cstdio>
#include <filesystem>

#include "host/streams.h"
#include "terminal_dialogs.h"

namespace maxase {

int importScene(Session& session, const ImportRequest& request, refhost::Scene& scene, ImportRun& run) {
    refhost::App& app = *session.app;
    const std::string extension = std::filesystem::path(request.file).extension().string();
    const refhost::Registration* importer = extension.size() > 1 ? app.registrationFor(extension.substr(1)) : nullptr;
    if (!importer) {
        std::fprintf(stderr, "maxase: no importer is registered for '%s' files\n", extension.c_str());
        return ExitUsage;
    }
    refhost::FileStream stream(request.file);
    if (!stream.isOpen()) {
        std::fprintf(stderr, "maxase: cannot open %s\n", request.file.c_str());
        return ExitFailed;
    }
    run.format = importer->description;
    {
        const TerminalDialogs dialogs(request.agree ? std::optional<PlatformDialogAnswer>({IDOK, 0, BST_UNCHECKED})
                                                    : std::nullopt);
        run.result = importer->importProc(&stream, &scene, 0, ImportModeScene);
    }
    if (!app.settings().saved()) {
        std::fprintf(stderr, "maxase: cannot write the settings to %s\n", request.settingsPath.c_str());
    }
    if (run.result == 0 && app.settings().get("MAX", "Warning", 1) == 0 && app.settings().get("MAX", "Agree", 0) == 0) {
        std::fprintf(stderr,
                     "maxase: MAX imports were declined for good (Warning=0, Agree=0 in section [MAX] of %s);\n"
                     "        remove those settings to be asked again.\n",
                     request.settingsPath.c_str());
    }
    return ExitOk;
}

}  // namespace maxase
