// A deterministic JSON dump of a scene and of what the plug-in told the host.
// Texts are UTF-8, each 8-bit byte read as Latin-1.
// Top-level keys: nodes, materials, messages, status, sceneInfo, settings,
// internalErrors, animation, endImportCalls, contractViolations, hostNotes.
// A primitive's node holds the mesh the host built for it (vertices, faces
// with their smoothing groups, texture vertices); its "primitive" entry says
// whether that mesh is "built" or a "placeholder".
#pragma once

#include <nlohmann/json.hpp>

#include "host/app.h"
#include "host/scene.h"

namespace refhost {

nlohmann::ordered_json dumpScene(const App& app, const Scene& scene);

// The kind a node shows in the dump and the summaries: its host kind, or for
// a plain node what it holds: "mesh", "shape", "group" or "helper".
const char* nodeKindName(const Scene& scene, const NodeData& node);

}  // namespace refhost
