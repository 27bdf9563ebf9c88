// One ASE import from start to end: the first buffer fill, the document
// parse, and the pass over all nodes that links parents and gives each
// node's track set its starting transform.
#pragma once

#include "ase/reader.h"

// 1 when the document was read to its end, 0 when a block failed or the
// input could not be read. What was read is assembled either way.
int32_t AssembleAseScene(AseReader& reader);
void AssembleNode(HostNode* node, HostAnimation* animation, int32_t nodeCount);
