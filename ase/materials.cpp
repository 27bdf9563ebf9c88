#include "ase/materials.h"

#include "platform/heap.h"

namespace {

constexpr Keyword MaterialCount = "*MATERIAL_COUNT";
constexpr Keyword Material = "*MATERIAL";
constexpr Keyword MaterialName = "*MATERIAL_NAME";
constexpr Keyword SubMaterialCount = "*NUMSUBMTLS";
// Exporters write the single-asterisk form; the doubled one, which this
// reader first took, is still accepted.
constexpr Keyword TwoSided = "*MATERIAL_TWOSIDED";
constexpr Keyword TwoSidedDoubled = "**MATERIAL_TWOSIDED";
constexpr Keyword Transparency = "*MATERIAL_TRANSPARENCY";
constexpr Keyword SubMaterial = "*SUBMATERIAL";
constexpr Keyword Ambient = "*MATERIAL_AMBIENT";
constexpr Keyword Diffuse = "*MATERIAL_DIFFUSE";
constexpr Keyword Specular = "*MATERIAL_SPECULAR";
constexpr Keyword Shine = "*MATERIAL_SHINE";
constexpr Keyword ShineStrength = "*MATERIAL_SHINESTRENGTH";
constexpr Keyword Soften = "*MATERIAL_SOFTEN";
constexpr Keyword DiffuseMap = "*MAP_DIFFUSE";
constexpr Keyword UOffset = "*UVW_U_OFFSET";
constexpr Keyword VOffset = "*UVW_V_OFFSET";
constexpr Keyword UTiling = "*UVW_U_TILING";
constexpr Keyword VTiling = "*UVW_V_TILING";
constexpr Keyword Bitmap = "*BITMAP";

bool openBlock(AseReader& reader) {
    return NextToken(reader) && TokenIsOpenBrace(reader);
}

// Replaces a table with a new one of count null slots (none for a count of 0
// or below). False when the count is too large, beyond what the input can
// hold, or memory ran out; the table is then empty.
bool makeTable(AseReader& reader, MaterialRecord**& table, int32_t& slots, int32_t count) {
    FreeMaterialTable(table, slots);
    table = nullptr;
    slots = 0;
    if (count <= 0) return true;
    if (count > MaxMaterialSlots || !ReserveEntries(reader, count)) return false;
    table = static_cast<MaterialRecord**>(heapAllocArray(static_cast<uint32_t>(count), sizeof(MaterialRecord*), true));
    if (!table) return false;
    slots = count;
    return true;
}

void setFloatProperty(HostMaterial* material, int32_t id, double value) {
    const float v = static_cast<float>(value);
    material->SetProperty(id, &v);
}

void setColourProperty(AseReader& reader, HostMaterial* material, int32_t id) {
    Point3 colour;
    material->SetProperty(id, &ReadPoint3(reader, colour));
}

}  // namespace

bool ParseMaterialList(AseReader& reader) {
    if (!openBlock(reader)) return false;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) return true;
        if (TokenIs(reader, MaterialCount)) {
            if (!makeTable(reader, reader.materials, reader.materialCount, ReadInt(reader))) return false;
        } else if (TokenIs(reader, Material)) {
            const int32_t index = ReadInt(reader);
            if (index < 0 || index >= reader.materialCount) return false;
            MaterialRecord* record = NewRecordAt(reader.materials, index);
            if (!record || !ParseMaterial(reader, *record, 1)) return false;
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

bool ParseMaterial(AseReader& reader, MaterialRecord& record, int32_t depth) {
    if (depth > MaxMaterialNesting) return false;
    if (!openBlock(reader)) return false;
    int32_t subLimit = 0;
    HostMaterial* material = reader.scene->CreateMaterial();
    record.hostMaterial = material;
    if (!material) return false;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) return true;
        if (TokenIs(reader, MaterialName)) {
            char name[TextCapacity];
            if (ReadString(reader, name)) material->SetName(name);
        } else if (TokenIs(reader, SubMaterialCount)) {
            const int32_t count = ReadInt(reader);
            if (!makeTable(reader, record.subMaterials, record.subCount, count)) return false;
            subLimit = record.subCount;
        } else if (TokenIs(reader, TwoSided) || TokenIs(reader, TwoSidedDoubled)) {
            record.twoSided = 1;
        } else if (TokenIs(reader, Transparency)) {
            setFloatProperty(material, MaterialOpacity, 1.0 - ReadFloat(reader));
        } else if (TokenIs(reader, SubMaterial)) {
            const int32_t index = ReadInt(reader);
            if (index < 0 || index >= subLimit) return false;
            MaterialRecord* sub = NewRecordAt(record.subMaterials, index);
            if (!sub || !ParseMaterial(reader, *sub, depth + 1)) return false;
        } else if (TokenIs(reader, Ambient)) {
            setColourProperty(reader, material, MaterialAmbient);
        } else if (TokenIs(reader, Diffuse)) {
            setColourProperty(reader, material, MaterialDiffuse);
        } else if (TokenIs(reader, Specular)) {
            setColourProperty(reader, material, MaterialSpecular);
        } else if (TokenIs(reader, Shine)) {
            setFloatProperty(material, MaterialShine, ReadFloat(reader));
        } else if (TokenIs(reader, ShineStrength)) {
            setFloatProperty(material, MaterialShineStrength, ReadFloat(reader));
        } else if (TokenIs(reader, Soften)) {
            // recognised; its value is passed over
        } else if (TokenIs(reader, DiffuseMap)) {
            if (!ParseDiffuseMap(reader, record)) return false;
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

bool ParseDiffuseMap(AseReader& reader, MaterialRecord& record) {
    if (!openBlock(reader)) return false;
    HostMaterial* material = record.hostMaterial;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) return true;
        if (TokenIs(reader, UOffset)) {
            setFloatProperty(material, MaterialUOffset, ReadFloat(reader));
        } else if (TokenIs(reader, VOffset)) {
            setFloatProperty(material, MaterialVOffset, ReadFloat(reader));
        } else if (TokenIs(reader, UTiling)) {
            setFloatProperty(material, MaterialUTiling, ReadFloat(reader));
        } else if (TokenIs(reader, VTiling)) {
            setFloatProperty(material, MaterialVTiling, ReadFloat(reader));
        } else if (TokenIs(reader, Bitmap)) {
            char path[TextCapacity];
            if (ReadString(reader, path)) material->SetProperty(MaterialDiffuseMap, path);
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}
