// Camera and light objects and their settings blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ase/document.h"
#include "ase_text.h"

using ase_testing::AseText;
using Lines = std::vector<std::string>;

TEST(Cameras, VectorsFieldOfViewAndType) {
    AseText input(
        "*CAMERAOBJECT { *NODE_NAME \"Cam\" *CAMERA_TYPE Target *UNKNOWN 1 *CAMERA_SETTINGS { *TIMEVALUE 0 "
        "*CAMERA_NEAR 1 *CAMERA_FAR 1000 *CAMERA_FOV 0.7854 *CAMERA_TDIST 200 *CAMERA_OTHER 3 } "
        "*CAMERA_SETTINGS { *CAMERA_FOV 1.5 } } *CAMERAOBJECT { *CAMERA_TYPE Free }");
    ASSERT_TRUE(ParseDocument(input.reader));
    ASSERT_EQ(input.scene.nodes().size(), 2u);
    EXPECT_EQ(input.traceWith("Camera#0"), (Lines{"Camera#0.SetVectorA(0, 1, 0, 1)", "Camera#0.SetVectorB(0, 0, -1, 1)",
                                                  "Camera#0.SetFov(0.7854)", "Camera#0.SetFov(1.5)"}));
    EXPECT_EQ(*input.node(0).fov, 1.5f) << "the last settings block wins; degrees or radians, as written";
    EXPECT_EQ(cameraTarget(input.node(0).self), nullptr) << "a target camera gets no target by itself";
    EXPECT_TRUE(input.app.messages().empty());
    EXPECT_EQ(input.traceWith("Camera#1").size(), 2u) << "any type makes the same camera";
}

TEST(Lights, TypeColourIntensityAndShadows) {
    AseText input(
        "*LIGHTOBJECT { *NODE_NAME \"Sun\" *LIGHT_TYPE Directional *LIGHT_SHADOWS On *LIGHT_USELIGHT 1 "
        "*LIGHT_SPOTSHAPE Circle *LIGHT_USEGLOBAL 0 *LIGHT_ABSMAPBIAS 0 *LIGHT_OVERSHOOT 0 "
        "*LIGHT_SETTINGS { *TIMEVALUE 0 *LIGHT_COLOR 1 0.5 0.25 *LIGHT_INTENS 2 *LIGHT_ASPECT -1 *LIGHT_TDIST 5 "
        "*LIGHT_MAPBIAS 1 *LIGHT_MAPRANGE 4 *LIGHT_MAPSIZE 512 *LIGHT_RAYBIAS 0 *LIGHT_HOTSPOT 20 "
        "*LIGHT_FALLOFF 40 *LIGHT_EXCLUSIONLIST 3 } } "
        "*LIGHTOBJECT { *LIGHT_TYPE omni *LIGHT_SHADOWS off *LIGHT_SETTINGS { *LIGHT_HOTSPOT 20 *LIGHT_FALLOFF 40 } "
        "*LIGHT_TYPE Target *LIGHT_SHADOWS Raytraced } "
        "*LIGHTOBJECT { *LIGHT_TYPE Free *LIGHT_SETTINGS { *LIGHT_HOTSPOT 90 } }");
    ASSERT_TRUE(ParseDocument(input.reader));
    const HostNode* sun = input.node(0).self;
    EXPECT_EQ(lightType(sun), LightDirectional);
    EXPECT_EQ(lightColor(sun).y, 0.5f);
    EXPECT_EQ(lightIntensity(sun), 2.0f);
    EXPECT_EQ(lightHotspot(sun), 20.0f) << "a directional light keeps its angles";
    EXPECT_EQ(lightFalloff(sun), 40.0f);
    EXPECT_EQ(lightUsesAttenuation(sun), 0);

    const HostNode* omni = input.node(1).self;
    EXPECT_EQ(lightType(omni), LightTargetSpot) << "the later type is set";
    EXPECT_EQ(lightHotspot(omni), 0.34906584f) << "converted by the type in force when read";
    EXPECT_EQ(lightFalloff(omni), 0.69813168f);
    EXPECT_EQ(input.traceWith("SetProperty(101"),
              (Lines{"Node#0 Sun.SetProperty(101, 1)", "Node#1.SetProperty(101, 0)"}))
        << "an unknown shadow word changes nothing";

    const HostNode* other = input.node(2).self;
    EXPECT_EQ(lightType(other), LightOmni) << "an unknown type word leaves the host's own";
    EXPECT_EQ(lightHotspot(other), 1.57079637f);
}

TEST(Lights, AttenuationNeedsBothValuesPositiveInOneBlock) {
    AseText input(
        "*LIGHTOBJECT { *LIGHT_SETTINGS { *LIGHT_ATTNSTART 0 *LIGHT_ATTNEND 100 } } "
        "*LIGHTOBJECT { *LIGHT_SETTINGS { *LIGHT_ATTNSTART 10 *LIGHT_ATTNEND 100 } } "
        "*LIGHTOBJECT { *LIGHT_SETTINGS { *LIGHT_ATTNSTART 10 } *LIGHT_SETTINGS { *LIGHT_ATTNEND 100 } }");
    ASSERT_TRUE(ParseDocument(input.reader));
    EXPECT_EQ(lightUsesAttenuation(input.node(0).self), 0);
    EXPECT_EQ(lightAttenuationEnd(input.node(0).self), 0.0f);
    EXPECT_EQ(lightUsesAttenuation(input.node(1).self), 1);
    EXPECT_EQ(lightAttenuationStart(input.node(1).self), 10.0f);
    EXPECT_EQ(lightAttenuationEnd(input.node(1).self), 100.0f);
    EXPECT_EQ(lightUsesAttenuation(input.node(2).self), 0) << "values do not carry over between blocks";
}
