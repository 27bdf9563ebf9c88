// Nodes turned toward a target by a Look At controller (targeted cameras and
// lights): their orientation needs the target's world position, so it is
// settled once every node has its local matrix.
#pragma once

#include <cstdint>

#include "max/max_file.h"

// Gives every node that has a Look At controller the local matrix that
// turns its Z axis away from its target: z = normalize(P - T),
// x = normalize(worldZ x z), y = z x x, rolled about z, at its position P
// and with its scale, in its parent's space. Nodes are settled in table
// order; a target or parent with a Look At of its own counts with the
// matrix it has at that moment.
void resolveLookAtNodes(MaxFile& file);
