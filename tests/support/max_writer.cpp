#include "support/max_writer.h"

#include <cstring>

#include "support/stream_codecs.h"

namespace testing_support {

namespace {

constexpr uint32_t ContainerBit = 0x80000000u;
constexpr uint64_t LongContainerBit = uint64_t{1} << 63;
constexpr uint32_t ShortHeader = 6;
constexpr uint32_t LongHeader = 14;
// The tags of the wrappers around zstd streams.
constexpr uint16_t ClassDirectoryTag = 0x2204;

Bytes int32Bytes(const std::vector<int32_t>& values) {
    Bytes bytes;
    for (int32_t v : values) appendInt32(bytes, v);
    return bytes;
}

std::string classDisplayName(ClassId id) {
    return "Class" + std::to_string(id.a) + "_" + std::to_string(id.b);
}

}  // namespace

void appendInt32(Bytes& bytes, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i)));
}

void appendFloat(Bytes& bytes, float value) {
    int32_t bits;
    std::memcpy(&bits, &value, 4);
    appendInt32(bytes, bits);
}

Chunk Chunk::data(uint16_t id, Bytes bytes) {
    Chunk c;
    c.id_ = id;
    c.data_ = std::move(bytes);
    return c;
}

Chunk Chunk::container(uint16_t id, std::vector<Chunk> children) {
    Chunk c;
    c.id_ = id;
    c.container_ = true;
    c.children_ = std::move(children);
    return c;
}

Chunk Chunk::int32s(uint16_t id, std::initializer_list<int32_t> values) {
    return data(id, int32Bytes(values));
}

Chunk Chunk::floats(uint16_t id, std::initializer_list<float> values) {
    Bytes bytes;
    for (float v : values) appendFloat(bytes, v);
    return data(id, bytes);
}

Chunk Chunk::utf16(uint16_t id, const std::string& text) {
    Bytes bytes;
    for (char ch : text) {
        bytes.push_back(static_cast<unsigned char>(ch));
        bytes.push_back(0);
    }
    return data(id, bytes);
}

Chunk Chunk::sparseRefs(int32_t slots, std::vector<std::pair<int32_t, int32_t>> filled) {
    Bytes bytes;
    appendInt32(bytes, slots);
    for (const auto& [slot, ref] : filled) {
        appendInt32(bytes, slot);
        appendInt32(bytes, ref);
    }
    return data(0x2035, bytes);
}

Chunk& Chunk::storedLength(uint32_t raw) {
    overridden_ = true;
    rawLength_ = raw;
    return *this;
}

Chunk& Chunk::longHeader() {
    long_ = true;
    return *this;
}

Chunk& Chunk::storedLongLength(uint64_t raw) {
    long_ = true;
    longOverridden_ = true;
    rawLongLength_ = raw;
    return *this;
}

Bytes Chunk::bytes(HeaderForm form) const {
    Bytes out;
    uint32_t turn = 0;
    write(out, form, turn);
    return out;
}

