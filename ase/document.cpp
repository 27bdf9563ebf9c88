#include "ase/document.h"

#include "ase/materials.h"
#include "ase/nodes.h"
#include "platform/text_format.h"

namespace {

constexpr Keyword ExportVersion = "*3DSMAX_ASCIIEXPORT";
constexpr Keyword Scene = "*SCENE";
constexpr Keyword MaterialList = "*MATERIAL_LIST";
constexpr Keyword FileName = "*SCENE_FILENAME";
constexpr Keyword FirstFrame = "*SCENE_FIRSTFRAME";
constexpr Keyword LastFrame = "*SCENE_LASTFRAME";
constexpr Keyword FrameSpeed = "*SCENE_FRAMESPEED";
constexpr Keyword TicksPerFrame = "*SCENE_TICKSPERFRAME";
constexpr Keyword Background = "*SCENE_BACKGROUND_STATIC";
constexpr Keyword Ambient = "*SCENE_AMBIENT_STATIC";
constexpr int32_t VersionTextCapacity = 64;

}  // namespace

bool ParseDocument(AseReader& reader) {
    for (;;) {
        if (!NextKeyword(reader)) return true;
        if (TokenIs(reader, ExportVersion)) {
            const int32_t version = ReadInt(reader);
            char text[VersionTextCapacity];
            formatText(text, "MAX ascii export %d.%d", version / 100, version % 100);
            reader.scene->AddSceneInfo(SceneInfoFormat, text);
        } else if (TokenIs(reader, Scene)) {
            if (!ParseSceneBlock(reader)) return false;
        } else if (TokenIs(reader, MaterialList)) {
            if (!ParseMaterialList(reader)) return false;
        } else if (!DispatchNodeKeyword(reader, nullptr, true)) {
            return false;
        }
    }
}

bool ParseSceneBlock(AseReader& reader) {
    if (!NextToken(reader) || !TokenIsOpenBrace(reader)) return false;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) return true;
        if (TokenIs(reader, FileName)) {
            char dropped[TextCapacity];
            ReadString(reader, dropped);
        } else if (TokenIs(reader, FirstFrame)) {
            reader.firstFrame = static_cast<float>(ReadFloat(reader));
        } else if (TokenIs(reader, LastFrame)) {
            reader.lastFrame = static_cast<float>(ReadFloat(reader));
        } else if (TokenIs(reader, FrameSpeed)) {
            reader.frameSpeed = static_cast<float>(ReadFloat(reader));
        } else if (TokenIs(reader, TicksPerFrame)) {
            ReadFloat(reader);
        } else if (TokenIs(reader, Background) || TokenIs(reader, Ambient)) {
            Point3 dropped;
            ReadPoint3(reader, dropped);
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}
