#include "support/material_writer.h"

namespace testing_support {

namespace {

constexpr uint16_t TypeColour = 2;
constexpr uint16_t TypeBool = 4;

Bytes floatBytes(const Colour& c) {
    Bytes b;
    for (float f : c) appendFloat(b, f);
    return b;
}

Bytes int32Bytes(std::initializer_list<int32_t> values) {
    Bytes b;
    for (int32_t v : values) appendInt32(b, v);
    return b;
}

Chunk refList(const std::vector<int32_t>& refs) {
    Bytes b;
    for (int32_t r : refs) appendInt32(b, r);
    return Chunk::data(0x2034, b);
}

Chunk nameHeader(const std::string& name) {
    std::vector<Chunk> header;
    if (!name.empty()) header.push_back(Chunk::utf16(0x4001, name));
    header.push_back(Chunk::int32s(0x4003, {0x208}));
    return Chunk::container(0x4000, std::move(header));
}

uint16_t entryId(MaterialLayout layout) {
    switch (layout) {
        case MaterialLayout::R3:
            return 0x000A;
        case MaterialLayout::V9:
            return 0x000E;
        default:
            return 0x100E;
    }
}

int paramBlock2(MaxWriter& w, std::vector<Chunk> entries) {
    std::vector<Chunk> children{Chunk::data(0x0009, Bytes(16, 0x2E))};
    for (Chunk& e : entries) children.push_back(std::move(e));
    return w.addObject(static_cast<uint16_t>(w.classFor("ParamBlock2", ParamBlock2Class)), std::move(children));
}

Chunk fileChunks(const StandardMaterial& m, AssetTable& assets, uint16_t containerId) {
    std::vector<Chunk> parts{Chunk::data(0x1201, Bytes(8, 0x11))};
    if (m.route == BitmapRoute::Direct) {
        parts.push_back(Chunk::utf16(0x1230, m.bitmap));
    } else {
        const auto id = assets.add(m.bitmap);
        parts.push_back(Chunk::container(0x1260, {Chunk::data(0x0002, Bytes(id.begin(), id.end()))}));
    }
    parts.push_back(Chunk::utf16(0x1240, "JPEG File"));
    return Chunk::container(containerId, std::move(parts));
}

int bitmap(MaxWriter& w, MaterialLayout layout, const StandardMaterial& m, AssetTable& assets) {
    const auto bitmapClass = static_cast<uint16_t>(w.classFor("Bitmap", BitmapClass));
    if (layout == MaterialLayout::PreR3)
        return w.addObject(bitmapClass, {nameHeader("Map #1"), fileChunks(m, assets, 0x5010)});
    const int params = paramBlock2(w, {paramEntry(layout, 0, int32Bytes({0})), fileChunks(m, assets, 0x0003)});
    return w.addObject(bitmapClass, {refList({-1, params}), nameHeader("Map #1")});
}

int texmaps(MaxWriter& w, int32_t diffuseMap) {
    std::vector<std::pair<int32_t, int32_t>> filled;
    if (diffuseMap >= 0) filled.push_back({3, diffuseMap});
    return w.addObject(static_cast<uint16_t>(w.classFor("Texmaps", TexmapsClass)),
                       {Chunk::sparseRefs(48, filled), Chunk::int32s(0x5003, {2})});
}

}  // namespace

std::array<unsigned char, 16> AssetTable::add(const std::string& path) {
    std::array<unsigned char, 16> id{};
    for (std::size_t i = 0; i < id.size(); ++i) id[i] = static_cast<unsigned char>(seed_ + 7 * records_.size() + i);
    records_.push_back({id, path});
    return id;
}

Bytes AssetTable::bytes() const {
    Bytes b;
    auto text = [&b](const std::string& s) {
        appendInt32(b, static_cast<int32_t>(s.size()));
        for (char c : s) {
            b.push_back(static_cast<unsigned char>(c));
            b.push_back(0);
        }
        b.push_back(0);
        b.push_back(0);
    };
    for (const Record& r : records_) {
        b.insert(b.end(), r.id.begin(), r.id.end());
        text("Bitmap");
        text(r.path);
        text("C:\\resolved\\" + r.path);
    }
    return b;
}

Chunk paramEntry(MaterialLayout layout, uint16_t param, const Bytes& value) {
    Bytes b{static_cast<unsigned char>(param), static_cast<unsigned char>(param >> 8)};
    const uint16_t type = value.size() == 12 ? TypeColour : TypeBool;
    b.push_back(static_cast<unsigned char>(type));
    b.push_back(0);
    // What lies between the type and the value differs by type and version.
    const Bytes filler{0x00, 0x00, 0x01, 0x00, 0x82, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0};
    const std::size_t fillerSize = layout == MaterialLayout::R3 ? 7 : filler.size();
    b.insert(b.end(), filler.begin(), filler.begin() + static_cast<std::ptrdiff_t>(fillerSize));
    b.insert(b.end(), value.begin(), value.end());
    return Chunk::data(entryId(layout), b);
}

int standardMaterial(MaxWriter& w, MaterialLayout layout, const StandardMaterial& m, AssetTable& assets) {
    const int map = m.route == BitmapRoute::None ? -1 : bitmap(w, layout, m, assets);
    const int maps = texmaps(w, map);
    const auto standardClass = static_cast<uint16_t>(w.classFor("Standard", StandardMaterialClass));
    if (layout == MaterialLayout::PreR3) {
        auto colour = [](int32_t index, const Colour& c) {
            return Param{Param::Type::Point3, index, 0, 0, {c[0], c[1], c[2]}};
        };
        const int block =
            w.paramBlock({colour(0, m.ambient), colour(1, m.diffuse), colour(2, m.specular), floatParam(3, 0.4f)});
        return w.addObject(standardClass, {refList({block, maps}), nameHeader(m.name), Chunk::int32s(0x5000, {0x820})});
    }
    const int shaderBlock =
        paramBlock2(w, {paramEntry(layout, 0, floatBytes(m.ambient)), paramEntry(layout, 1, floatBytes(m.diffuse)),
                        paramEntry(layout, 2, floatBytes(m.specular)), paramEntry(layout, 3, int32Bytes({1}))});
    const int shader = w.addObject(static_cast<uint16_t>(w.classFor("Blinn", BlinnClass)), {refList({shaderBlock})});
    const int basics = paramBlock2(w, {paramEntry(layout, 0, int32Bytes({1})), paramEntry(layout, 1, int32Bytes({0})),
                                       paramEntry(layout, 2, int32Bytes({m.twoSided ? 1 : 0}))});
    return w.addObject(standardClass, {refList({-1, maps, shader, basics}), nameHeader(m.name)});
}

int multiMaterial(MaxWriter& w, MaterialLayout layout, const std::string& name, const std::vector<int32_t>& subs) {
    std::vector<int32_t> refs;
    if (layout != MaterialLayout::PreR3) {
        refs.push_back(paramBlock2(w, {paramEntry(layout, 0, int32Bytes({static_cast<int32_t>(subs.size())}))}));
    }
    refs.insert(refs.end(), subs.begin(), subs.end());
    return w.addObject(static_cast<uint16_t>(w.classFor("Multi/Sub-Object", MultiMaterialClass)),
                       {refList(refs), nameHeader(name), Chunk::int32s(0x4002, {static_cast<int32_t>(subs.size())})});
}

}  // namespace testing_support
