// A reader over a small ASE text, with a fresh reference host as the
// plug-in's host, for unit tests of the reader and the parsers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ase/reader.h"
#include "host/app.h"
#include "host/scene.h"
#include "host/streams.h"

namespace ase_testing {

class AseText {
 public:
    // The buffer is filled as the scene assembly fills it; tracing is on.
    // prepare, when given, sees the stream before the first Read.
    explicit AseText(const std::string& text, const std::function<void(refhost::MemoryStream&)>& prepare = nullptr);
    ~AseText();
    AseText(const AseText&) = delete;
    AseText& operator=(const AseText&) = delete;

    AseReader reader;
    refhost::App app;
    refhost::Scene scene{app};
    std::unique_ptr<refhost::MemoryStream> stream;

    // The tokens NextToken gives until the end of input.
    std::vector<std::string> remainingTokens();
    // The trace lines that contain the given text, in order.
    std::vector<std::string> traceWith(const std::string& text) const;
    const refhost::NodeData& node(std::size_t index) const { return *scene.nodes().at(index); }
    // Messages as "level: text".
    std::vector<std::string> messages() const;
};

// The text of a face's fields, copied out of the packed record.
struct FaceFields {
    int a, b, c, ta, tb, tc, flags;
    uint32_t material;
};
FaceFields faceFields(const HostFace& face);

}  // namespace ase_testing
