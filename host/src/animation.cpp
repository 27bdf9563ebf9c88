// The animation object: timing, one track set per node, keys in the order made.
#include <cstring>

#include "scene_objects.h"

namespace refhost {

namespace {

const char* keyTypeName(KeyType type) {
    switch (type) {
        case KeyType::Position:
            return "Position";
        case KeyType::Rotation:
            return "Rotation";
        case KeyType::Scale:
            return "Scale";
    }
    return "?";
}

}  // namespace

HostNodeTracks* AnimationObject::GetNodeTracks(HostNode* node) {
    const NodeData* target = app_.findNode(node);
    if (!target) {
        reportContractViolation("GetNodeTracks for a node the host did not make");
        return nullptr;
    }
    auto& tracks = tracks_[target];
    if (!tracks) {
        tracks = std::make_unique<NodeTracksObject>(app_, *target);
        data.tracks.push_back(&tracks->data);
    }
    REFHOST_TRACE(app_, "Animation.GetNodeTracks(#%d)", target->index);
    return tracks.get();
}

int32_t AnimationObject::SetLength(float seconds) {
    data.length = seconds;
    REFHOST_TRACE(app_, "Animation.SetLength(%.9g)", static_cast<double>(seconds));
    return 1;
}

int32_t AnimationObject::SetPlayMode(int32_t mode) {
    data.playMode = mode;
    REFHOST_TRACE(app_, "Animation.SetPlayMode(%d)", mode);
    return 1;
}

int32_t AnimationObject::SetFrameRate(float framesPerSecond) {
    data.frameRate = framesPerSecond;
    REFHOST_TRACE(app_, "Animation.SetFrameRate(%.9g)", static_cast<double>(framesPerSecond));
    return 1;
}

int32_t AnimationObject::SetStart(float seconds) {
    data.start = seconds;
    REFHOST_TRACE(app_, "Animation.SetStart(%.9g)", static_cast<double>(seconds));
    return 1;
}

NodeTracksObject::NodeTracksObject(App& app, const NodeData& node) : app_(app) {
    data.node = &node;
}

int32_t NodeTracksObject::SetInitialTransform(const HostMatrix* m) {
    if (!m) return 0;
    data.initialTransform = *m;
    REFHOST_TRACE(app_, "Tracks#%d.SetInitialTransform", data.node->index);
    return 1;
}

HostKey* NodeTracksObject::addKey(KeyType type, float seconds) {
    keys_.push_back(std::make_unique<KeyObject>(app_, type, seconds));
    data.keys.push_back(&keys_.back()->data);
    REFHOST_TRACE(app_, "Tracks#%d.Add%sKey(%.9g)", data.node->index, keyTypeName(type), static_cast<double>(seconds));
    return keys_.back().get();
}

HostKey* NodeTracksObject::AddRotationKey(float seconds) {
    return addKey(KeyType::Rotation, seconds);
}
HostKey* NodeTracksObject::AddPositionKey(float seconds) {
    return addKey(KeyType::Position, seconds);
}
HostKey* NodeTracksObject::AddScaleKey(float seconds) {
    return addKey(KeyType::Scale, seconds);
}

KeyObject::KeyObject(App& app, KeyType type, float time) : app_(app) {
    std::memset(record, 0, sizeof record);
    data = KeyData{type, time, {}, this};
}

int32_t KeyObject::SetValue(const float* value) {
    if (!value) return 0;
    const std::size_t count = data.type == KeyType::Rotation ? 4 : 3;
    data.value.assign(value, value + count);
    if (count == 4) {
        REFHOST_TRACE(app_, "Key.SetValue(%g, %g, %g, %g)", static_cast<double>(value[0]),
                      static_cast<double>(value[1]), static_cast<double>(value[2]), static_cast<double>(value[3]));
    } else {
        REFHOST_TRACE(app_, "Key.SetValue(%g, %g, %g)", static_cast<double>(value[0]), static_cast<double>(value[1]),
                      static_cast<double>(value[2]));
    }
    return 1;
}

}  // namespace refhost
