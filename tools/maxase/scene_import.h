// One import as a host runs it: the importer registered for the file's
// extension, called with a stream on the file and a new scene. A MAX
// import's acknowledgement is answered on the terminal, or by --agree.
#pragma once

#include <string>

#include "host/scene.h"
#include "session.h"

namespace maxase {

struct ImportRequest {
    std::string file;
    bool agree = false;        // answer the acknowledgement with "I Agree" without asking
    std::string settingsPath;  // where the session keeps its settings, for the messages
};

struct ImportRun {
    std::string format;  // the importer's description
    int32_t result = 0;  // what the entry point returned
};

// Runs the import into scene. Returns ExitOk when the importer ran (whatever
// its result), else prints the reason and returns ExitUsage (no importer for
// the extension) or ExitFailed (the file cannot be opened). Settings that
// cannot be saved, and MAX imports declined for good, are told on stderr.
int importScene(Session& session, const ImportRequest& request, refhost::Scene& scene, ImportRun& run);

}  // namespace maxase
