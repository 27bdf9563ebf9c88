#include "max/controllers.h"

#include <cmath>
#include <cstring>

#include "frame/module_state.h"
#include "max/chunk_ids.h"
#include "max/chunk_reader.h"
#include "max/class_directory.h"
#include "max/class_registry.h"
#include "max/references.h"
#include "platform/byte_cursor.h"

namespace {

// Nesting of controllers inside controllers (PRS > XYZ > float, lists, IK),
// and the controllers one node's transform may visit, whatever the file's
// references make of them.
constexpr uint32_t MaxControllerDepth = 8;
constexpr uint32_t MaxControllerVisits = 4096;

// A value in its widest form: a scale and its axis quaternion.
constexpr uint32_t MaxValueWords = 7;
// The largest key record, a Bezier Scale key of 148 bytes.
constexpr uint32_t MaxKeyRecord = 148;
constexpr uint32_t KeyValueOffset = 8;

enum class Role { Float, Position, Rotation, Scale };

struct KeyTable {
    uint16_t chunk;
    uint32_t recordSize;
};

// A controller with a static value and, maybe, keys.
struct KeyedClass {
    MaxClass id;
    Role role;
    uint16_t valueChunk;
    uint32_t minimumBytes;  // a shorter value is passed over; rotations fill what they hold
    KeyTable tables[2];
};

constexpr KeyedClass KeyedClasses[] = {
    {MaxClass::BezierFloat, Role::Float, 0x2501, 4, {{0x2525, 28}, {0, 0}}},
    {MaxClass::LinearFloat, Role::Float, 0x2501, 4, {{0x2511, 12}, {0, 0}}},
    {MaxClass::TcbFloat, Role::Float, 0x2501, 4, {{0, 0}, {0, 0}}},
    {MaxClass::BezierPosition, Role::Position, 0x2503, 12, {{0x2524, 56}, {0x2526, 80}}},
    {MaxClass::TcbPosition, Role::Position, 0x2503, 12, {{0x2521, 64}, {0, 0}}},
    {MaxClass::LinearPosition, Role::Position, 0x2503, 12, {{0, 0}, {0, 0}}},
    {MaxClass::BezierRotation, Role::Rotation, 0x2504, 0, {{0, 0}, {0, 0}}},
    {MaxClass::TcbRotation, Role::Rotation, 0x2504, 0, {{0x2522, 92}, {0, 0}}},
    {MaxClass::LinearRotation, Role::Rotation, 0x2504, 0, {{0, 0}, {0, 0}}},
    {MaxClass::BezierScale, Role::Scale, 0x2505, 12, {{0x2519, 92}, {0x2528, 148}}},
    {MaxClass::TcbScale, Role::Scale, 0x2505, 12, {{0, 0}, {0, 0}}},
    {MaxClass::LinearScale, Role::Scale, 0x2505, 12, {{0, 0}, {0, 0}}},
};

enum class Composite { PositionXyz, EulerXyz, ScaleXyz, PositionList, RotationList, ScaleList };

struct CompositeClass {
    MaxClass id;
    Role role;
    Composite form;
};

constexpr CompositeClass CompositeClasses[] = {
    {MaxClass::PositionXyz, Role::Position, Composite::PositionXyz},
    {MaxClass::EulerXyz, Role::Rotation, Composite::EulerXyz},
    {MaxClass::ScaleXyz, Role::Scale, Composite::ScaleXyz},
    {MaxClass::PositionList, Role::Position, Composite::PositionList},
    {MaxClass::RotationList, Role::Rotation, Composite::RotationList},
    {MaxClass::ScaleList, Role::Scale, Composite::ScaleList},
};

// Axis orders of Euler XYZ (chunk 0x1003): the axis applied first, second
// and third. Only 0 (XYZ) occurs in real files; the others follow its rule.
constexpr uint8_t EulerOrders[][3] = {{0, 1, 2}, {0, 2, 1}, {1, 2, 0}, {1, 0, 2}, {2, 0, 1},
                                      {2, 1, 0}, {0, 1, 0}, {1, 2, 1}, {2, 0, 2}};

struct Walk {
    MaxFile& file;
    uint32_t visits;
};

struct ControllerClass {
    const RefEntry* entry = nullptr;
    uint32_t classIndex = 0;
    const ClassInfo* info = nullptr;  // null for a class the importer does not know
};

// False when the reference names no object of a class with a record.
bool classOf(MaxFile& file, int32_t reference, ControllerClass& out) {
    const RefEntry* entry = refAt(file, reference);
    uint32_t a = 0, b = 0;
    if (!entry || !classId(file, entry->classIndex, a, b)) return false;
    out.entry = entry;
    out.classIndex = entry->classIndex;
    out.info = classInfo(file, entry->classIndex);
    return true;
}

bool is(const ControllerClass& c, MaxClass id) {
    return c.info && c.info->id == id;
}

// Entry of every evaluation: the depth and the node's visits are bounded.
bool enter(Walk& walk, uint32_t depth) {
    if (depth >= MaxControllerDepth || walk.visits >= MaxControllerVisits) return false;
    ++walk.visits;
    return true;
}

const KeyedClass* keyedClass(const ControllerClass& c) {
    for (const KeyedClass& k : KeyedClasses) {
        if (is(c, k.id)) return &k;
    }
    return nullptr;
}

const CompositeClass* compositeClass(const ControllerClass& c) {
    for (const CompositeClass& k : CompositeClasses) {
        if (is(c, k.id)) return &k;
    }
    return nullptr;
}

// IK controllers: their forward-kinematics controller holds the static pose.
bool isIk(const ControllerClass& c) {
    return is(c, MaxClass::IkControl) || is(c, MaxClass::IkChainControl);
}

// The keys nearest time 0 on either side, found in one pass whatever the
// order of the records.
struct KeysAroundZero {
    bool before = false, after = false;  // a key at or before 0, a key after 0
    int32_t beforeTime = 0, afterTime = 0;
    float beforeValue[MaxValueWords] = {};
    float afterValue[MaxValueWords] = {};
};

void scanKeyTable(MaxFile& file, const ChunkHeader& table, uint32_t recordSize, uint32_t words, KeysAroundZero& keys) {
    const uint32_t size = chunkDataSize(table);
    if (recordSize == 0 || size % recordSize != 0) return;  // not the layout this reader knows
    unsigned char record[MaxKeyRecord];
    for (uint32_t left = size / recordSize; left > 0; --left) {
        if (static_cast<uint32_t>(readBytes(file, record, static_cast<int32_t>(recordSize))) != recordSize) return;
        const auto time = static_cast<int32_t>(le32(record));
        float value[MaxValueWords];
        for (uint32_t w = 0; w < words; ++w) value[w] = lef32(record + KeyValueOffset + 4 * w);
        if (time <= 0 && (!keys.before || time >= keys.beforeTime)) {
            keys.before = true;
            keys.beforeTime = time;
            std::memcpy(keys.beforeValue, value, words * sizeof(float));
        } else if (time > 0 && (!keys.after || time < keys.afterTime)) {
            keys.after = true;
            keys.afterTime = time;
            std::memcpy(keys.afterValue, value, words * sizeof(float));
        }
    }
}

void normalizeQuaternion(float q[4]) {
    const double length =
        std::sqrt(double{q[0]} * q[0] + double{q[1]} * q[1] + double{q[2]} * q[2] + double{q[3]} * q[3]);
    if (length <= 0 || !std::isfinite(length)) return;
    for (int i = 0; i < 4; ++i) q[i] = static_cast<float>(q[i] / length);
}

// Spherical interpolation along the shorter arc.
void slerp(const float from[4], const float to[4], double t, float out[4]) {
    double dot = 0;
    for (int i = 0; i < 4; ++i) dot += double{from[i]} * to[i];
    const double sign = dot < 0 ? -1.0 : 1.0;
    dot *= sign;
    double wFrom = 1 - t, wTo = t;
    if (dot < 0.9995) {
        const double angle = std::acos(dot);
        wFrom = std::sin((1 - t) * angle) / std::sin(angle);
        wTo = std::sin(t * angle) / std::sin(angle);
    }
    for (int i = 0; i < 4; ++i) out[i] = static_cast<float>(wFrom * from[i] + sign * wTo * to[i]);
    normalizeQuaternion(out);
}

// The value at time 0: the last key at or before 0 when no key follows it
// or it lies on 0, the first key when all follow 0, and between two keys
// that straddle 0 the interpolation of their values (linear, spherical for
// a rotation; a scale keeps the earlier key's axis).
void valueAtZero(const KeysAroundZero& keys, Role role, uint32_t words, float* value) {
    if (keys.before && (!keys.after || keys.beforeTime == 0)) {
        std::memcpy(value, keys.beforeValue, words * sizeof(float));
        return;
    }
    if (!keys.before) {
        std::memcpy(value, keys.afterValue, words * sizeof(float));
        return;
    }
    const double t = -static_cast<double>(keys.beforeTime) /
                     (static_cast<double>(keys.afterTime) - static_cast<double>(keys.beforeTime));
    if (role == Role::Rotation) {
        slerp(keys.beforeValue, keys.afterValue, t, value);
        return;
    }
    std::memcpy(value, keys.beforeValue, words * sizeof(float));
    const uint32_t lerped = role == Role::Scale ? 3 : words;
    for (uint32_t w = 0; w < lerped; ++w) {
        value[w] = static_cast<float>(keys.beforeValue[w] + t * (keys.afterValue[w] - keys.beforeValue[w]));
    }
}

uint32_t valueWords(Role role) {
    switch (role) {
        case Role::Float:
            return 1;
        case Role::Position:
            return 3;
        case Role::Rotation:
            return 4;
        case Role::Scale:
            return 7;
    }
    return 1;
}

struct KeyedValue {
    bool found = false;  // a static value or a key
    KeysAroundZero keys;
};

// The static value and key tables of one level: the object chunk, or the
// float container of newer files.
void readKeyedLevel(MaxFile& file, const ChunkHeader& level, const KeyedClass& kind, float* value, KeyedValue& result,
                    bool nested) {
    const uint32_t words = valueWords(kind.role);
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(level), c); skipChunk(file, c)) {
        if (c.id == kind.valueChunk) {
            const uint32_t size = chunkDataSize(c);
            if (size < kind.minimumBytes) continue;
            const uint32_t held = size / 4 < words ? size / 4 : words;
            if (readWords(file, value, held)) result.found = true;
        } else if (c.id == ChunkFloatContainer && !nested && c.kind == ChunkKindContainer) {
            readKeyedLevel(file, c, kind, value, result, true);
        } else {
            for (const KeyTable& table : kind.tables) {
                if (table.chunk != 0 && c.id == table.chunk)
                    scanKeyTable(file, c, table.recordSize, words, result.keys);
            }
        }
    }
}

