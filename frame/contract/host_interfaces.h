// The host's interfaces: objects whose first word points to a table of
// operations. Each operation is a virtual function in its slot; the slot
// numbers are the contract with the host, so unlisted slots are declared as
// placeholders (unusedSlotN) that keep the listed ones in place. Declaration
// order is slot order: never reorder, never overload, never add a virtual
// destructor. Every operation returns a 32-bit value.
// The slot of every operation is checked by the contract test.
#pragma once

#include <cstdint>

#include "frame/contract/abi.h"
#include "frame/contract/host_records.h"
#include "frame/contract/host_values.h"
#include "platform/win32.h"

#define HOST_UNUSED_SLOT(n) virtual int32_t HOSTAPI unusedSlot##n() = 0

class HostPool;
class HostPointList;
class HostParamBlock;
class HostMeshNode;
class HostCamera;
class HostLight;
class HostMaterial;
class HostAnimation;
class HostNodeTracks;

// HostApp's matrix operations, in the row-vector convention of MAX and ASE
// files (p' = p * M, translation in row 3):
//   MatrixMultiply(a, b, out)    out = a * b; out may alias a or b.
//   MatrixTranslate(m, p)        m = m * T(p): the translation comes after m.
//   MatrixScale(m, s)            m = m * S(s).
//   MatrixInvert(m)              m = inverse(m), in place.
//   TransformPoints(m, s, d, n)  d[i] = s[i] * m; s and d may be the same array.
//   MatrixFromQuat(out, q)       q = (x, y, z, w), a unit quaternion. The rows
//                                of out are those of the textbook column-vector
//                                rotation matrix of q, as MAX stores rotations.
//   RelativeMatrix(w, out, p)    out = w * inverse(p): world relative to a parent.
class HostApp {
 public:
    HOST_UNUSED_SLOT(0);
    virtual int32_t HOSTAPI RegisterImporter(const ImporterDescriptor* descriptor) = 0;  // slot 1
    HOST_UNUSED_SLOT(2);
    virtual int32_t HOSTAPI ShowMessage(int32_t level, const char* text) = 0;  // slot 3
    HOST_UNUSED_SLOT(4);
    virtual HostPool* HOSTAPI CreatePool(int32_t blockSize) = 0;  // slot 5
    HOST_UNUSED_SLOT(6);
    virtual HostPointList* HOSTAPI CreatePointList() = 0;  // slot 7
    virtual HostStream* HOSTAPI OpenResourceStream(HINSTANCE module, const char* typeAndName,
                                                   int32_t mode) = 0;  // slot 8
    HOST_UNUSED_SLOT(9);
    virtual HostParamBlock* HOSTAPI CreateParamBlock() = 0;                                           // slot 10
    virtual int32_t HOSTAPI ReportInternalError(const char* source, int32_t line, int32_t zero) = 0;  // slot 11
    HOST_UNUSED_SLOT(12);
    HOST_UNUSED_SLOT(13);
    HOST_UNUSED_SLOT(14);
    virtual HWND HOSTAPI GetMainWindow(int32_t zero) = 0;                                                   // slot 15
    virtual int32_t HOSTAPI GetProfileInt(const char* section, const char* key, int32_t defaultValue) = 0;  // slot 16
    virtual int32_t HOSTAPI WriteProfileInt(const char* section, const char* key, int32_t value) = 0;       // slot 17
    HOST_UNUSED_SLOT(18);
    HOST_UNUSED_SLOT(19);
    HOST_UNUSED_SLOT(20);
    HOST_UNUSED_SLOT(21);
    HOST_UNUSED_SLOT(22);
    HOST_UNUSED_SLOT(23);
    virtual int32_t HOSTAPI ShowStatus(int32_t two, const char* text) = 0;  // slot 24
    HOST_UNUSED_SLOT(25);
    HOST_UNUSED_SLOT(26);
    HOST_UNUSED_SLOT(27);
    HOST_UNUSED_SLOT(28);
    HOST_UNUSED_SLOT(29);
    HOST_UNUSED_SLOT(30);
    HOST_UNUSED_SLOT(31);
    HOST_UNUSED_SLOT(32);
    HOST_UNUSED_SLOT(33);
    HOST_UNUSED_SLOT(34);
    HOST_UNUSED_SLOT(35);
    HOST_UNUSED_SLOT(36);
    HOST_UNUSED_SLOT(37);
    HOST_UNUSED_SLOT(38);
    HOST_UNUSED_SLOT(39);
    HOST_UNUSED_SLOT(40);
    HOST_UNUSED_SLOT(41);
    HOST_UNUSED_SLOT(42);
    virtual int32_t HOSTAPI MatrixIdentity(HostMatrix* m) = 0;  // slot 43
    HOST_UNUSED_SLOT(44);
    HOST_UNUSED_SLOT(45);
    virtual int32_t HOSTAPI MatrixMultiply(const HostMatrix* a, const HostMatrix* b, HostMatrix* out) = 0;  // slot 46
    virtual int32_t HOSTAPI TransformPoints(const HostMatrix* m, const Point3* source, Point3* destination,
                                            int32_t count) = 0;  // slot 47
    HOST_UNUSED_SLOT(48);
    virtual int32_t HOSTAPI MatrixInvert(HostMatrix* m) = 0;  // slot 49
    HOST_UNUSED_SLOT(50);
    virtual int32_t HOSTAPI MatrixTranslate(HostMatrix* m, const Point3* offset) = 0;  // slot 51
    virtual int32_t HOSTAPI MatrixScale(HostMatrix* m, const Point3* factors) = 0;     // slot 52
    HOST_UNUSED_SLOT(53);
    HOST_UNUSED_SLOT(54);
    HOST_UNUSED_SLOT(55);
    virtual int32_t HOSTAPI MatrixFromQuat(HostMatrix* out, const float* quaternion) = 0;  // slot 56
    HOST_UNUSED_SLOT(57);
    HOST_UNUSED_SLOT(58);
    HOST_UNUSED_SLOT(59);
    HOST_UNUSED_SLOT(60);
    HOST_UNUSED_SLOT(61);
    HOST_UNUSED_SLOT(62);
    HOST_UNUSED_SLOT(63);
    HOST_UNUSED_SLOT(64);
    HOST_UNUSED_SLOT(65);
    HOST_UNUSED_SLOT(66);
    virtual int32_t HOSTAPI RelativeMatrix(const HostMatrix* world, HostMatrix* out,
                                           const HostMatrix* parentWorld) = 0;  // slot 67
    HOST_UNUSED_SLOT(68);
    HOST_UNUSED_SLOT(69);
    HOST_UNUSED_SLOT(70);
    HOST_UNUSED_SLOT(71);
    HOST_UNUSED_SLOT(72);
    HOST_UNUSED_SLOT(73);
    HOST_UNUSED_SLOT(74);
    HOST_UNUSED_SLOT(75);
    HOST_UNUSED_SLOT(76);
    HOST_UNUSED_SLOT(77);
    HOST_UNUSED_SLOT(78);
    HOST_UNUSED_SLOT(79);
    HOST_UNUSED_SLOT(80);
    HOST_UNUSED_SLOT(81);
    HOST_UNUSED_SLOT(82);
    HOST_UNUSED_SLOT(83);
    HOST_UNUSED_SLOT(84);
    HOST_UNUSED_SLOT(85);
    HOST_UNUSED_SLOT(86);
    HOST_UNUSED_SLOT(87);
    HOST_UNUSED_SLOT(88);
    HOST_UNUSED_SLOT(89);
    HOST_UNUSED_SLOT(90);
    HOST_UNUSED_SLOT(91);
    HOST_UNUSED_SLOT(92);
    HOST_UNUSED_SLOT(93);
    virtual uint32_t HOSTAPI LoadModuleIcon(HINSTANCE module, const char* iconGroup) = 0;  // slot 94

