// Materials for the test writer's MAX files, in the layout of each version:
// Standard materials with their colours, two-sidedness and a diffuse bitmap
// named directly or through the asset table, and Multi/Sub-Object materials.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/max_writer.h"

namespace testing_support {

// Where a Standard material keeps its colours and its bitmap's file.
enum class MaterialLayout {
    PreR3,  // an old parameter block; the bitmap's own container
    R3,     // the shader's ParamBlock2 with entries 0x000A; the bitmap's parameter block
    V9,     // entries 0x000E
    V18,    // entries 0x100E
};

enum class BitmapRoute { None, Direct, Asset };

using Colour = std::array<float, 3>;

struct StandardMaterial {
    std::string name;  // "" writes no name
    Colour ambient{0.1f, 0.1f, 0.1f};
    Colour diffuse{0.5f, 0.5f, 0.5f};
    Colour specular{0.9f, 0.9f, 0.9f};
    bool twoSided = false;
    BitmapRoute route = BitmapRoute::None;
    std::string bitmap;
};

constexpr ClassId MultiMaterialClass{0x200, 0};
constexpr ClassId TexmapsClass{0x1200, 0};
constexpr ClassId BitmapClass{0x240, 0};
constexpr ClassId BlinnClass{0x38, 0};

// The records of a FileAssetMetaData stream, filled as bitmaps are written
// by the asset route.
class AssetTable {
 public:
    // Tables of different seeds give different identifiers.
    explicit AssetTable(unsigned char seed = 0xA0) : seed_(seed) {}
    // A new asset identifier for the path.
    std::array<unsigned char, 16> add(const std::string& path);
    Bytes bytes() const;

 private:
    struct Record {
        std::array<unsigned char, 16> id;
        std::string path;
    };
    unsigned char seed_;
    std::vector<Record> records_;
};

// A ParamBlock2 entry: parameter id, type, filler, and the value last.
Chunk paramEntry(MaterialLayout layout, uint16_t param, const Bytes& value);

int standardMaterial(MaxWriter& w, MaterialLayout layout, const StandardMaterial& m, AssetTable& assets);
// Slots holding -1 are empty. From R3 on, a parameter block comes first.
int multiMaterial(MaxWriter& w, MaterialLayout layout, const std::string& name, const std::vector<int32_t>& subs);

}  // namespace testing_support
