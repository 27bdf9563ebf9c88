// What the parsers keep while one object block is read: its nesting depth
// and, for geometry and shape objects, the name given to the node and the
// indices that had to be mended, reported once when the object ends.
#pragma once

#include <cstdint>

#include "ase/reader.h"

// Objects nest inside objects; a block deeper than this fails, so that a
// hostile file cannot exhaust the host's stack.
constexpr int32_t MaxObjectNesting = 64;

// Counts the objects being read one inside the other.
class NestingGuard {
 public:
    explicit NestingGuard(AseReader& reader) : reader_(reader) { ++reader_.objectDepth; }
    ~NestingGuard() { --reader_.objectDepth; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
    bool allowed() const { return reader_.objectDepth <= MaxObjectNesting; }

 private:
    AseReader& reader_;
};

// The lowest and highest of the indices written into faces.
struct IndexRange {
    int32_t low, high;
    bool any;
    void include(int32_t index) {
        if (!any || index < low) low = index;
        if (!any || index > high) high = index;
        any = true;
    }
};

// A geometry or shape object being read. While it lives it is the reader's
// innermost object; when it ends it shows how many indices were mended.
class ObjectScope {
 public:
    ObjectScope(AseReader& reader, HostMeshNode* node);
    ~ObjectScope();
    ObjectScope(const ObjectScope&) = delete;
    ObjectScope& operator=(const ObjectScope&) = delete;

    HostMeshNode* const node;
    char name[TextCapacity];
    int32_t mendedIndices;
    int32_t texVertexCount;    // entries of the node's texture vertex array, as we sized it
    int32_t pointsAdded;       // points handed to the shape's point list so far
    IndexRange vertexIndices;  // written into faces since the faces were last checked
    IndexRange texIndices;

 private:
    AseReader& reader_;
    ObjectScope* outer_;
};

// Gives the node's name to the object it belongs to, if one is being read.
void NoteObjectName(AseReader& reader, const HostNode* node, const char* name);

// At the end of a mesh: every vertex and texture vertex index of the faces
// inside its array. An index that is not, and is not 0, becomes 0.
void MendFaceIndices(ObjectScope& object);
// At the end of a shape line: every point index inside the shape's point table.
void MendLineIndices(ObjectScope& object, HostLine* line);
