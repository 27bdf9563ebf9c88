#include "import_support.h"

namespace ase_testing {

Import::Import(const std::string& text, bool recordCalls)
    : stream(std::vector<unsigned char>(text.begin(), text.end())) {
    stream.recordCalls(recordCalls);
    harness.host().setTracing(true);
    result = harness.library().aseImport()(&stream, &scene, 0, ImportModeScene);
}

std::vector<std::string> Import::traceWith(const std::string& text) const {
    std::vector<std::string> lines;
    for (const std::string& line : harness.app->trace()) {
        if (line.find(text) != std::string::npos) lines.push_back(line);
    }
    return lines;
}

}  // namespace ase_testing