 protected:
    ~HostApp() = default;
};

class HostStream {
 public:
    virtual int32_t HOSTAPI Release() = 0;  // slot 0
    HOST_UNUSED_SLOT(1);
    virtual int32_t HOSTAPI Seek(int32_t offset, int32_t origin) = 0;  // slot 2
    virtual int32_t HOSTAPI Tell() = 0;                                // slot 3
    HOST_UNUSED_SLOT(4);
    HOST_UNUSED_SLOT(5);
    virtual int32_t HOSTAPI Read(void* buffer, int32_t count) = 0;  // slot 6
    HOST_UNUSED_SLOT(7);
    HOST_UNUSED_SLOT(8);
    HOST_UNUSED_SLOT(9);
    virtual int32_t HOSTAPI GetFileName(char* buffer, int32_t size) = 0;  // slot 10
    HOST_UNUSED_SLOT(11);
    HOST_UNUSED_SLOT(12);
    HOST_UNUSED_SLOT(13);
    virtual int32_t HOSTAPI ReadLong() = 0;  // slot 14
    HOST_UNUSED_SLOT(15);
    virtual int32_t HOSTAPI Close() = 0;  // slot 16

 protected:
    ~HostStream() = default;
};

class HostPool {
 public:
    virtual int32_t HOSTAPI Release() = 0;  // slot 0
    HOST_UNUSED_SLOT(1);
    virtual void* HOSTAPI Alloc(int32_t size) = 0;  // slot 2

