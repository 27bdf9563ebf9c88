#include "seeds.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "fuzz_targets.h"
#include "platform/compound_file.h"
#include "support/max_writer.h"

namespace fuzz_targets {

namespace {

using testing_support::Bytes;
using testing_support::Chunk;
using testing_support::MaxWriter;

// Every kind of block the ASE importer reads, small.
constexpr char AseScene[] = R"(*3DSMAX_ASCIIEXPORT	200
*COMMENT "seed"
*SCENE {
	*SCENE_FILENAME "seed.max"
	*SCENE_FIRSTFRAME 0
	*SCENE_LASTFRAME 100
	*SCENE_FRAMESPEED 30
	*SCENE_TICKSPERFRAME 160
}
*MATERIAL_LIST {
	*MATERIAL_COUNT 2
	*MATERIAL 0 {
		*MATERIAL_NAME "Plain"
		*MATERIAL_AMBIENT 0.1 0.1 0.1
		*MATERIAL_DIFFUSE 0.5 0.5 0.5
		*MATERIAL_SPECULAR 0.9 0.9 0.9
		*MATERIAL_SHINE 0.1
		*MATERIAL_SHINESTRENGTH 0.2
		*MATERIAL_TRANSPARENCY 0.0
		*MATERIAL_SOFTEN
		**MATERIAL_TWOSIDED
		*MAP_DIFFUSE {
			*BITMAP "map.bmp"
			*UVW_U_OFFSET 0.0
			*UVW_V_OFFSET 0.0
			*UVW_U_TILING 1.0
			*UVW_V_TILING 1.0
		}
	}
	*MATERIAL 1 {
		*MATERIAL_NAME "Multi"
		*NUMSUBMTLS 2
		*SUBMATERIAL 0 { *MATERIAL_NAME "A" }
		*SUBMATERIAL 1 { *MATERIAL_NAME "B" *NUMSUBMTLS 1 *SUBMATERIAL 0 { } }
	}
}
*GEOMOBJECT {
	*NODE_NAME "Box"
	*NODE_TM {
		*NODE_NAME "Box"
		*INHERIT_POS 0 0 0
		*TM_ROW0 1 0 0
		*TM_ROW1 0 1 0
		*TM_ROW2 0 0 1
		*TM_ROW3 1 2 3
		*TM_ROTANGLE 0
	}
	*MESH {
		*TIMEVALUE 0
		*MESH_NUMVERTEX 4
		*MESH_NUMFACES 2
		*MESH_VERTEX_LIST {
			*MESH_VERTEX 0 0 0 0
			*MESH_VERTEX 1 1 0 0
			*MESH_VERTEX 2 1 1 0
			*MESH_VERTEX 3 0 1 0
		}
		*MESH_FACE_LIST {
			*MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 1 *MESH_MTLID 0
			*MESH_FACE 1: A: 0 B: 2 C: 3 AB: 0 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 1
		}
		*MESH_NUMTVERTEX 3
		*MESH_TVERTLIST {
			*MESH_TVERT 0 0 0 0
			*MESH_TVERT 1 1 0 0
			*MESH_TVERT 2 1 1 0
		}
		*MESH_NUMTVFACES 2
		*MESH_TFACELIST {
			*MESH_TFACE 0 0 1 2
			*MESH_TFACE 1 0 2 1
		}
	}
	*PROP_MOTIONBLUR 0
	*PROP_CASTSHADOW 1
	*PROP_RECVSHADOW 1
	*MATERIAL_REF 1
	*TM_ANIMATION {
		*NODE_NAME "Box"
		*CONTROL_POS_TRACK { *CONTROL_POS_SAMPLE 0 1 2 3 *CONTROL_POS_SAMPLE 160 2 3 4 }
		*CONTROL_ROT_TCB { *CONTROL_TCB_ROT_KEY 0 0 0 1 0 0 0 0 0 0 }
		*CONTROL_SCALE_BEZIER { *CONTROL_BEZIER_SCALE_KEY 0 1 1 1 0 0 0 0 0 0 0 0 0 0 0 }
		*CONTROL_FLOAT_TCB { }
	}
}
*SHAPEOBJECT {
	*NODE_NAME "Line"
	*NODE_PARENT "Box"
	*SHAPE_LINECOUNT 1
	*SHAPE_LINE 0 {
		*SHAPE_CLOSED
		*SHAPE_VERTEXCOUNT 3
		*SHAPE_VERTEX_KNOT 0 0 0 0
		*SHAPE_VERTEX_INTERP 1 1 0 0
		*SHAPE_VERTEX_KNOT 2 1 1 0
	}
	*WIREFRAME_COLOR 1 0 0
}
*HELPEROBJECT {
	*NODE_NAME "Dummy"
	*NODE_PARENT "Line"
	*HELPER_CLASS "Dummy"
}
*GROUP "Group" {
	*NODE_NAME "Group"
	*GEOMOBJECT { *NODE_NAME "Inside" *NODE_PARENT "Group" }
}
*CAMERAOBJECT {
	*NODE_NAME "Camera"
	*CAMERA_TYPE Target
	*NODE_TM { *NODE_NAME "Camera" *TM_ROW0 1 0 0 *TM_ROW1 0 1 0 *TM_ROW2 0 0 1 *TM_ROW3 0 -10 0 }
	*NODE_TM { *NODE_NAME "Camera.Target" *TM_ROW0 1 0 0 *TM_ROW1 0 1 0 *TM_ROW2 0 0 1 *TM_ROW3 0 0 0 }
	*CAMERA_SETTINGS { *TIMEVALUE 0 *CAMERA_NEAR 1 *CAMERA_FAR 100 *CAMERA_FOV 0.8 *CAMERA_TDIST 10 }
}
*LIGHTOBJECT {
	*NODE_NAME "Light"
	*LIGHT_TYPE Target
	*NODE_TM { *NODE_NAME "Light" *TM_ROW0 1 0 0 *TM_ROW1 0 1 0 *TM_ROW2 0 0 1 *TM_ROW3 5 5 5 }
	*NODE_TM { *NODE_NAME "Light.Target" *TM_ROW0 1 0 0 *TM_ROW1 0 1 0 *TM_ROW2 0 0 1 *TM_ROW3 0 0 0 }
	*LIGHT_SHADOWS Off
	*LIGHT_USELIGHT 1
	*LIGHT_SPOTSHAPE Circle
	*LIGHT_SETTINGS {
		*TIMEVALUE 0
		*LIGHT_COLOR 1 1 1
		*LIGHT_INTENS 1
		*LIGHT_HOTSPOT 43
		*LIGHT_FALLOFF 45
		*LIGHT_ATTNSTART 10
		*LIGHT_ATTNEND 100
		*LIGHT_USEFARATTEN 1
	}
}
)";

Bytes textBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The same text as UTF-16 with its byte order mark, as some exports come.
Bytes utf16(const std::string& text) {
    Bytes bytes{0xFF, 0xFE};
    for (const char c : text) {
        bytes.push_back(static_cast<unsigned char>(c));
        bytes.push_back(0);
    }
    return bytes;
}

const std::vector<float> Square{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};

// A scene with each kind of object the MAX importer reads.
MaxWriter everyObject() {
    using namespace testing_support;
    MaxWriter w;
    const int mesh = w.mesh(Square, {{0, 1, 2, 7}, {0, 2, 3, 3}});
    const int prs = w.transform({w.position(1, 2, 3), w.rotation(0, 0, 0.38f, 0.92f), w.scale(1, 2, 1)});
    const int root = w.node("Root", -1, {prs, mesh});
    const int child =
        w.node("Child", root, {w.transform({w.rotation(0, 0, 0, 1, TcbRotationClass)}), w.derived({mesh})});
    const int box = w.primitive(BoxClass, {w.paramBlock({floatParam(0, 1), floatParam(1, 2), intParam(2, 3)})});
    w.node("Prim", child, {box});
    w.node("Torus", -1, {w.derived({w.primitive(TorusClass, {w.paramBlock({floatParam(0, 4)}, 1)})})});
    w.addClass("Standard", StandardMaterialClass);
    w.scene({root, child});
    return w;
}

// A chain of nodes, each the parent of the next.
MaxWriter chain() {
    MaxWriter w;
    int parent = -1;
    for (int i = 0; i < 8; ++i) parent = w.node("N" + std::to_string(i), parent, {});
    w.scene({});
    return w;
}

std::vector<NamedInput> maxFiles(bool thumbnail) {
    std::vector<testing_support::CompoundStream> extra;
    if (thumbnail) extra.push_back({"ThumbnailImage", Bytes(300, 0x5A)});
    const MaxWriter every = everyObject();
    std::vector<NamedInput> inputs = {
        {"every_object.max", every.build({}, extra)},
        {"every_object_4096.max", every.build({4096, false}, extra)},
        {"every_object_fragmented.max", every.build({512, true}, extra)},
        {"chain.max", chain().build({}, extra)},
    };
    if (thumbnail) {
        // A thumbnail in a regular stream, beyond the mini stream's limit.
        inputs.push_back({"large_thumbnail.max", chain().build({}, {{"ThumbnailImage", Bytes(5000, 0xA5)}})});
    }
    return inputs;
}

std::vector<NamedInput> viewerInputs() {
    const MaxWriter every = everyObject();
    MaxWriter nested;
    Chunk inner = Chunk::data(0x0100, Bytes{0, 0, 0x80, 0x3F});
    for (int depth = 0; depth < 8; ++depth) inner = Chunk::container(static_cast<uint16_t>(depth), {inner});
    nested.addObject(static_cast<uint16_t>(nested.addClass("Thing", {5, 6})),
                     {inner, Chunk::utf16(0x0962, "name"), Chunk::floats(0x0102, {0.5f, 1, 0}),
                      Chunk::int32s(0x0001, {7}), Chunk::data(0x0005, Bytes{3, 0})});
    return {
        {"every_object.bin", viewerInput(every.classDirectoryStream(), every.sceneStream())},
        {"chain.bin", viewerInput(chain().classDirectoryStream(), chain().sceneStream())},
        {"nested.bin", viewerInput(nested.classDirectoryStream(), nested.sceneStream())},
    };
}

bool readWhole(void* context, uint32_t offset, void* buffer, uint32_t count) {
    const auto* file = static_cast<const Bytes*>(context);
    if (offset > file->size() || count > file->size() - offset) return false;
    std::copy(file->begin() + offset, file->begin() + offset + count, static_cast<unsigned char*>(buffer));
    return true;
}

// The bytes of a stream of a compound file, or nothing.
Bytes streamOf(const Bytes& file, const char* name) {
    compound::Document document;
    if (compound::openDocument(document, {const_cast<Bytes*>(&file), readWhole}) != compound::Status::Ok) return {};
    Bytes bytes;
    compound::Stream stream;
    if (compound::openStream(document, name, stream) == compound::Status::Ok) {
        bytes.resize(stream.size);
        bytes.resize(compound::readStream(document, stream, 0, bytes.data(), stream.size));
        compound::closeStream(stream);
    }
    compound::closeDocument(document);
    return bytes;
}

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool endsWithIgnoringCase(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    for (std::size_t i = 0; i < end.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i]) return false;
    }
    return true;
}

}  // namespace

