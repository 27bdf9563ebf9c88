#include "ase/cameras_lights.h"

#include "ase/animation.h"
#include "ase/nodes.h"
#include "ase/object_scope.h"

namespace {

constexpr Keyword CameraType = "*CAMERA_TYPE";
constexpr Keyword CameraSettings = "*CAMERA_SETTINGS";
constexpr Keyword CameraNear = "*CAMERA_NEAR";
constexpr Keyword CameraFar = "*CAMERA_FAR";
constexpr Keyword CameraTargetDistance = "*CAMERA_TDIST";
constexpr Keyword TimeValue = "*TIMEVALUE";
constexpr Keyword CameraFov = "*CAMERA_FOV";

constexpr Keyword LightType = "*LIGHT_TYPE";
constexpr Keyword LightSettings = "*LIGHT_SETTINGS";
constexpr Keyword LightObjectNumbers[] = {"*LIGHT_USELIGHT", "*LIGHT_USEGLOBAL", "*LIGHT_ABSMAPBIAS",
                                          "*LIGHT_OVERSHOOT"};
constexpr Keyword LightShadows = "*LIGHT_SHADOWS";
constexpr Keyword LightSpotShape = "*LIGHT_SPOTSHAPE";
constexpr Keyword Omni = "Omni";
constexpr Keyword Target = "Target";
constexpr Keyword Directional = "Directional";
constexpr Keyword Off = "Off";
constexpr Keyword On = "On";

constexpr Keyword LightSettingsNumbers[] = {"*LIGHT_TDIST",    "*LIGHT_RAYBIAS", "*LIGHT_MAPSIZE",
                                            "*LIGHT_MAPRANGE", "*LIGHT_MAPBIAS", "*LIGHT_ASPECT"};
constexpr Keyword LightColour = "*LIGHT_COLOR";
constexpr Keyword AttenuationStart = "*LIGHT_ATTNSTART";
constexpr Keyword AttenuationEnd = "*LIGHT_ATTNEND";
constexpr Keyword Intensity = "*LIGHT_INTENS";
constexpr Keyword Hotspot = "*LIGHT_HOTSPOT";
constexpr Keyword Falloff = "*LIGHT_FALLOFF";

constexpr double Pi = 3.14159265358979323846;
constexpr double OneOver180 = 1.0 / 180.0;
constexpr float NoAttenuation = -1.0f;

bool openBlock(AseReader& reader) {
    return NextToken(reader) && TokenIsOpenBrace(reader);
}

template <std::size_t N>
bool isOneOf(const AseReader& reader, const Keyword (&keywords)[N]) {
    for (const Keyword& keyword : keywords) {
        if (TokenIs(reader, keyword)) return true;
    }
    return false;
}

// Cone angles: degrees to radians, except for a directional light.
float coneAngle(const HostLight* light, double value) {
    if (lightType(light) == LightDirectional) return static_cast<float>(value);
    return static_cast<float>(static_cast<long double>(value) * static_cast<long double>(Pi) *
                              static_cast<long double>(OneOver180));
}

}  // namespace

bool ReadCameraObject(AseReader& reader, HostNode* parent) {
    const NestingGuard nesting(reader);
    if (!nesting.allowed() || !openBlock(reader)) return false;
    HostCamera* camera = reader.scene->CreateCamera();
    if (!camera) return false;
    const float vectorA[3] = {0.0f, 1.0f, 0.0f};
    const float vectorB[3] = {0.0f, 0.0f, -1.0f};
    camera->SetVectorA(vectorA, 1);
    camera->SetVectorB(vectorB, 1);
    if (parent) setNodeParent(camera, parent);
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIs(reader, CameraType)) {
            if (!NextToken(reader)) return false;
        } else if (TokenIs(reader, CameraSettings)) {
            if (!ReadCameraSettings(reader, camera)) return false;
        } else if (TokenIsCloseBrace(reader)) {
            return true;
        } else if (!DispatchNodeKeyword(reader, camera, false)) {
            return false;
        }
    }
}

bool ReadCameraSettings(AseReader& reader, HostCamera* camera) {
    if (!openBlock(reader)) return false;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIs(reader, CameraNear) || TokenIs(reader, CameraFar) || TokenIs(reader, CameraTargetDistance)) {
            ReadFloat(reader);
        } else if (TokenIs(reader, TimeValue)) {
            ReadTime(reader);
        } else if (TokenIs(reader, CameraFov)) {
            camera->SetFov(static_cast<float>(ReadFloat(reader)));
        } else if (TokenIsCloseBrace(reader)) {
            return true;
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

bool ReadLightObject(AseReader& reader, HostNode* parent) {
    const NestingGuard nesting(reader);
    if (!nesting.allowed() || !openBlock(reader)) return false;
    HostLight* light = reader.scene->CreateLight();
    if (!light) return false;
    if (parent) setNodeParent(light, parent);
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIs(reader, LightType)) {
            if (!NextToken(reader)) return false;
            if (TokenIs(reader, Omni)) {
                setLightType(light, LightOmni);
            } else if (TokenIs(reader, Target)) {
                setLightType(light, LightTargetSpot);
            } else if (TokenIs(reader, Directional)) {
                setLightType(light, LightDirectional);
            }
        } else if (TokenIs(reader, LightSettings)) {
            if (!ReadLightSettings(reader, light)) return false;
        } else if (isOneOf(reader, LightObjectNumbers)) {
            ReadFloat(reader);
        } else if (TokenIs(reader, LightShadows)) {
            if (!NextToken(reader)) return false;
            if (TokenIs(reader, Off)) {
                light->SetProperty(NodeCastShadow, 0);
            } else if (TokenIs(reader, On)) {
                light->SetProperty(NodeCastShadow, 1);
            }
        } else if (TokenIs(reader, LightSpotShape)) {
            if (!NextToken(reader)) return false;
        } else if (TokenIsCloseBrace(reader)) {
            return true;
        } else if (!DispatchNodeKeyword(reader, light, false)) {
            return false;
        }
    }
}

bool ReadLightSettings(AseReader& reader, HostLight* light) {
    if (!openBlock(reader)) return false;
    float attenuationStart = NoAttenuation;
    float attenuationEnd = NoAttenuation;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (isOneOf(reader, LightSettingsNumbers)) {
            ReadFloat(reader);
        } else if (TokenIs(reader, TimeValue)) {
            ReadTime(reader);
        } else if (TokenIs(reader, LightColour)) {
            Point3 colour;
            setLightColor(light, ReadPoint3(reader, colour));
        } else if (TokenIs(reader, AttenuationStart)) {
            attenuationStart = static_cast<float>(ReadFloat(reader));
        } else if (TokenIs(reader, AttenuationEnd)) {
            attenuationEnd = static_cast<float>(ReadFloat(reader));
        } else if (TokenIs(reader, Intensity)) {
            setLightIntensity(light, static_cast<float>(ReadFloat(reader)));
        } else if (TokenIs(reader, Hotspot)) {
            setLightHotspot(light, coneAngle(light, ReadFloat(reader)));
        } else if (TokenIs(reader, Falloff)) {
            setLightFalloff(light, coneAngle(light, ReadFloat(reader)));
        } else if (TokenIsCloseBrace(reader)) {
            if (attenuationStart > 0.0f && attenuationEnd > 0.0f) {
                setLightUsesAttenuation(light, 1);
                setLightAttenuationStart(light, attenuationStart);
                setLightAttenuationEnd(light, attenuationEnd);
            }
            return true;
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}
