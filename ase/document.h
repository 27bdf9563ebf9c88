// The top of the parse: the document loop and the scene block.
#pragma once

#include "ase/reader.h"

// True when the document was read to its end, false after a failed block.
bool ParseDocument(AseReader& reader);
bool ParseSceneBlock(AseReader& reader);
