#include "ase_text.h"

#include "ase/assembly.h"
#include "frame/module_state.h"

namespace ase_testing {

AseText::AseText(const std::string& text, const std::function<void(refhost::MemoryStream&)>& prepare)
    : stream(std::make_unique<refhost::MemoryStream>(std::vector<unsigned char>(text.begin(), text.end()))) {
    if (prepare) prepare(*stream);
    hostApp = &app;
    app.setTracing(true);
    InitReader(reader, stream.get(), &scene);
    FillFirstBuffer(reader);
}

AseText::~AseText() {
    // The assembly consumes the parent links the parse left on the nodes.
    for (const refhost::NodeData* node : scene.nodes()) {
        AssembleNode(node->self, nullptr, static_cast<int32_t>(scene.nodes().size()));
    }
    DestroyReader(reader);
    hostApp = nullptr;
}

std::vector<std::string> AseText::remainingTokens() {
    std::vector<std::string> tokens;
    while (NextToken(reader)) tokens.emplace_back(reader.token);
    return tokens;
}

std::vector<std::string> AseText::traceWith(const std::string& text) const {
    std::vector<std::string> lines;
    for (const std::string& line : app.trace()) {
        if (line.find(text) != std::string::npos) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> AseText::messages() const {
    std::vector<std::string> texts;
    for (const refhost::Message& m : app.messages()) texts.push_back(std::to_string(m.level) + ": " + m.text);
    return texts;
}

FaceFields faceFields(const HostFace& face) {
    return {face.a, face.b, face.c, face.ta, face.tb, face.tc, face.flags, face.material};
}

}  // namespace ase_testing
