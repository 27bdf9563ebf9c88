// Camera and light objects with their settings blocks.
#pragma once

#include "ase/reader.h"

bool ReadCameraObject(AseReader& reader, HostNode* parent);
bool ReadCameraSettings(AseReader& reader, HostCamera* camera);
bool ReadLightObject(AseReader& reader, HostNode* parent);
bool ReadLightSettings(AseReader& reader, HostLight* light);
