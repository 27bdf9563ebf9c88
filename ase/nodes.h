// Everything that becomes a scene node: the node and object dispatcher, the
// object parsers, node names, node transforms and the lookup of nodes by name.
#pragma once

#include "ase/reader.h"

// What "*NODE_PARENT" hangs on a node's userData until the scene assembly
// links the parent.
struct ParentLink {
    char* parentName;  // heap copy of the name; null for an empty name
};

// One keyword at document level (node null, report on) or inside an object.
bool DispatchNodeKeyword(AseReader& reader, HostNode* node, bool report);
// A "*NODE_TM" block. The matrix goes to the node the block names, else to
// the fallback; *transformed (when given) tells whether a whole matrix was read.
bool ParseNodeTM(AseReader& reader, HostNode* fallback, bool* transformed);
// Reads a name and finds its node, making a target node for "Base.Suffix"
// when only Base exists. Null when there is no such node.
HostNode* FindNodeByName(AseReader& reader);
bool ParseNodeName(AseReader& reader, HostNode* node);

bool ParseGeomObject(AseReader& reader, HostNode* parent);
bool ParseShapeObject(AseReader& reader, HostNode* parent);
bool ParseHelperObject(AseReader& reader, HostNode* parent);
// Moves the vertices from world coordinates into the node's own.
void ConvertToObjectSpace(HostMeshNode* node);
