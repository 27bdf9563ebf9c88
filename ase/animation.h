// Node animation: "*TM_ANIMATION" blocks with their controller blocks, and
// the reader of key times.
#pragma once

#include "ase/reader.h"

// The transform components' controllers, one per controller keyword.
enum class Controller {
    PositionTrack,
    PositionTcb,
    PositionBezier,
    PositionLinear,
    RotationTcb,
    RotationTrack,
    RotationLinear,
    RotationBezier,
    ScaleTcb,
    ScaleTrack,
    ScaleLinear,
    ScaleBezier,
};

bool ReadTmAnimation(AseReader& reader, HostNode* node);
bool ReadControllerBlock(AseReader& reader, HostNodeTracks* tracks, Controller controller);
// A tick count in seconds: 4800 ticks to the second.
long double ReadTime(AseReader& reader);
// Five numbers: tension, continuity, bias, ease in and ease out of the key.
bool ReadTcbParameters(AseReader& reader, HostKey* key);
