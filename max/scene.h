// The "Scene" stream's top-level walk: the scene object with its log, every
// node built and handed to the host, and the hierarchy linked.
#pragma once

#include <cstdint>

#include "max/max_file.h"

int32_t findSceneObject(MaxFile& file);
// Logs the scene object, builds every node, hands them to the host and
// links them. Returns 1.
int32_t readScene(MaxFile& file);
// Destroys the objects built for the table's entries.
void releaseSceneObjects(MaxFile& file);
