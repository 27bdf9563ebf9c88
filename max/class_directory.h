// The class directory: the classes that the scene's objects are instances of,
// by class index, each with its name and class identifier (A, B).
#pragma once

#include <cstdint>

#include "max/max_file.h"

struct ClassEntry {
    char* name;  // null when the class had no name chunk
    uint32_t recordLength;
    unsigned char* record;
    ClassEntry* next;  // the next older entry
};

// Reads the class-directory stream into classList, classes and classCount.
// The current stream ("Scene") is the current one again afterwards. False
// when no directory stream could be read.
bool readClassDirectory(MaxFile& file);

// The class of an object, or null for an index that names no class.
const ClassEntry* classAt(const MaxFile& file, uint32_t classIndex);
// A class's identity: its identifier (A, B) and its superclass, words 1 to 3
// of the class record. Classes of different superclasses share identifiers.
struct ClassKey {
    uint32_t a, b;
    uint32_t superclass;  // 0 when the record holds none
};

// Words 1 and 2 of the class record; false when the index names no class or
// the record is too short to hold them.
bool classId(const MaxFile& file, uint32_t classIndex, uint32_t& a, uint32_t& b);
// The identifier and the superclass, which a record of only three words
// lacks; false as classId.
bool classKey(const MaxFile& file, uint32_t classIndex, ClassKey& key);
