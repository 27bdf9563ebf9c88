// Editable Poly objects: vertices with dead ones left out, polygons of any
// degree triangulated with their stored diagonals, material ids and the
// texture coordinates of map channel 1.
#pragma once

#include <cstdint>

#include "max/chunk_reader.h"

class MaxMeshNode;

// Class identifier (A, B) of the editable poly.
constexpr uint32_t EditablePolyClassA = 0x1BF8338Du;
constexpr uint32_t EditablePolyClassB = 0x192F6098u;

// The corners (i < j < k) of each triangle of a polygon of degree corners:
// the triples joined pairwise by boundary edges or diagonals, so that each
// keeps the polygon's winding. diagonals holds diagonalCount pairs of corner
// numbers. Diagonals that do not cut the polygon into degree - 2 triangles
// give a fan from corner 0 instead. scratch holds 2 * degree entries;
// triangles takes degree - 2 triples. Returns the triangles written.
uint32_t triangulatePolygon(uint32_t degree, const uint32_t* diagonals, uint32_t diagonalCount, uint64_t* scratch,
                            uint32_t (*triangles)[3]);

// Fills target (or a new object, when target is null and the chunk has a
// poly) from the object chunk just read; returns it.
MaxMeshNode* readEditablePoly(MaxFile& file, const ChunkHeader& object, MaxMeshNode* target);