 protected:
    ~HostPool() = default;
};

class HostPointList {
 public:
    virtual int32_t HOSTAPI Release() = 0;  // slot 0
    HOST_UNUSED_SLOT(1);
    HOST_UNUSED_SLOT(2);
    virtual int32_t HOSTAPI AddPoint(const Point3* point, int32_t* index) = 0;  // slot 3
    HOST_UNUSED_SLOT(4);
    virtual int32_t HOSTAPI StorePoints(HostNode* node) = 0;  // slot 5
    virtual int32_t HOSTAPI Init(int32_t zero) = 0;           // slot 6

 protected:
    ~HostPointList() = default;
};

class HostParamBlock {
 public:
    virtual int32_t HOSTAPI Release() = 0;  // slot 0
    HOST_UNUSED_SLOT(1);
    virtual int32_t HOSTAPI SetInt(int32_t index, int32_t value) = 0;           // slot 2
    virtual int32_t HOSTAPI SetFloat(int32_t index, float value) = 0;           // slot 3
    virtual int32_t HOSTAPI SetPoint3(int32_t index, const Point3* value) = 0;  // slot 4

 protected:
    ~HostParamBlock() = default;
};

class HostScene {
 public:
    virtual HostMeshNode* HOSTAPI CreateNode() = 0;      // slot 0
    virtual HostMaterial* HOSTAPI CreateMaterial() = 0;  // slot 1
    virtual HostLight* HOSTAPI CreateLight() = 0;        // slot 2
    virtual HostCamera* HOSTAPI CreateCamera() = 0;      // slot 3
    virtual HostNode* HOSTAPI CreateTarget() = 0;        // slot 4
    HOST_UNUSED_SLOT(5);
    HOST_UNUSED_SLOT(6);
    virtual int32_t HOSTAPI AddSceneInfo(int32_t kind, const char* text) = 0;  // slot 7
    HOST_UNUSED_SLOT(8);
    HOST_UNUSED_SLOT(9);
    virtual HostNode* HOSTAPI CreatePrimitive(int32_t kind, HostParamBlock* parameters) = 0;  // slot 10
    virtual int32_t HOSTAPI EndImport() = 0;                                                  // slot 11
    HOST_UNUSED_SLOT(12);
    HOST_UNUSED_SLOT(13);
    HOST_UNUSED_SLOT(14);
    HOST_UNUSED_SLOT(15);
    HOST_UNUSED_SLOT(16);
    HOST_UNUSED_SLOT(17);
    HOST_UNUSED_SLOT(18);
    virtual HostAnimation* HOSTAPI GetAnimation(int32_t create) = 0;  // slot 19

 protected:
    ~HostScene() = default;
};

class HostNodeList {
 public:
    HOST_UNUSED_SLOT(0);
    HOST_UNUSED_SLOT(1);
    virtual int32_t HOSTAPI Count() = 0;                 // slot 2
    virtual HostNode* HOSTAPI GetAt(int32_t index) = 0;  // slot 3
    HOST_UNUSED_SLOT(4);
    HOST_UNUSED_SLOT(5);
    HOST_UNUSED_SLOT(6);
    HOST_UNUSED_SLOT(7);
    HOST_UNUSED_SLOT(8);
    HOST_UNUSED_SLOT(9);
    HOST_UNUSED_SLOT(10);
    HOST_UNUSED_SLOT(11);
    HOST_UNUSED_SLOT(12);
    HOST_UNUSED_SLOT(13);
    virtual HostNode* HOSTAPI FindByName(const char* name) = 0;  // slot 14

