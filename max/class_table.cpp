// The table of the classes the importer knows: one line per class, with
// its reader where it has one.
#include "frame/contract/host_values.h"
#include "max/class_registry.h"
#include "max/editable_mesh.h"
#include "max/editable_poly.h"
#include "max/plane.h"
#include "max/primitives.h"

namespace {

constexpr uint32_t SuperclassMaterial = 0xC00;
constexpr uint32_t SuperclassTexmap = 0xC10;
constexpr uint32_t SuperclassParamBlock = 0x08;
constexpr uint32_t SuperclassParamBlock2 = 0x82;
// Texmaps are filed under either, by version.
constexpr uint32_t SuperclassTexmapContainer = 0x1080;
constexpr uint32_t SuperclassReferenceTarget = 0x100;
constexpr uint32_t SuperclassFloatControl = 0x9003;
constexpr uint32_t SuperclassMatrixControl = 0x9008;
constexpr uint32_t SuperclassPositionControl = 0x900B;
constexpr uint32_t SuperclassRotationControl = 0x900C;
constexpr uint32_t SuperclassScaleControl = 0x900D;

constexpr ClassRole Object = ClassRole::Object;
constexpr ClassRole Controller = ClassRole::Controller;
constexpr ClassRole Material = ClassRole::Material;
constexpr ClassRole Other = ClassRole::Other;

constexpr ClassInfo primitive(uint32_t a, uint32_t b, int32_t kind) {
    return {SuperclassGeometry, a, b, false, MaxClass::Primitive, Object, kind, readPrimitive, nullptr};
}
constexpr ClassInfo controller(uint32_t superclass, uint32_t a, uint32_t b, MaxClass id, bool anyB = false) {
    return {superclass, a, b, anyB, id, Controller, 0, nullptr, nullptr};
}

// Where identifiers collide, the first entry is the one a record without a
// superclass gets.
constexpr ClassInfo Classes[] = {
    {SuperclassGeometry, 0xE44F10B3u, 0, false, MaxClass::EditableMesh, Object, 0, readEditableMesh, nullptr},
    {SuperclassGeometry, 0x1BF8338Du, 0x192F6098u, false, MaxClass::EditablePoly, Object, 0, readEditablePoly, nullptr},
    {SuperclassGeometry, 0x081F1DFCu, 0x77566F65u, false, MaxClass::Plane, Object, 0, readPlane, nullptr},
    primitive(0x00000010u, 0, PrimitiveBox),
    primitive(0x00000011u, 0, PrimitiveSphere),
    primitive(0x00000012u, 0, PrimitiveCylinder),
    primitive(0x00000020u, 0, PrimitiveTorus),
    primitive(0xA86C23DDu, 0, PrimitiveCone),
    primitive(0x00000000u, 0x00007F9Eu, PrimitiveGeoSphere),
    primitive(0x00007B21u, 0, PrimitiveTube),
    primitive(0x76BF318Au, 0x4BF37B10u, PrimitivePyramid),
    primitive(0x63705FACu, 0x5C1F553Fu, PrimitivePrism),
    primitive(0xF21C5E23u, 0, PrimitiveHedra),
    primitive(0x1AD73F40u, 0x48EA0F97u, PrimitiveChamferBox),
    primitive(0x210E642Au, 0x22F11EF8u, PrimitiveOilTank),
    primitive(0x130B141Bu, 0x04B35AFEu, PrimitiveSpindle),
    primitive(0x49BF599Fu, 0x35F945ABu, PrimitiveGengon),
    primitive(0x7B9A546Eu, 0x21A446A1u, PrimitiveChamferCyl),
    primitive(0x00001070u, 0, PrimitiveKind40),

    controller(SuperclassMatrixControl, 0x2005u, 0, MaxClass::PositionRotationScale),
    controller(SuperclassMatrixControl, 0x2006u, 0, MaxClass::LookAt),
    controller(SuperclassMatrixControl, 0x0E6F5815u, 0x717F99A4u, MaxClass::IkControl),
    controller(SuperclassMatrixControl, 0x78724378u, 0x008A4FD9u, MaxClass::IkChainControl),
    controller(SuperclassFloatControl, 0x2007u, 0, MaxClass::BezierFloat),
    controller(SuperclassFloatControl, 0x2001u, 0, MaxClass::LinearFloat),
    controller(SuperclassFloatControl, 0x442311u, 0, MaxClass::TcbFloat),
    controller(SuperclassPositionControl, 0x2008u, 0, MaxClass::BezierPosition, true),
    controller(SuperclassPositionControl, 0x442312u, 0, MaxClass::TcbPosition),
    controller(SuperclassPositionControl, 0x2002u, 0, MaxClass::LinearPosition),
    controller(SuperclassPositionControl, 0x118F7E02u, 0xFFEE238Au, MaxClass::PositionXyz),
    controller(SuperclassPositionControl, 0x4B4B1002u, 0, MaxClass::PositionList),
    controller(SuperclassRotationControl, 0x2009u, 0, MaxClass::BezierRotation, true),
    controller(SuperclassRotationControl, 0x442313u, 0, MaxClass::TcbRotation, true),
    controller(SuperclassRotationControl, 0x2003u, 0, MaxClass::LinearRotation),
    controller(SuperclassRotationControl, 0x2012u, 0, MaxClass::EulerXyz),
    controller(SuperclassRotationControl, 0x4B4B1003u, 0, MaxClass::RotationList),
    controller(SuperclassScaleControl, 0x2010u, 0, MaxClass::BezierScale, true),
    controller(SuperclassScaleControl, 0x442315u, 0, MaxClass::TcbScale),
    controller(SuperclassScaleControl, 0x2004u, 0, MaxClass::LinearScale),
    controller(SuperclassScaleControl, 0x118F7C01u, 0xFEEE238Bu, MaxClass::ScaleXyz),
    controller(SuperclassScaleControl, 0x4B4B1004u, 0, MaxClass::ScaleList),

    {SuperclassMaterial, 0x2u, 0, false, MaxClass::StandardMaterial, Material, 0, nullptr, nullptr},
    {SuperclassMaterial, 0x200u, 0, false, MaxClass::MultiMaterial, Material, 0, nullptr, nullptr},

    {SuperclassParamBlock, 0x8u, 0, false, MaxClass::ParamBlock, Other, 0, nullptr, nullptr},
    {SuperclassParamBlock2, 0x82u, 0, false, MaxClass::ParamBlock2, Other, 0, nullptr, nullptr},
    {SuperclassTexmapContainer, 0x1200u, 0, false, MaxClass::Texmaps, Other, 0, nullptr, nullptr},
    {SuperclassReferenceTarget, 0x1200u, 0, false, MaxClass::Texmaps, Other, 0, nullptr, nullptr},
    {SuperclassTexmap, 0x240u, 0, false, MaxClass::Bitmap, Other, 0, nullptr, nullptr},
};

}  // namespace

const ClassInfo* classTable(uint32_t& count) {
    count = sizeof Classes / sizeof Classes[0];
    return Classes;
}
