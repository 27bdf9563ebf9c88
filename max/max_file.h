// The context of one MAX import: the open compound document, the stream the
// chunk reader reads, the class directory, the reference table and the scene
// being filled. It lives on the importer's stack for one call.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"
#include "platform/win32.h"

struct ClassEntry;
struct ClassInfo;
struct RefEntry;
struct MaterialTable;

// The chunk reader's window over the current stream: the stream is read in
// large blocks, and headers and small values are served from memory. A
// decoded stream lies in memory whole, and the window is all of it.
struct StreamWindow {
    unsigned char* data;  // null when no memory could be had: reads then go to the stream directly
    uint32_t capacity;
    uint32_t start;   // stream position of data[0]
    uint32_t length;  // valid bytes in data
    uint32_t position;
    uint32_t size;
    // What the reader may still read from the stream and serve from the
    // window, in bytes: a budget in proportion to the stream's size, so that
    // no file can make an import's work outgrow it, however often its
    // objects refer to one another.
    uint64_t workLeft;
};

struct MaxFile {
    int32_t nodeClassIndex;  // class index of "Node", -1 when there is none
    RefEntry* refs;          // the reference table, in refMemory, locked
    int32_t refCount;
    int32_t refCapacity;
    HGLOBAL refMemory;
    HostPool* pool;         // class names and records
    ClassEntry* classList;  // newest first
    ClassEntry** classes;   // by class index
    int32_t classCount;
    const ClassInfo** knownClasses;  // by class index, looked up on first use (max/class_registry.h)
    IStorage* storage;
    IStream* stream;  // read by the chunk reader: "Scene", or the class directory while it is read
    HostScene* scene;
    HWND viewer;  // the structure viewer's tree, null while it is off
    StreamWindow window;
    bool damaged;                    // a stream opened but could not be decoded: the import ends with 0
    unsigned char* reportedClasses;  // by class index: shown once as unsupported; null until needed
    MaterialTable* materials;        // made on first use (max/materials.h)
};
