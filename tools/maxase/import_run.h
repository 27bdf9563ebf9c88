// The import that maxase import runs, for the commands that run the same
// import with more around it (maxase tree).
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "commands.h"
#include "session.h"

namespace maxase {

struct ImportOptions {
    std::string file;
    std::string jsonPath;
    std::string settingsPath = defaultSettingsPath();
    bool agree = false;
};

// What a command adds around the import.
struct ImportExtras {
    std::function<void(Session&)> before;  // after the plug-in is loaded, before the import
    std::function<void(FILE*)> report;     // printed ahead of the import's own report
    bool importReport = true;              // the scene summary, the messages and the result
};

// --agree and --settings: how the acknowledgement of a MAX import is answered.
void addAcknowledgementOptions(CLI::App& command, ImportOptions& options);

// Runs the import and reports it; returns the exit status.
int runImport(const GlobalOptions& global, const ImportOptions& options, const ImportExtras& extras = {});

}  // namespace maxase