// value starts with the preset of its role and ends with the value at time 0.
bool readKeyed(MaxFile& file, const RefEntry& entry, const KeyedClass& kind, float* value) {
    ChunkHeader object{};
    if (!readChunkAt(file, entry.position, object)) return false;
    KeyedValue result;
    readKeyedLevel(file, object, kind, value, result, false);
    if (result.keys.before || result.keys.after) {
        valueAtZero(result.keys, kind.role, valueWords(kind.role), value);
        return true;
    }
    return result.found;
}

// The references of a controller: its last dense list.
RefList controllerRefs(MaxFile& file, const RefEntry& entry, int32_t* listCount, uint32_t* eulerOrder) {
    RefList list;
    ChunkHeader object{};
    if (!readChunkAt(file, entry.position, object)) return list;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id == ChunkRefList) {
            list.read(file, c);
        } else if (c.id == ChunkListCount && listCount && chunkDataSize(c) >= 4) {
            *listCount = readInt32(file);
        } else if (c.id == ChunkEulerOrder && eulerOrder && chunkDataSize(c) >= 4) {
            *eulerOrder = static_cast<uint32_t>(readInt32(file));
        }
    }
    return list;
}

HostMatrix identityMatrix() {
    HostMatrix m;
    hostApp->MatrixIdentity(&m);
    return m;
}

