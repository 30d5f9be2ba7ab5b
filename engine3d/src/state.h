// The engine's private module state: the camera and the light.
#pragma once

#include "Brannoway3D.h"

namespace Brannoway3D {

extern tCam Cam;
extern tVector Light;  // unit direction in which the light travels

}  // namespace Brannoway3D
