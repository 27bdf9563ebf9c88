// Cameras as perspective cameras and lights as KHR_lights_punctual lights.
// Both look down their node's -Z axis in the host as in glTF.
#include <algorithm>
#include <cmath>

#include "context.h"
#include "host/text.h"

namespace gltf {

namespace {

constexpr double Pi = 3.14159265358979323846;
// When the scene gives none: 45 degrees.
constexpr double DefaultFov = Pi / 4;
constexpr double NearPlane = 0.1;
// A cone never opens wider than half a turn; the hotspot stays inside the falloff.
constexpr double NarrowestCone = 1e-4;

}  // namespace

// The host's field of view is in radians: the ASE importer passes the
// file's value on unchanged. It becomes the vertical field of view.
int exportCamera(Context& context, const refhost::NodeData& node) {
    double fov = node.fov ? *node.fov : DefaultFov;
    if (!std::isfinite(fov) || fov <= 0) {
        ++context.tally["cameras without a usable field of view, given 45 degrees"];
        fov = DefaultFov;
    }
    fov = std::min(fov, Pi - 1e-3);
    Json camera = Json::object();
    if (node.name) camera["name"] = refhost::utf8Text(*node.name);
    camera["type"] = "perspective";
    camera["perspective"] = {{"yfov", fov}, {"znear", NearPlane}};
    context.cameras.push_back(std::move(camera));
    ++context.counts.cameras;
    return static_cast<int>(context.cameras.size()) - 1;
}

// Omni lights are point lights, target spots spot lights, directional lights
// directional; any other type is taken as a point light. The intensity is
// the host's multiplier as it is. Hotspot and falloff (radians, full cone
// angles) become the inner and outer cone angles (half angles); the
// attenuation's end is the range.
int exportLight(Context& context, const refhost::NodeData& node) {
    const HostNode* l = node.self;
    const Point3 c = lightColor(l);
    const char* what = "light values that are not numbers, made 0";
    Json light = Json::object();
    if (node.name) light["name"] = refhost::utf8Text(*node.name);
    light["color"] = {std::clamp(static_cast<double>(context.finite(c.x, what)), 0.0, 1.0),
                      std::clamp(static_cast<double>(context.finite(c.y, what)), 0.0, 1.0),
                      std::clamp(static_cast<double>(context.finite(c.z, what)), 0.0, 1.0)};
    light["intensity"] = std::max(0.0, static_cast<double>(context.finite(lightIntensity(l), what)));
    const int32_t type = lightType(l);
    if (type == LightDirectional) {
        light["type"] = "directional";
    } else {
        if (type == LightTargetSpot) {
            const double outer = std::clamp(context.finite(lightFalloff(l), what) / 2.0, NarrowestCone, Pi / 2);
            const double inner = std::clamp(context.finite(lightHotspot(l), what) / 2.0, 0.0, outer * (1 - 1e-3));
            light["type"] = "spot";
            light["spot"] = {{"innerConeAngle", inner}, {"outerConeAngle", outer}};
        } else {
            if (type != LightOmni) ++context.tally["lights of an unknown type, made point lights"];
            light["type"] = "point";
        }
        const double end = context.finite(lightAttenuationEnd(l), what);
        if (lightUsesAttenuation(l) && end > 0) light["range"] = end;
    }
    context.lights.push_back(std::move(light));
    ++context.counts.lights;
    return static_cast<int>(context.lights.size()) - 1;
}

}  // namespace gltf