std::vector<NamedInput> generatedInputs(const std::string& target) {
    if (target == "ase_import") {
        const std::string scene = AseScene;
        return {{"every_block.ase", textBytes(scene)},
                {"every_block_utf16.ase", utf16(scene)},
                {"crlf_comma.ase", textBytes("*SCENE {\r\n*SCENE_FRAMESPEED 30,5\r\n}\r\n*GEOMOBJECT {\r\n}\r\n")}};
    }
    if (target == "max_import") return maxFiles(false);
    if (target == "max_thumbnail") return maxFiles(true);
    if (target == "max_viewer") return viewerInputs();
    return {};
}

std::vector<NamedInput> sampleInputs(const std::string& target, const std::string& path, std::size_t sizeLimit) {
    const bool ase = endsWithIgnoringCase(path, ".ase");
    const bool max = endsWithIgnoringCase(path, ".max");
    if ((target == "ase_import" && !ase) || (target != "ase_import" && !max)) return {};
    Bytes bytes = fileBytes(path);
    if (target == "max_viewer") {
        Bytes directory = streamOf(bytes, "ClassDirectory3");
        if (directory.empty()) directory = streamOf(bytes, "ClassDirectory");
        bytes = viewerInput(directory, streamOf(bytes, "Scene"));
    }
    if (bytes.empty() || bytes.size() > sizeLimit) return {};
    return {{baseName(path) + (target == "max_viewer" ? ".streams" : ""), bytes}};
}

}  // namespace fuzz_targets
