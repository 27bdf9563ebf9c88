// The host's animation keys as one glTF animation: per node and component a
// linear sampler through the key values, times in seconds.
//
// A rotation key holds an axis and an angle relative to the previous key of
// its track (the first one relative to no rotation), so the keys are
// composed in the order they were made. A key that turns by more than a
// quarter turn gets samples in between, so that the interpolation turns the
// way the key does and not the short way round. TCB and Bezier keys are
// sampled linearly through their values, with their tangents left aside.
#include <algorithm>
#include <cmath>

#include "context.h"
#include "transforms.h"

namespace gltf {

namespace {

constexpr double Pi = 3.14159265358979323846;
// The most samples one rotation key may be split into.
constexpr int MaxRotationSteps = 64;

struct Sample {
    double time;
    std::array<double, 4> value;
};

// Strictly increasing times: by time, the later-made of equal times kept;
// negative times dropped.
std::vector<Sample> ordered(Context& context, std::vector<Sample> samples) {
    std::stable_sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.time < b.time; });
    std::vector<Sample> out;
    for (const Sample& s : samples) {
        if (s.time < 0) {
            ++context.tally["keys before time 0, left out"];
            continue;
        }
        if (!out.empty() && out.back().time == s.time) {
            out.back() = s;
            continue;
        }
        out.push_back(s);
    }
    return out;
}

bool finiteKey(Context& context, const refhost::KeyData& key, std::size_t size) {
    if (key.value.size() != size) {
        ++context.tally["keys without a value, left out"];
        return false;
    }
    bool ok = std::isfinite(key.time);
    for (float v : key.value) ok = ok && std::isfinite(v);
    if (!ok) ++context.tally["keys with values that are not numbers, left out"];
    return ok;
}

std::vector<Sample> vectorSamples(Context& context, const refhost::TracksData& tracks, refhost::KeyType type) {
    std::vector<Sample> samples;
    for (const refhost::KeyData* key : tracks.keys) {
        if (key->type != type || !finiteKey(context, *key, 3)) continue;
        samples.push_back({key->time, {key->value[0], key->value[1], key->value[2], 0}});
    }
    return ordered(context, std::move(samples));
}

std::vector<Sample> rotationSamples(Context& context, const refhost::TracksData& tracks) {
    std::vector<const refhost::KeyData*> keys;
    for (const refhost::KeyData* key : tracks.keys) {
        if (key->type == refhost::KeyType::Rotation && finiteKey(context, *key, 4)) keys.push_back(key);
    }
    bool inOrder = true;
    for (std::size_t i = 1; i < keys.size(); ++i) inOrder = inOrder && keys[i]->time >= keys[i - 1]->time;

    std::vector<Sample> samples;
    Quat q{0, 0, 0, 1};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const float* v = keys[i]->value.data();
        const int steps = i > 0 && inOrder
                              ? std::clamp(static_cast<int>(std::ceil(std::fabs(double(v[3])) / (Pi / 2) - 1e-6)), 1,
                                           MaxRotationSteps)
                              : 1;
        const Quat start = q;
        for (int s = 1; s <= steps; ++s) {
            const float part[4] = {v[0], v[1], v[2], static_cast<float>(double(v[3]) * s / steps)};
            q = normalize(multiply(start, keyRotation(part)));
            const double t0 = i > 0 ? keys[i - 1]->time : keys[i]->time;
            samples.push_back({t0 + (keys[i]->time - t0) * s / steps, q});
        }
    }
    samples = ordered(context, std::move(samples));
    // Neighbours in the same half of the quaternion sphere.
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const auto& a = samples[i - 1].value;
        auto& b = samples[i].value;
        if (a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3] < 0) {
            for (double& c : b) c = -c;
        }
    }
    return samples;
}

}  // namespace

Json exportAnimation(Context& context) {
    const refhost::AnimationData* animation = context.scene.animation();
    if (!animation) return nullptr;
    Json samplers = Json::array(), channels = Json::array();
    for (const refhost::TracksData* tracks : animation->tracks) {
        const int node = context.scene.indexOf(tracks->node->self);
        if (node < 0) continue;
        struct Component {
            const char* path;
            std::vector<Sample> samples;
            int size;
        } components[] = {{"translation", vectorSamples(context, *tracks, refhost::KeyType::Position), 3},
                          {"rotation", rotationSamples(context, *tracks), 4},
                          {"scale", vectorSamples(context, *tracks, refhost::KeyType::Scale), 3}};
        for (const Component& c : components) {
            if (c.samples.empty()) continue;
            std::vector<float> times, values;
            for (const Sample& s : c.samples) {
                times.push_back(static_cast<float>(s.time));
                for (int k = 0; k < c.size; ++k)
                    values.push_back(static_cast<float>(s.value[static_cast<std::size_t>(k)]));
            }
            // Times that only float precision had told apart.
            bool increasing = true;
            for (std::size_t i = 1; i < times.size(); ++i) increasing = increasing && times[i] > times[i - 1];
            if (!increasing) {
                ++context.tally["tracks with keys closer than float precision, left out"];
                continue;
            }
            const int input = context.buffer.addFloats(times, 1, Target::None);
            const int output = context.buffer.addFloats(values, c.size, Target::None);
            samplers.push_back({{"input", input}, {"interpolation", "LINEAR"}, {"output", output}});
            channels.push_back(
                {{"sampler", static_cast<int>(samplers.size()) - 1}, {"target", {{"node", node}, {"path", c.path}}}});
            ++context.counts.animationChannels;
        }
    }
    if (channels.empty()) return nullptr;
    return {{"name", "Animation"}, {"channels", std::move(channels)}, {"samplers", std::move(samplers)}};
}

}  // namespace gltf