 protected:
    ~HostNodeList() = default;
};

class HostNode {
 public:
    HOST_UNUSED_SLOT(0);
    HOST_UNUSED_SLOT(1);
    HOST_UNUSED_SLOT(2);
    virtual int32_t HOSTAPI SetName(const char* name) = 0;  // slot 3
    HOST_UNUSED_SLOT(4);
    virtual int32_t HOSTAPI SetProperty(int32_t id, uint32_t value) = 0;  // slot 5
    HOST_UNUSED_SLOT(6);
    HOST_UNUSED_SLOT(7);
    HOST_UNUSED_SLOT(8);
    HOST_UNUSED_SLOT(9);
    virtual int32_t HOSTAPI SetTransform(const HostMatrix* m) = 0;  // slot 10
    virtual int32_t HOSTAPI GetTransform(HostMatrix* m) = 0;        // slot 11
    HOST_UNUSED_SLOT(12);
    HOST_UNUSED_SLOT(13);
    HOST_UNUSED_SLOT(14);
    HOST_UNUSED_SLOT(15);
    HOST_UNUSED_SLOT(16);

 protected:
    ~HostNode() = default;
};

class HostMeshNode : public HostNode {
 public:
    virtual int32_t HOSTAPI SetVertexCount(int32_t count, int32_t zero) = 0;     // slot 17
    virtual int32_t HOSTAPI SetTexVertexCount(int32_t count, int32_t zero) = 0;  // slot 18
    virtual int32_t HOSTAPI SetFaceCount(int32_t count, int32_t zero) = 0;       // slot 19
    virtual int32_t HOSTAPI SetLineCount(int32_t count, int32_t zero) = 0;       // slot 20
    virtual HostFace* HOSTAPI GetFace(int32_t index) = 0;                        // slot 21
    virtual HostLine* HOSTAPI GetLine(int32_t index) = 0;                        // slot 22
    virtual void* HOSTAPI AllocNodeMemory(int32_t bytes) = 0;                    // slot 23

 protected:
    ~HostMeshNode() = default;
};

class HostCamera : public HostNode {
 public:
    HOST_UNUSED_SLOT(17);
    HOST_UNUSED_SLOT(18);
    virtual int32_t HOSTAPI SetVectorB(const float* vector, int32_t one) = 0;  // slot 19
    HOST_UNUSED_SLOT(20);
    virtual int32_t HOSTAPI SetVectorA(const float* vector, int32_t one) = 0;  // slot 21
    HOST_UNUSED_SLOT(22);
    HOST_UNUSED_SLOT(23);
    HOST_UNUSED_SLOT(24);
    virtual int32_t HOSTAPI SetFov(float fov) = 0;  // slot 25

 protected:
    ~HostCamera() = default;
};

// A light adds no operations of its own: its fields are written directly.
class HostLight : public HostNode {
 protected:
    ~HostLight() = default;
};

class HostMaterial {
 public:
    HOST_UNUSED_SLOT(0);
    HOST_UNUSED_SLOT(1);
    HOST_UNUSED_SLOT(2);
    virtual int32_t HOSTAPI SetName(const char* name) = 0;  // slot 3
    HOST_UNUSED_SLOT(4);
    virtual int32_t HOSTAPI SetProperty(int32_t id, const void* value) = 0;  // slot 5

 protected:
    ~HostMaterial() = default;
};

class HostAnimation {
 public:
    HOST_UNUSED_SLOT(0);
    HOST_UNUSED_SLOT(1);
    virtual HostNodeTracks* HOSTAPI GetNodeTracks(HostNode* node) = 0;  // slot 2
    HOST_UNUSED_SLOT(3);
    HOST_UNUSED_SLOT(4);
    HOST_UNUSED_SLOT(5);
    HOST_UNUSED_SLOT(6);
    virtual int32_t HOSTAPI SetLength(float seconds) = 0;  // slot 7
    HOST_UNUSED_SLOT(8);
    virtual int32_t HOSTAPI SetPlayMode(int32_t mode) = 0;  // slot 9
    HOST_UNUSED_SLOT(10);
    HOST_UNUSED_SLOT(11);
    HOST_UNUSED_SLOT(12);
    HOST_UNUSED_SLOT(13);
    HOST_UNUSED_SLOT(14);
    virtual int32_t HOSTAPI SetFrameRate(float framesPerSecond) = 0;  // slot 15
    HOST_UNUSED_SLOT(16);
    HOST_UNUSED_SLOT(17);
    HOST_UNUSED_SLOT(18);
    HOST_UNUSED_SLOT(19);
    virtual int32_t HOSTAPI SetStart(float seconds) = 0;  // slot 20

