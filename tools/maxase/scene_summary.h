// Readable reports of an imported scene and of the plug-in's messages.
#pragma once

#include <cstdio>
#include <string>

#include "host/app.h"
#include "host/scene.h"

namespace maxase {

// Nodes by kind, vertices, faces, materials, cameras, lights and keys.
void printSceneSummary(FILE* out, const std::string& file, const std::string& format, const refhost::Scene& scene);
// The messages the plug-in showed, with their levels.
void printMessages(FILE* out, const refhost::App& app);
// What the host itself noted of the scene (primitives it could not build);
// nothing when it noted nothing.
void printHostNotes(FILE* out, const refhost::App& app);

}  // namespace maxase