void multiplyInto(HostMatrix& m, const HostMatrix& by) {
    const HostMatrix before = m;
    hostApp->MatrixMultiply(&before, &by, &m);
}

HostMatrix quaternionMatrix(const float q[4]) {
    HostMatrix m;
    hostApp->MatrixFromQuat(&m, q);
    return m;
}

}  // namespace

HostMatrix scaleMatrix(const float value[7]) {
    HostMatrix m = identityMatrix();
    const Point3 factors{value[0], value[1], value[2]};
    const float* axis = value + 3;
    const bool plain = axis[0] == 0 && axis[1] == 0 && axis[2] == 0;
    if (plain) {
        hostApp->MatrixScale(&m, &factors);
        return m;
    }
    const float inverse[4] = {-axis[0], -axis[1], -axis[2], axis[3]};
    m = quaternionMatrix(inverse);
    hostApp->MatrixScale(&m, &factors);
    multiplyInto(m, quaternionMatrix(axis));
    return m;
}

namespace {

// The rotation about one axis (0 X, 1 Y, 2 Z) by an angle in radians, the
// ordinary right-handed turn for row vectors.
HostMatrix axisRotation(uint32_t axis, double angle) {
    HostMatrix m = identityMatrix();
    const double c = std::cos(angle), s = std::sin(angle);
    const uint32_t u = (axis + 1) % 3, v = (axis + 2) % 3;
    m.m[u][u] = c;
    m.m[u][v] = s;
    m.m[v][u] = -s;
    m.m[v][v] = c;
    return m;
}

bool evaluatePosition(Walk& walk, int32_t reference, uint32_t depth, Point3& position);
bool evaluateRotation(Walk& walk, int32_t reference, uint32_t depth, HostMatrix& rotation);
bool evaluateScale(Walk& walk, int32_t reference, uint32_t depth, HostMatrix& scale);
bool evaluateFloatAt(Walk& walk, int32_t reference, uint32_t depth, float& value);

// The three float tracks of an XYZ controller; a missing track keeps the
// default.
void readXyz(Walk& walk, const RefList& refs, uint32_t depth, float xyz[3]) {
    for (uint32_t i = 0; i < 3 && i < refs.count(); ++i) evaluateFloatAt(walk, refs.at(i), depth + 1, xyz[i]);
}

// A list adds its entries' values with weight 1 each: the weights live in a
// parameter block that is not read, and 100% is what a new entry gets.
uint32_t listEntries(uint32_t count, int32_t listCount) {
    if (listCount < 0) return 0;
    return static_cast<uint32_t>(listCount) < count ? static_cast<uint32_t>(listCount) : count;
}

// Classes that are neither of the role asked for nor understood at all are
// reported; absent references are simply empty.
bool resolve(Walk& walk, int32_t reference, uint32_t depth, ControllerClass& c) {
    if (!enter(walk, depth)) return false;
    return classOf(walk.file, reference, c);
}

void reportIfUnknown(Walk& walk, const ControllerClass& c, Role role) {
    const KeyedClass* keyed = keyedClass(c);
    const CompositeClass* composite = compositeClass(c);
    if ((keyed && keyed->role == role) || (composite && composite->role == role)) return;
    reportUnsupportedClass(walk.file, c.classIndex, MessageWarning);
}

bool evaluateFloatAt(Walk& walk, int32_t reference, uint32_t depth, float& value) {
    ControllerClass c;
    if (!resolve(walk, reference, depth, c)) return false;
    const KeyedClass* keyed = keyedClass(c);
    if (!keyed || keyed->role != Role::Float) {
        reportIfUnknown(walk, c, Role::Float);
        return false;
    }
    float read[MaxValueWords] = {value};
    if (!readKeyed(walk.file, *c.entry, *keyed, read)) return false;
    value = read[0];
    return true;
}

bool evaluatePosition(Walk& walk, int32_t reference, uint32_t depth, Point3& position) {
    ControllerClass c;
    if (!resolve(walk, reference, depth, c)) return false;
    if (const KeyedClass* keyed = keyedClass(c); keyed && keyed->role == Role::Position) {
        float value[MaxValueWords] = {};
        if (!readKeyed(walk.file, *c.entry, *keyed, value)) return false;
        position = {value[0], value[1], value[2]};
        return true;
    }
    const CompositeClass* composite = compositeClass(c);
    if (!composite || composite->role != Role::Position) {
        reportIfUnknown(walk, c, Role::Position);
        return false;
    }
    int32_t listCount = -1;
    const RefList refs = controllerRefs(walk.file, *c.entry, &listCount, nullptr);
    const uint32_t count = refs.count();
    if (composite->form == Composite::PositionXyz) {
        float xyz[3] = {0, 0, 0};
        readXyz(walk, refs, depth, xyz);
        position = {xyz[0], xyz[1], xyz[2]};
    } else {
        Point3 sum{0, 0, 0};
        for (uint32_t i = 0, n = listEntries(count, listCount); i < n; ++i) {
            Point3 entry{0, 0, 0};
            if (!evaluatePosition(walk, refs.at(i), depth + 1, entry)) continue;
            sum = {sum.x + entry.x, sum.y + entry.y, sum.z + entry.z};
        }
        position = sum;
    }
    return true;
}

bool evaluateRotation(Walk& walk, int32_t reference, uint32_t depth, HostMatrix& rotation) {
    ControllerClass c;
    if (!resolve(walk, reference, depth, c)) return false;
    if (const KeyedClass* keyed = keyedClass(c); keyed && keyed->role == Role::Rotation) {
        // A short value keeps the rest of this preset.
        float value[MaxValueWords] = {0.0f, 0.0f, 1.0f, 0.0f};
        if (!readKeyed(walk.file, *c.entry, *keyed, value)) return false;
        rotation = quaternionMatrix(value);
        return true;
    }
    const CompositeClass* composite = compositeClass(c);
    if (!composite || composite->role != Role::Rotation) {
        reportIfUnknown(walk, c, Role::Rotation);
        return false;
    }
    int32_t listCount = -1;
    uint32_t order = 0;
    const RefList refs = controllerRefs(walk.file, *c.entry, &listCount, &order);
    const uint32_t count = refs.count();
    rotation = identityMatrix();
    if (composite->form == Composite::EulerXyz) {
        float angles[3] = {0, 0, 0};
        readXyz(walk, refs, depth, angles);
        const uint8_t* axes = EulerOrders[order < sizeof EulerOrders / sizeof EulerOrders[0] ? order : 0];
        // Row vectors: the first factor is the rotation applied first.
        for (int i = 0; i < 3; ++i) multiplyInto(rotation, axisRotation(axes[i], angles[axes[i]]));
    } else {
        for (uint32_t i = 0, n = listEntries(count, listCount); i < n; ++i) {
            HostMatrix entry;
            if (evaluateRotation(walk, refs.at(i), depth + 1, entry)) multiplyInto(rotation, entry);
        }
    }
    return true;
}

bool evaluateScale(Walk& walk, int32_t reference, uint32_t depth, HostMatrix& scale) {
    ControllerClass c;
    if (!resolve(walk, reference, depth, c)) return false;
    if (const KeyedClass* keyed = keyedClass(c); keyed && keyed->role == Role::Scale) {
        float value[MaxValueWords] = {1, 1, 1, 0, 0, 0, 1};
        if (!readKeyed(walk.file, *c.entry, *keyed, value)) return false;
        scale = scaleMatrix(value);
        return true;
    }
    const CompositeClass* composite = compositeClass(c);
    if (!composite || composite->role != Role::Scale) {
        reportIfUnknown(walk, c, Role::Scale);
        return false;
    }
    int32_t listCount = -1;
    const RefList refs = controllerRefs(walk.file, *c.entry, &listCount, nullptr);
    const uint32_t count = refs.count();
    if (composite->form == Composite::ScaleXyz) {
        float value[MaxValueWords] = {1, 1, 1, 0, 0, 0, 1};
        readXyz(walk, refs, depth, value);
        scale = scaleMatrix(value);
    } else {
        scale = identityMatrix();
        for (uint32_t i = 0, n = listEntries(count, listCount); i < n; ++i) {
            HostMatrix entry;
            if (evaluateScale(walk, refs.at(i), depth + 1, entry)) multiplyInto(scale, entry);
        }
    }
    return true;
}

// The role a sub-controller of a position/rotation/scale controller plays.
bool roleOf(const ControllerClass& c, Role& role) {
    if (const KeyedClass* keyed = keyedClass(c)) {
        role = keyed->role;
        return role != Role::Float;
    }
    if (const CompositeClass* composite = compositeClass(c)) {
        role = composite->role;
        return true;
    }
    return false;
}

// Position/rotation/scale: the sub-controllers are applied from the last of
// the list to the first, so [position, rotation, scale] gives S * R * T.
void readPrsController(Walk& walk, const RefEntry& entry, uint32_t depth, HostMatrix& matrix) {
    const RefList refs = controllerRefs(walk.file, entry, nullptr, nullptr);
    for (uint32_t i = refs.count(); i-- > 0;) {
        ControllerClass c;
        if (!classOf(walk.file, refs.at(i), c)) continue;
        Role role = Role::Float;
        if (!roleOf(c, role)) {
            reportUnsupportedClass(walk.file, c.classIndex, MessageWarning);
            continue;
        }
        if (role == Role::Position) {
            Point3 position{};
            if (evaluatePosition(walk, refs.at(i), depth + 1, position)) hostApp->MatrixTranslate(&matrix, &position);
        } else if (role == Role::Rotation) {
            HostMatrix rotation;
            if (evaluateRotation(walk, refs.at(i), depth + 1, rotation)) multiplyInto(matrix, rotation);
        } else {
            HostMatrix scale;
            if (evaluateScale(walk, refs.at(i), depth + 1, scale)) multiplyInto(matrix, scale);
        }
    }
}

// Look At: [target node, position, roll, scale]. The orientation waits for
// the target's world position.
void readLookAt(Walk& walk, const RefEntry& entry, HostMatrix& matrix, LookAtSetup& lookAt) {
    const RefList refs = controllerRefs(walk.file, entry, nullptr, nullptr);
    const uint32_t count = refs.count();
    lookAt.present = true;
    lookAt.target = count > 0 ? refs.at(0) : -1;
    lookAt.position = {0, 0, 0};
    lookAt.roll = 0;
    lookAt.scale = identityMatrix();
    if (count > 1) evaluatePosition(walk, refs.at(1), 1, lookAt.position);
    if (count > 2) evaluateFloatAt(walk, refs.at(2), 1, lookAt.roll);
    if (count > 3) evaluateScale(walk, refs.at(3), 1, lookAt.scale);
    matrix = lookAt.scale;
}

}  // namespace

void readTransformController(MaxFile& file, int32_t controller, HostMatrix& matrix, LookAtSetup& lookAt) {
    Walk walk{file, 0};
    ControllerClass c;
    if (!classOf(file, controller, c)) return;
    if (is(c, MaxClass::PositionRotationScale)) {
        readPrsController(walk, *c.entry, 0, matrix);
    } else if (is(c, MaxClass::LookAt)) {
        readLookAt(walk, *c.entry, matrix, lookAt);
    } else if (isIk(c)) {
        // The pose without IK: the position/rotation/scale controller it holds.
        reportUnsupportedClass(file, c.classIndex, MessageWarning);
        const RefList refs = controllerRefs(file, *c.entry, nullptr, nullptr);
        for (uint32_t i = 0; i < refs.count(); ++i) {
            ControllerClass sub;
            if (classOf(file, refs.at(i), sub) && is(sub, MaxClass::PositionRotationScale)) {
                readPrsController(walk, *sub.entry, 1, matrix);
                break;
            }
        }
    } else {
        reportUnsupportedClass(file, c.classIndex, MessageWarning);
    }
}