void Chunk::write(Bytes& out, HeaderForm form, uint32_t& turn) const {
    const bool longForm = long_ || form == HeaderForm::Long || (form == HeaderForm::Alternate && turn++ % 2 == 1);
    const std::size_t start = out.size();
    out.push_back(static_cast<unsigned char>(id_));
    out.push_back(static_cast<unsigned char>(id_ >> 8));
    out.insert(out.end(), longForm ? LongHeader - 2 : ShortHeader - 2, 0);
    if (container_) {
        for (const Chunk& c : children_) c.write(out, form, turn);
    } else {
        out.insert(out.end(), data_.begin(), data_.end());
    }
    const std::size_t length = out.size() - start;
    auto put = [&](std::size_t at, uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    if (!longForm) {
        put(start + 2, overridden_ ? rawLength_ : static_cast<uint32_t>(length) | (container_ ? ContainerBit : 0), 4);
    } else {
        put(start + 6, longOverridden_ ? rawLongLength_ : length | (container_ ? LongContainerBit : 0), 8);
    }
}

Bytes concat(const std::vector<Chunk>& chunks, HeaderForm form) {
    Bytes out;
    for (const Chunk& c : chunks) {
        const Bytes b = c.bytes(form);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

Bytes streamedScene(uint16_t topId, const Bytes& objects) {
    Bytes out{static_cast<unsigned char>(topId), static_cast<unsigned char>(topId >> 8)};
    appendInt32(out, 1);
    out.insert(out.end(), 8, 0xFF);
    out.insert(out.end(), objects.begin(), objects.end());
    return out;
}

Bytes wrappedStream(uint16_t tag, const Bytes& chunks) {
    Bytes out{static_cast<unsigned char>(tag), static_cast<unsigned char>(tag >> 8)};
    appendInt32(out, -1);
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

Bytes zstdStream(const Bytes& content) {
    // As the writer makes them: a checksum, no content size, a 512 KiB window.
    Bytes out{0xFF, 0xFF};
    const Bytes frame = zstdBytes(content, "-3 --zstd=wlog=19");
    out.insert(out.end(), frame.begin(), frame.end());
    return out;
}

Param floatParam(int32_t index, float value) {
    return {Param::Type::Float, index, value, 0, {0, 0, 0}};
}

Param intParam(int32_t index, int32_t value) {
    return {Param::Type::Int, index, 0, value, {0, 0, 0}};
}

int MaxWriter::addClass(const std::string& name, ClassId id) {
    classes_.push_back({name, id});
    return static_cast<int>(classes_.size()) - 1;
}

int MaxWriter::classFor(const std::string& name, ClassId id) {
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        if (classes_[i].name == name && classes_[i].id.a == id.a && classes_[i].id.b == id.b &&
            classes_[i].id.superclass == id.superclass)
            return static_cast<int>(i);
    }
    return addClass(name, id);
}

int MaxWriter::addObject(uint16_t classIndex, std::vector<Chunk> children) {
    objects_.push_back(Chunk::container(classIndex, std::move(children)));
    return static_cast<int>(objects_.size()) - 1;
}

int MaxWriter::node(const std::string& name, int32_t parentRef, std::vector<int32_t> refs, uint32_t colour) {
    std::vector<Chunk> lists;
    if (!refs.empty()) lists.push_back(Chunk::data(0x2034, int32Bytes(refs)));
    return nodeObject(name, parentRef, colour, std::move(lists));
}

int MaxWriter::nodeWithList(const std::string& name, int32_t parentRef, Chunk refList, uint32_t colour) {
    return nodeObject(name, parentRef, colour, {std::move(refList)});
}

int MaxWriter::nodeWithChunks(const std::string& name, int32_t parentRef, std::vector<int32_t> refs,
                              std::vector<Chunk> chunks) {
    chunks.insert(chunks.begin(), Chunk::data(0x2034, int32Bytes(refs)));
    return nodeObject(name, parentRef, 0xFFFFFF, std::move(chunks));
}

int MaxWriter::nodeObject(const std::string& name, int32_t parentRef, uint32_t colour, std::vector<Chunk> lists) {
    std::vector<Chunk> children{Chunk::int32s(0x0960, {parentRef})};
    if (!name.empty()) children.push_back(Chunk::utf16(0x0962, name));
    children.push_back(Chunk::int32s(0x0974, {static_cast<int32_t>(colour)}));
    for (Chunk& list : lists) children.push_back(std::move(list));
    return addObject(static_cast<uint16_t>(classFor("Node", NodeClass)), std::move(children));
}

int MaxWriter::scene(std::vector<int32_t> items) {
    return addObject(static_cast<uint16_t>(classFor("Scene", SceneClass)), {Chunk::data(0x2034, int32Bytes(items))});
}

int MaxWriter::position(float x, float y, float z) {
    return addObject(static_cast<uint16_t>(classFor("Bezier Position", PositionClass)),
                     {Chunk::floats(0x2503, {x, y, z})});
}

int MaxWriter::rotation(float x, float y, float z, float w, ClassId id) {
    return addObject(static_cast<uint16_t>(classFor(classDisplayName(id), id)), {Chunk::floats(0x2504, {x, y, z, w})});
}

int MaxWriter::scale(float x, float y, float z) {
    return addObject(static_cast<uint16_t>(classFor("Bezier Scale", ScaleClass)), {Chunk::floats(0x2505, {x, y, z})});
}

int MaxWriter::transform(std::vector<int32_t> subControllers) {
    return addObject(static_cast<uint16_t>(classFor("Position/Rotation/Scale", TransformClass)),
                     {Chunk::data(0x2034, int32Bytes(subControllers))});
}

int MaxWriter::mesh(const std::vector<float>& xyz, const std::vector<Face>& faces) {
    return meshWith(xyz, faces, {});
}

int MaxWriter::meshWith(const std::vector<float>& xyz, const std::vector<Face>& faces, std::vector<Chunk> chunks) {
    Bytes vertices;
    appendInt32(vertices, static_cast<int32_t>(xyz.size() / 3));
    for (float v : xyz) appendFloat(vertices, v);
    Bytes faceBytes;
    appendInt32(faceBytes, static_cast<int32_t>(faces.size()));
    for (const Face& f : faces) {
        for (uint32_t word : {f.a, f.b, f.c, 0u, f.flags}) appendInt32(faceBytes, static_cast<int32_t>(word));
    }
    chunks.insert(chunks.begin(), {Chunk::data(0x0914, vertices), Chunk::data(0x0912, faceBytes)});
    return addObject(static_cast<uint16_t>(classFor("Editable Mesh", EditableMeshClass)),
                     {Chunk::container(0x08FE, std::move(chunks))});
}

int MaxWriter::paramBlock(const std::vector<Param>& params, int32_t declared) {
    std::vector<Chunk> children{Chunk::int32s(0x0001, {declared < 0 ? static_cast<int32_t>(params.size()) : declared})};
    for (const Param& p : params) {
        std::vector<Chunk> parts;
        if (p.index >= 0) parts.push_back(Chunk::int32s(0x0003, {p.index}));
        switch (p.type) {
            case Param::Type::Float:
                parts.push_back(Chunk::floats(0x0100, {p.f}));
                break;
            case Param::Type::Int:
                parts.push_back(Chunk::int32s(0x0101, {p.i}));
                break;
            case Param::Type::Point3:
                parts.push_back(Chunk::floats(0x0102, {p.p[0], p.p[1], p.p[2]}));
                break;
        }
        children.push_back(Chunk::container(0x0002, std::move(parts)));
    }
    return addObject(static_cast<uint16_t>(classFor("ParamBlock", ParamBlockClass)), std::move(children));
}

int MaxWriter::primitive(ClassId id, std::vector<int32_t> refs) {
    return addObject(static_cast<uint16_t>(classFor(classDisplayName(id), id)),
                     {Chunk::data(0x2034, int32Bytes(refs))});
}

int MaxWriter::derived(std::vector<int32_t> refs) {
    objects_.push_back(Chunk::container(0x2032, {Chunk::data(0x2034, int32Bytes(refs))}));
    return static_cast<int>(objects_.size()) - 1;
}

Bytes MaxWriter::sceneStream(uint16_t topId, HeaderForm form) const {
    return Chunk::container(topId, objects_).bytes(form);
}

Bytes MaxWriter::classDirectoryStream(HeaderForm form) const {
    std::vector<Chunk> entries;
    for (const Class& c : classes_) {
        std::vector<Chunk> parts;
        if (!c.name.empty()) parts.push_back(Chunk::utf16(0x2042, c.name));
        Bytes record;
        for (uint32_t word : {0u, c.id.a, c.id.b, c.id.superclass}) appendInt32(record, static_cast<int32_t>(word));
        parts.push_back(Chunk::data(0x2060, record));
        entries.push_back(Chunk::container(0x2040, std::move(parts)));
    }
    return concat(entries, form);
}

std::vector<CompoundStream> MaxWriter::chunkStreams(const MaxFileForm& form) const {
    const Bytes directory = classDirectoryStream(form.directoryHeaders);
    const Bytes scene = sceneStream(form.sceneTopId, form.sceneHeaders);
    switch (form.coding) {
        case StreamCoding::Plain:
            break;
        case StreamCoding::Gzip:
            return {{"ClassDirectory3", gzipBytes(directory)}, {"Scene", gzipBytes(scene)}};
        case StreamCoding::Zstd: {
            const bool longTop = scene[2] == 0 && scene[3] == 0 && scene[4] == 0 && scene[5] == 0;
            const std::size_t topHeader = longTop ? LongHeader : ShortHeader;
            const Bytes objects(scene.begin() + static_cast<std::ptrdiff_t>(topHeader), scene.end());
            return {{"ClassDirectory3_Compressed", zstdStream(wrappedStream(ClassDirectoryTag, directory))},
                    {"Scene_Compressed", zstdStream(streamedScene(form.sceneTopId, objects))}};
        }
    }
    return {{"ClassDirectory3", directory}, {"Scene", scene}};
}

Bytes MaxWriter::build(const MaxFileForm& form) const {
    return writeCompound(chunkStreams(form));
}

Bytes MaxWriter::build(const CompoundOptions& options, std::vector<CompoundStream> extraStreams,
                       const std::string& directoryName) const {
    std::vector<CompoundStream> streams{{directoryName, classDirectoryStream()}, {"Scene", sceneStream()}};
    for (CompoundStream& s : extraStreams) streams.push_back(std::move(s));
    return writeCompound(streams, options);
}

Chunk keyTable(uint16_t id, uint32_t recordSize, const std::vector<Key>& keys) {
    Bytes bytes;
    for (const Key& key : keys) {
        Bytes record;
        appendInt32(record, key.time);
        appendInt32(record, 0);
        for (float v : key.value) appendFloat(record, v);
        record.resize(recordSize, 0);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return Chunk::data(id, bytes);
}

namespace {

Bytes block2Head(uint16_t number, uint16_t type, bool withValue) {
    Bytes b{static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
            static_cast<unsigned char>(type), static_cast<unsigned char>(type >> 8)};
    for (unsigned char flag : {0x00, 0x00, 0x21, 0x00, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00}) b.push_back(flag);
    b.push_back(withValue ? 0xC0 : 0x80);
    return b;
}

}  // namespace

Chunk block2Float(uint16_t number, uint16_t type, float value, uint16_t id) {
    Bytes b = block2Head(number, type, true);
    appendFloat(b, value);
    return Chunk::data(id, b);
}

Chunk block2Int(uint16_t number, uint16_t type, int32_t value, uint16_t id) {
    Bytes b = block2Head(number, type, true);
    appendInt32(b, value);
    return Chunk::data(id, b);
}

Chunk block2Animated(uint16_t number, uint16_t type) {
    return Chunk::data(0x100E, block2Head(number, type, false));
}

int MaxWriter::paramBlock2(std::vector<Chunk> records) {
    return addObject(static_cast<uint16_t>(classFor("ParamBlock2", ParamBlock2Class)), std::move(records));
}

Polygon deadPolygon() {
    Polygon p;
    p.mask = 0x01;
    p.flags = 2;
    return p;
}

int MaxWriter::controller(const std::string& className, ClassId id, std::vector<int32_t> refs,
                          std::vector<Chunk> chunks) {
    if (!refs.empty()) chunks.insert(chunks.begin(), Chunk::data(0x2034, int32Bytes(refs)));
    return addObject(static_cast<uint16_t>(classFor(className, id)), std::move(chunks));
}

int MaxWriter::bezierFloat(float value, const std::vector<Key>& keys, bool contained) {
    std::vector<Chunk> data{Chunk::floats(0x2501, {value})};
    if (!keys.empty()) data.push_back(keyTable(0x2525, 28, keys));
    std::vector<Chunk> chunks{Chunk::sparseRefs(2, {})};
    if (contained) {
        chunks.push_back(Chunk::container(0x7127, std::move(data)));
    } else {
        chunks.insert(chunks.end(), data.begin(), data.end());
    }
    return controller("Bezier Float", BezierFloatClass, {}, std::move(chunks));
}

int MaxWriter::poly(const std::vector<PolyVertex>& vertices, const std::vector<Polygon>& polygons,
                    const std::vector<PolyMap>& maps) {
    Bytes vertexBytes;
    appendInt32(vertexBytes, static_cast<int32_t>(vertices.size()));
    for (const PolyVertex& v : vertices) {
        appendInt32(vertexBytes, v.dead ? 2 : 0);
        if (v.dead) continue;
        for (float f : {v.x, v.y, v.z}) appendFloat(vertexBytes, f);
    }
    Bytes polygonBytes;
    appendInt32(polygonBytes, static_cast<int32_t>(polygons.size()));
    for (const Polygon& p : polygons) {
        appendInt32(polygonBytes, static_cast<int32_t>(p.corners.size()));
        for (uint32_t c : p.corners) appendInt32(polygonBytes, static_cast<int32_t>(c));
        polygonBytes.push_back(static_cast<unsigned char>(p.mask));
        polygonBytes.push_back(static_cast<unsigned char>(p.mask >> 8));
        if (p.mask & 0x01) appendInt32(polygonBytes, static_cast<int32_t>(p.flags));
        if (p.mask & 0x08) {
            polygonBytes.push_back(static_cast<unsigned char>(p.material));
            polygonBytes.push_back(static_cast<unsigned char>(p.material >> 8));
        }
        if (p.mask & 0x10) appendInt32(polygonBytes, static_cast<int32_t>(p.smoothing));
        if (p.mask & 0x20) {
            for (uint32_t d : p.diagonals) appendInt32(polygonBytes, static_cast<int32_t>(d));
        }
    }
    std::vector<Chunk> chunks{Chunk::data(0x0100, vertexBytes), Chunk::data(0x011A, polygonBytes),
                              Chunk::int32s(0x0120, {2})};
    for (const PolyMap& map : maps) {
        Bytes uvw;
        appendInt32(uvw, static_cast<int32_t>(map.uvw.size() / 3));
        for (float f : map.uvw) appendFloat(uvw, f);
        Bytes records;
        for (const std::vector<uint32_t>& record : map.polygons) {
            appendInt32(records, static_cast<int32_t>(record.size()));
            for (uint32_t index : record) appendInt32(records, static_cast<int32_t>(index));
        }
        chunks.push_back(Chunk::int32s(0x0124, {map.channel}));
        chunks.push_back(Chunk::data(0x0128, uvw));
        chunks.push_back(Chunk::data(0x012B, records));
    }
    return addObject(static_cast<uint16_t>(classFor("Editable Poly", EditablePolyClass)),
                     {Chunk::container(0x08FE, std::move(chunks))});
}

}  // namespace testing_support