 protected:
    ~HostAnimation() = default;
};

class HostNodeTracks {
 public:
    HOST_UNUSED_SLOT(0);
    HOST_UNUSED_SLOT(1);
    HOST_UNUSED_SLOT(2);
    HOST_UNUSED_SLOT(3);
    virtual int32_t HOSTAPI SetInitialTransform(const HostMatrix* m) = 0;  // slot 4
    HOST_UNUSED_SLOT(5);
    virtual HostKey* HOSTAPI AddRotationKey(float seconds) = 0;  // slot 6
    virtual HostKey* HOSTAPI AddPositionKey(float seconds) = 0;  // slot 7
    virtual HostKey* HOSTAPI AddScaleKey(float seconds) = 0;     // slot 8

 protected:
    ~HostNodeTracks() = default;
};

class HostKey {
 public:
    HOST_UNUSED_SLOT(0);
    virtual int32_t HOSTAPI SetValue(const float* value) = 0;  // slot 1

 protected:
    ~HostKey() = default;
};

// The placeholder slots of each interface (its base's not included), for
// implementations: HOST_UNUSED_SLOTS_HostApp(X) expands X(n) for every one.
#define HOST_UNUSED_SLOTS_HostApp(X)                                                                                  \
    X(0)                                                                                                              \
    X(2) X(4) X(6) X(9) X(12) X(13) X(14) X(18) X(19) X(20) X(21) X(22) X(23) X(25) X(26) X(27) X(28) X(29) X(30)     \
        X(31) X(32) X(33) X(34) X(35) X(36) X(37) X(38) X(39) X(40) X(41) X(42) X(44) X(45) X(48) X(50) X(53) X(54)   \
            X(55) X(57) X(58) X(59) X(60) X(61) X(62) X(63) X(64) X(65) X(66) X(68) X(69) X(70) X(71) X(72) X(73)     \
                X(74) X(75) X(76) X(77) X(78) X(79) X(80) X(81) X(82) X(83) X(84) X(85) X(86) X(87) X(88) X(89) X(90) \
                    X(91) X(92) X(93)
#define HOST_UNUSED_SLOTS_HostStream(X) X(1) X(4) X(5) X(7) X(8) X(9) X(11) X(12) X(13) X(15)
#define HOST_UNUSED_SLOTS_HostPool(X) X(1)
#define HOST_UNUSED_SLOTS_HostPointList(X) X(1) X(2) X(4)
#define HOST_UNUSED_SLOTS_HostParamBlock(X) X(1)
#define HOST_UNUSED_SLOTS_HostScene(X) X(5) X(6) X(8) X(9) X(12) X(13) X(14) X(15) X(16) X(17) X(18)
#define HOST_UNUSED_SLOTS_HostNodeList(X) X(0) X(1) X(4) X(5) X(6) X(7) X(8) X(9) X(10) X(11) X(12) X(13)
#define HOST_UNUSED_SLOTS_HostNode(X) X(0) X(1) X(2) X(4) X(6) X(7) X(8) X(9) X(12) X(13) X(14) X(15) X(16)
#define HOST_UNUSED_SLOTS_HostMeshNode(X)
#define HOST_UNUSED_SLOTS_HostCamera(X) X(17) X(18) X(20) X(22) X(23) X(24)
#define HOST_UNUSED_SLOTS_HostLight(X)
#define HOST_UNUSED_SLOTS_HostMaterial(X) X(0) X(1) X(2) X(4)
#define HOST_UNUSED_SLOTS_HostAnimation(X) \
    X(0) X(1) X(3) X(4) X(5) X(6) X(8) X(10) X(11) X(12) X(13) X(14) X(16) X(17) X(18) X(19)
#define HOST_UNUSED_SLOTS_HostNodeTracks(X) X(0) X(1) X(2) X(3) X(5)
#define HOST_UNUSED_SLOTS_HostKey(X) X(0)

