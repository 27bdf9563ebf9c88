// The default handling of keywords: comments become scene information, a few
// known keywords drop their values, and anything else loses one following
// token, quoted string or block.
#include "ase/reader.h"
#include "platform/text_format.h"

namespace {

constexpr Keyword Comment = "*COMMENT";
constexpr Keyword MotionBlur = "*PROP_MOTIONBLUR";
constexpr Keyword CastShadow = "*PROP_CASTSHADOW";
constexpr Keyword ReceiveShadow = "*PROP_RECVSHADOW";
constexpr Keyword WireframeColour = "*WIREFRAME_COLOR";

}  // namespace

bool HandleCommonKeyword(AseReader& reader) {
    for (;;) {
        if (TokenIs(reader, Comment)) {
            char text[TextCapacity];
            if (!ReadString(reader, text)) return false;
            char line[TextCapacity + 2];
            formatText(line, "%s\r\n", text);
            reader.scene->AddSceneInfo(SceneInfoComment, line);
            return true;
        }
        if (TokenIs(reader, MotionBlur) || TokenIs(reader, CastShadow) || TokenIs(reader, ReceiveShadow)) {
            ReadInt(reader);
            return true;
        }
        if (TokenIs(reader, WireframeColour)) {
            Point3 dropped;
            ReadPoint3(reader, dropped);
            return true;
        }
        if (TokenIsOpenBrace(reader)) {
            SkipBlock(reader);
            return true;
        }
        char value[TextCapacity];
        if (!ReadString(reader, value)) return false;
        if (TokenIsOpenBrace(reader)) {
            SkipBlock(reader);
            return true;
        }
        // A keyword without values: the one taken as its value is handled in turn.
        if (reader.token[0] != '*') return true;
    }
}
