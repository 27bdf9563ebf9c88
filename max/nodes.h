// Node objects: name, colour, parent, and the position/rotation/scale
// transform controller that gives the node its matrix; the matrices pushed
// down the hierarchy at the end.
#pragma once

#include "frame/contract/host_records.h"
#include "max/chunk_reader.h"
#include "max/max_file.h"

class MaxNode;
struct RefEntry;

// Builds the node's object and stores it in the entry.
void readNode(MaxFile& file, RefEntry& entry);

void readTransformController(MaxFile& file, const ChunkHeader& controller, HostMatrix& matrix);
void readPositionController(MaxFile& file, const ChunkHeader& controller, HostMatrix& matrix);
void readRotationController(MaxFile& file, const ChunkHeader& controller, HostMatrix& matrix);
void readScaleController(MaxFile& file, const ChunkHeader& controller, HostMatrix& matrix);

// Sets the node's matrix on its host node and combines each descendant's
// matrix with its parent's, down the whole tree, without recursion.
void linkHierarchy(MaxNode* node);
