// The chunk identifiers the MAX importer reads, each defined once, grouped
// by the container they appear in. An identifier means something only
// inside its container: 0x0100 is a float in a parameter block and the
// vertex list in an editable poly.
#pragma once

#include <cstdint>

// Any scene object.
constexpr uint16_t ChunkRefList = 0x2034;        // dense: one reference index per slot, -1 for none
constexpr uint16_t ChunkSparseRefList = 0x2035;  // slot count, then (slot, reference) pairs
// A derived object stands in the scene container with this identifier in
// place of a class index.
constexpr uint16_t ChunkDerivedObject = 0x2032;
constexpr uint16_t ChunkModContext = 0x2500;  // one per modifier of a derived object, top first
constexpr uint16_t ChunkModContextTransform = 0x2510;  // 4x3 matrix and flags
constexpr uint16_t ChunkModContextBox = 0x2511;        // the box of the modifier's input
constexpr uint16_t ChunkModContextData = 0x2512;       // what the modifier keeps for this object

// The class directory.
constexpr uint16_t ChunkClassName = 0x2042;
constexpr uint16_t ChunkClassRecord = 0x2060;

// A node.
constexpr uint16_t ChunkNodeParent = 0x0960;
constexpr uint16_t ChunkNodeName = 0x0962;
constexpr uint16_t ChunkNodeColour = 0x0974;
constexpr uint16_t ChunkOffsetPosition = 0x096A;
constexpr uint16_t ChunkOffsetRotation = 0x096B;
constexpr uint16_t ChunkOffsetScale = 0x096C;

// The old parameter block: a count, then one entry container per parameter,
// each with its index and a value chunk of its type.
constexpr uint16_t ChunkParamCount = 0x0001;
constexpr uint16_t ChunkParamEntry = 0x0002;
constexpr uint16_t ChunkParamIndex = 0x0003;
constexpr uint16_t ChunkParamVersion = 0x0005;
constexpr uint16_t ChunkParamFloat = 0x0100;
constexpr uint16_t ChunkParamInt = 0x0101;
constexpr uint16_t ChunkParamPoint3 = 0x0102;
constexpr uint16_t ChunkParamWord = 0x0104;

// The newer parameter block: one record per parameter, 0x000A in R3 to
// version 8, 0x000E in versions 9 to 12, 0x100E in newer ones.
constexpr uint16_t ChunkBlock2RecordR3 = 0x000A;
constexpr uint16_t ChunkBlock2Record = 0x000E;
constexpr uint16_t ChunkBlock2RecordNew = 0x100E;

// Editable mesh and editable poly: their geometry lies in one container.
constexpr uint16_t ChunkObjectGeometry = 0x08FE;
// ... of an editable mesh.
constexpr uint16_t ChunkMeshVertices = 0x0914;
constexpr uint16_t ChunkMeshFaces = 0x0912;
constexpr uint16_t ChunkMeshOldTexVertices = 0x0916;  // before R3
constexpr uint16_t ChunkMeshOldTexFaces = 0x0918;     // before R3: no count
constexpr uint16_t ChunkMeshMapChannel = 0x0959;
constexpr uint16_t ChunkMeshMapVertices = 0x2394;
constexpr uint16_t ChunkMeshMapFaces = 0x2396;
// ... of an editable poly.
constexpr uint16_t ChunkPolyVertices = 0x0100;
constexpr uint16_t ChunkPolyPolygons = 0x011A;
constexpr uint16_t ChunkPolyMapChannel = 0x0124;
constexpr uint16_t ChunkPolyMapVertices = 0x0128;
constexpr uint16_t ChunkPolyMapPolygons = 0x012B;

// Controllers.
constexpr uint16_t ChunkFloatContainer = 0x7127;  // version 18 on: a Bezier Float's data
constexpr uint16_t ChunkEulerOrder = 0x1003;
constexpr uint16_t ChunkListCount = 0x1010;

// Materials and texture maps.
constexpr uint16_t ChunkMaterialHeader = 0x4000;
constexpr uint16_t ChunkMaterialName = 0x4001;
constexpr uint16_t ChunkOwnBitmap = 0x5010;     // before R3: a bitmap's own container
constexpr uint16_t ChunkBitmapParams = 0x0003;  // in a bitmap's parameter block
constexpr uint16_t ChunkFileName = 0x1230;
constexpr uint16_t ChunkAssetReference = 0x1260;
constexpr uint16_t ChunkAssetId = 0x0002;
