// Node objects: name, colour, parent, object offset, the transform
// controller that gives the node its matrix, and the object whose value the
// node hands to the host; the matrices pushed down the hierarchy at the end.
#pragma once

#include "max/max_file.h"

class MaxNode;
struct RefEntry;

// Builds the node's object and stores it in the entry.
void readNode(MaxFile& file, RefEntry& entry);

// Sets the node's matrix on its host node and combines each descendant's
// matrix with its parent's, down the whole tree, without recursion.
void linkHierarchy(MaxNode* node);
