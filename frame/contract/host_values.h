// Numbers the plug-in passes to the host: property ids, scene information
// kinds, message levels, primitive kinds and the animation play mode.
#pragma once

#include <cstdint>

// HostMaterial::SetProperty ids; the value always travels by pointer.
enum MaterialProperty : int32_t {
    MaterialAmbient = 200,        // Point3 colour
    MaterialDiffuse = 201,        // Point3 colour
    MaterialSpecular = 202,       // Point3 colour
    MaterialDiffuseMap = 204,     // zero-terminated file name
    MaterialUTiling = 205,        // float
    MaterialVTiling = 206,        // float
    MaterialUOffset = 207,        // float
    MaterialVOffset = 208,        // float
    MaterialOpacity = 210,        // float, 1 - transparency
    MaterialShineStrength = 220,  // float
    MaterialShine = 221,          // float
};

// HostNode::SetProperty ids; the value is passed directly.
enum NodeProperty : int32_t {
    NodeCastShadow = 101,     // integer
    NodeReceiveShadow = 102,  // integer
    NodeMaterial = 302,       // HostMaterial pointer
};

// HostScene::AddSceneInfo kinds.
enum SceneInfoKind : int32_t {
    SceneInfoFormat = 1,    // what kind of file the scene came from
    SceneInfoComment = 12,  // a comment of the file
};

// HostApp::ShowMessage levels.
enum MessageLevel : int32_t {
    MessageReport = 0,    // ASE keywords skipped
    MessageNotice = 1,    // failures and notices of the entry points and the compound document
    MessageWarning = 2,   // class directory and unsupported animation controllers
    MessageSceneLog = 3,  // the MAX scene log
};

constexpr int32_t StatusLevel = 2;         // HostApp::ShowStatus
constexpr int32_t PoolBlockSize = 0xFFFF;  // HostApp::CreatePool
constexpr int32_t ResourceStreamMode = 2;  // HostApp::OpenResourceStream
constexpr int32_t AnimationPlayMode = 5;   // HostAnimation::SetPlayMode

// HostScene::CreatePrimitive kinds.
enum PrimitiveKind : int32_t {
    PrimitiveBox = 1,
    PrimitiveSphere = 2,
    PrimitiveCylinder = 3,
    PrimitiveTorus = 4,
    PrimitiveCone = 6,
    PrimitiveGeoSphere = 7,
    PrimitiveTube = 8,
    PrimitivePyramid = 9,
    PrimitivePrism = 10,
    PrimitiveHedra = 11,
    PrimitiveChamferBox = 12,
    PrimitiveOilTank = 13,
    PrimitiveSpindle = 14,
    PrimitiveGengon = 15,
    PrimitiveChamferCyl = 17,
    PrimitiveKind40 = 40,
};
