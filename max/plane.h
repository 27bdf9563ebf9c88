// The Plane object: a flat grid, which the host has no primitive for, so
// the importer builds it as a mesh from the parameters of its block:
// length (along Y), width (along X), and their segment counts.
#pragma once

#include <cstdint>

#include "max/max_file.h"

class MaxMeshNode;
struct RefEntry;

constexpr uint32_t PlaneClassA = 0x081F1DFCu;
constexpr uint32_t PlaneClassB = 0x77566F65u;
// Segments along either side; more are cut to this, the bound of a
// primitive's segments, so that a few bytes of parameters cannot ask for
// more than a few megabytes of mesh.
constexpr int32_t MaxPlaneSegments = 200;

// Fills target (or a new object, when it is null) with the plane's grid and
// returns it; the object is left as it is when the plane has no block.
MaxMeshNode* readPlane(MaxFile& file, const RefEntry& entry, MaxMeshNode* target);
