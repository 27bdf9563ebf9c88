// Mesh and shape-line geometry, written straight into the host node of the
// object being read. Vertices stay in the world coordinates of the file.
#pragma once

#include "ase/object_scope.h"
#include "ase/reader.h"

// The largest point count of a shape line: the host's field is 16 bits wide.
constexpr int32_t MaxLinePoints = 0xFFFF;

bool ParseMesh(AseReader& reader, ObjectScope& object);
bool ParseVertexList(AseReader& reader, ObjectScope& object, int32_t count);
bool ParseTexVertexList(AseReader& reader, ObjectScope& object, int32_t count);
bool ParseFaceList(AseReader& reader, ObjectScope& object, int32_t count);
bool ParseTexFaceList(AseReader& reader, ObjectScope& object, int32_t count);
bool ParseShapeLine(AseReader& reader, ObjectScope& object, HostPointList* points, int32_t lineIndex);
