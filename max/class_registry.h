// The classes the MAX importer knows, in one table: each class's identity
// (superclass and identifier), the role its instances play, and for objects
// the reader that turns one into a value. Node slots, derived objects,
// controllers, materials and the report of unsupported classes all go by
// it. Adding a class is a line here and, for an object, a reader.
#pragma once

#include <cstdint>

#include "max/class_directory.h"
#include "max/max_file.h"

class ObjectValue;
struct ClassInfo;
struct StackModifier;

enum class ClassRole : uint8_t { Object, Modifier, Controller, Material, Other };

enum class MaxClass : uint16_t {
    // Objects.
    EditableMesh,
    EditablePoly,
    Plane,
    Primitive,  // the host builds it: ClassInfo::primitiveKind says which
    // Transform controllers and what they hold.
    PositionRotationScale,
    LookAt,
    IkControl,
    IkChainControl,
    BezierFloat,
    LinearFloat,
    TcbFloat,
    BezierPosition,
    TcbPosition,
    LinearPosition,
    BezierRotation,
    TcbRotation,
    LinearRotation,
    BezierScale,
    TcbScale,
    LinearScale,
    PositionXyz,
    EulerXyz,
    ScaleXyz,
    PositionList,
    RotationList,
    ScaleList,
    // Materials.
    StandardMaterial,
    MultiMaterial,
    // Parameter holders and texture maps.
    ParamBlock,
    ParamBlock2,
    Texmaps,
    Bitmap,
};

// Reads the object that the reference index names into value; false when it
// yields nothing.
using ObjectReader = bool (*)(MaxFile& file, int32_t reference, const ClassInfo& info, ObjectValue& value);
// Applies a modifier of a stack to the value below it, in place.
using ModifierApply = void (*)(MaxFile& file, const StackModifier& modifier, ObjectValue& value);

struct ClassInfo {
    uint32_t superclass;
    uint32_t a, b;
    bool anyB;  // identified by A alone, as the older controller readers did
    MaxClass id;
    ClassRole role;
    int32_t primitiveKind;  // the host's kind for a primitive, else 0
    ObjectReader read;      // for objects
    ModifierApply apply;    // for modifiers the importer evaluates
};

// Superclasses as class records give them.
constexpr uint32_t SuperclassGeometry = 0x10;
constexpr uint32_t SuperclassModifier = 0x810;

// The known class of a class index, or null. A class record without a
// superclass is matched by its identifier alone.
const ClassInfo* classInfo(MaxFile& file, uint32_t classIndex);
// The known class of the object that a reference index names, or null (a
// derived object has none).
const ClassInfo* referencedClass(MaxFile& file, int32_t reference);
// True when the reference index names an instance of the class.
bool referencesClass(MaxFile& file, int32_t reference, MaxClass id);

// Shows "<class> - unsupported" at the level given, once per class and
// import.
void reportUnsupportedClass(MaxFile& file, uint32_t classIndex, int32_t level);

// The known class of a class identity, as classInfo finds it.
const ClassInfo* lookUpClass(const ClassKey& key);

// The table itself (max/class_table.cpp), of count entries.
const ClassInfo* classTable(uint32_t& count);