// Slot numbers, for the contract test and for the host's own diagnostics.
namespace slot {
constexpr int HostApp_RegisterImporter = 1;
constexpr int HostApp_ShowMessage = 3;
constexpr int HostApp_CreatePool = 5;
constexpr int HostApp_CreatePointList = 7;
constexpr int HostApp_OpenResourceStream = 8;
constexpr int HostApp_CreateParamBlock = 10;
constexpr int HostApp_ReportInternalError = 11;
constexpr int HostApp_GetMainWindow = 15;
constexpr int HostApp_GetProfileInt = 16;
constexpr int HostApp_WriteProfileInt = 17;
constexpr int HostApp_ShowStatus = 24;
constexpr int HostApp_MatrixIdentity = 43;
constexpr int HostApp_MatrixMultiply = 46;
constexpr int HostApp_TransformPoints = 47;
constexpr int HostApp_MatrixInvert = 49;
constexpr int HostApp_MatrixTranslate = 51;
constexpr int HostApp_MatrixScale = 52;
constexpr int HostApp_MatrixFromQuat = 56;
constexpr int HostApp_RelativeMatrix = 67;
constexpr int HostApp_LoadModuleIcon = 94;
constexpr int HostStream_Release = 0;
constexpr int HostStream_Seek = 2;
constexpr int HostStream_Tell = 3;
constexpr int HostStream_Read = 6;
constexpr int HostStream_GetFileName = 10;
constexpr int HostStream_ReadLong = 14;
constexpr int HostStream_Close = 16;
constexpr int HostPool_Release = 0;
constexpr int HostPool_Alloc = 2;
constexpr int HostPointList_Release = 0;
constexpr int HostPointList_AddPoint = 3;
constexpr int HostPointList_StorePoints = 5;
constexpr int HostPointList_Init = 6;
constexpr int HostParamBlock_Release = 0;
constexpr int HostParamBlock_SetInt = 2;
constexpr int HostParamBlock_SetFloat = 3;
constexpr int HostParamBlock_SetPoint3 = 4;
constexpr int HostScene_CreateNode = 0;
constexpr int HostScene_CreateMaterial = 1;
constexpr int HostScene_CreateLight = 2;
constexpr int HostScene_CreateCamera = 3;
constexpr int HostScene_CreateTarget = 4;
constexpr int HostScene_AddSceneInfo = 7;
constexpr int HostScene_CreatePrimitive = 10;
constexpr int HostScene_EndImport = 11;
constexpr int HostScene_GetAnimation = 19;
constexpr int HostNodeList_Count = 2;
constexpr int HostNodeList_GetAt = 3;
constexpr int HostNodeList_FindByName = 14;
constexpr int HostNode_SetName = 3;
constexpr int HostNode_SetProperty = 5;
constexpr int HostNode_SetTransform = 10;
constexpr int HostNode_GetTransform = 11;
constexpr int HostMeshNode_SetVertexCount = 17;
constexpr int HostMeshNode_SetTexVertexCount = 18;
constexpr int HostMeshNode_SetFaceCount = 19;
constexpr int HostMeshNode_SetLineCount = 20;
constexpr int HostMeshNode_GetFace = 21;
constexpr int HostMeshNode_GetLine = 22;
constexpr int HostMeshNode_AllocNodeMemory = 23;
constexpr int HostCamera_SetVectorB = 19;
constexpr int HostCamera_SetVectorA = 21;
constexpr int HostCamera_SetFov = 25;
constexpr int HostMaterial_SetName = 3;
constexpr int HostMaterial_SetProperty = 5;
constexpr int HostAnimation_GetNodeTracks = 2;
constexpr int HostAnimation_SetLength = 7;
constexpr int HostAnimation_SetPlayMode = 9;
constexpr int HostAnimation_SetFrameRate = 15;
constexpr int HostAnimation_SetStart = 20;
constexpr int HostNodeTracks_SetInitialTransform = 4;
constexpr int HostNodeTracks_AddRotationKey = 6;
constexpr int HostNodeTracks_AddPositionKey = 7;
constexpr int HostNodeTracks_AddScaleKey = 8;
constexpr int HostKey_SetValue = 1;
}  // namespace slot
