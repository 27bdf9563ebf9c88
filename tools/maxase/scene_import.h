// One import as a host runs it: the importer registered for the file's
// extension, called with a stream on the file and a new scene.
#pragma once

#include <string>

#include "host/scene.h"
#include "session.h"

namespace maxase {

struct ImportRun {
    std::string format;  // the importer's description
    int32_t result = 0;  // what the entry point returned
};

// Runs the import into scene. Returns ExitOk when the importer ran (whatever
// its result), else prints the reason and returns ExitUsage (no importer for
// the extension) or ExitFailed (the file cannot be opened).
int importScene(Session& session, const std::string& file, refhost::Scene& scene, ImportRun& run);

// Answers the MAX importer's acknowledgement for the user, as the host's
// settings would after "agree" with "show again" cleared.
void agreeToMaxImport(Session& session);

}  // namespace maxase
