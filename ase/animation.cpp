#include "ase/animation.h"

#include <cstring>

#include "ase/nodes.h"
#include "frame/module_state.h"
#include "platform/text_format.h"

namespace {

constexpr double SecondsPerTick = 1.0 / 4800.0;
constexpr char ControllerPrefix[] = "*CONTROL_";
constexpr std::size_t ControllerPrefixLength = sizeof ControllerPrefix - 1;
constexpr Keyword NodeName = "*NODE_NAME";
constexpr std::size_t UnsupportedMessageCapacity = 264;  // a keyword of up to 249 characters fits

enum class KeyKind { Position, Rotation, Scale };

struct ControllerForm {
    Keyword controller;
    Keyword key;
    KeyKind kind;
    int valueCount;
    bool tcb;          // five TCB numbers follow the value
    int droppedCount;  // numbers after the value that are read and dropped
};

// In the order the keywords are tested, which is the order of Controller.
constexpr ControllerForm Forms[] = {
    {"*CONTROL_POS_TRACK", "*CONTROL_POS_SAMPLE", KeyKind::Position, 3, false, 0},
    {"*CONTROL_POS_TCB", "*CONTROL_TCB_POS_KEY", KeyKind::Position, 3, false, 0},
    {"*CONTROL_POS_BEZIER", "*CONTROL_BEZIER_POS_KEY", KeyKind::Position, 3, false, 5},
    {"*CONTROL_POS_LINEAR", "*CONTROL_POS_KEY", KeyKind::Position, 3, false, 0},
    {"*CONTROL_ROT_TCB", "*CONTROL_TCB_ROT_KEY", KeyKind::Rotation, 4, true, 0},
    {"*CONTROL_ROT_TRACK", "*CONTROL_ROT_SAMPLE", KeyKind::Rotation, 4, false, 0},
    {"*CONTROL_ROT_LINEAR", "*CONTROL_ROT_KEY", KeyKind::Rotation, 4, false, 0},
    {"*CONTROL_ROT_BEZIER", "*CONTROL_ROT_KEY", KeyKind::Rotation, 4, false, 0},
    {"*CONTROL_SCALE_TCB", "*CONTROL_TCB_SCALE_KEY", KeyKind::Scale, 3, true, 0},
    {"*CONTROL_SCALE_TRACK", "*CONTROL_SCALE_SAMPLE", KeyKind::Scale, 3, false, 0},
    {"*CONTROL_SCALE_LINEAR", "*CONTROL_SCALE_KEY", KeyKind::Scale, 3, false, 4},
    {"*CONTROL_SCALE_BEZIER", "*CONTROL_BEZIER_SCALE_KEY", KeyKind::Scale, 3, false, 11},
};
static_assert(sizeof Forms / sizeof Forms[0] == static_cast<std::size_t>(Controller::ScaleBezier) + 1,
              "one form per controller");

int controllerOf(const AseReader& reader) {
    for (std::size_t i = 0; i < sizeof Forms / sizeof Forms[0]; ++i) {
        if (TokenIs(reader, Forms[i].controller)) return static_cast<int>(i);
    }
    return -1;
}

HostKey* addKey(HostNodeTracks* tracks, KeyKind kind, float seconds) {
    switch (kind) {
        case KeyKind::Position:
            return tracks->AddPositionKey(seconds);
        case KeyKind::Rotation:
            return tracks->AddRotationKey(seconds);
        case KeyKind::Scale:
            return tracks->AddScaleKey(seconds);
    }
    return nullptr;
}

// The node's track set, fetched once per block. Keys are never made without
// one, and the host is never asked for the tracks of no node.
bool fetchTracks(HostAnimation* animation, HostNode* node, HostNodeTracks*& tracks) {
    if (tracks) return true;
    if (!node) return false;
    tracks = animation->GetNodeTracks(node);
    return tracks != nullptr;
}

bool skipUnsupported(AseReader& reader) {
    char text[UnsupportedMessageCapacity];
    formatText(text, "%s - unsupported", reader.token);
    hostApp->ShowMessage(MessageWarning, text);
    return HandleCommonKeyword(reader);
}

}  // namespace

long double ReadTime(AseReader& reader) {
    return static_cast<long double>(ReadInt(reader)) * static_cast<long double>(SecondsPerTick);
}

bool ReadTcbParameters(AseReader& reader, HostKey* key) {
    KeyTcb tcb;
    tcb.tension = static_cast<float>(ReadFloat(reader));
    tcb.continuity = static_cast<float>(ReadFloat(reader));
    tcb.bias = static_cast<float>(ReadFloat(reader));
    tcb.easeIn = static_cast<float>(ReadFloat(reader));
    tcb.easeOut = static_cast<float>(ReadFloat(reader));
    setKeyTcb(key, tcb);
    return true;
}

bool ReadControllerBlock(AseReader& reader, HostNodeTracks* tracks, Controller controller) {
    const ControllerForm& form = Forms[static_cast<int>(controller)];
    if (!NextToken(reader) || !TokenIsOpenBrace(reader)) return false;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIs(reader, form.key)) {
            const float seconds = static_cast<float>(ReadTime(reader));
            HostKey* key = addKey(tracks, form.kind, seconds);
            if (!key) return false;
            float value[4];
            for (int i = 0; i < form.valueCount; ++i) value[i] = static_cast<float>(ReadFloat(reader));
            key->SetValue(value);
            if (form.tcb) {
                ReadTcbParameters(reader, key);
            } else {
                for (int i = 0; i < form.droppedCount; ++i) ReadFloat(reader);
            }
        } else if (TokenIsCloseBrace(reader)) {
            return true;
        } else {
            return false;
        }
    }
}

bool ReadTmAnimation(AseReader& reader, HostNode* node) {
    if (!NextToken(reader) || !TokenIsOpenBrace(reader)) return false;
    HostNode* current = node;
    HostNodeTracks* tracks = nullptr;
    HostAnimation* animation = reader.scene->GetAnimation(1);
    if (!animation) return false;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        // The exact, upper-case prefix fetches the track set, for any keyword.
        if (std::strncmp(reader.token, ControllerPrefix, ControllerPrefixLength) == 0 &&
            !fetchTracks(animation, current, tracks)) {
            return false;
        }
        int controller;
        if (TokenIs(reader, NodeName)) {
            HostNode* found = FindNodeByName(reader);
            current = found ? found : node;
        } else if ((controller = controllerOf(reader)) >= 0) {
            if (!fetchTracks(animation, current, tracks)) return false;
            if (!ReadControllerBlock(reader, tracks, static_cast<Controller>(controller))) return false;
        } else if (TokenIsCloseBrace(reader)) {
            return true;
        } else if (!skipUnsupported(reader)) {
            return false;
        }
    }
}
