// Brannoway3D: the game's software 3D engine. Vectors, the one camera of the
// program, projection from world to screen and back, per-triangle normals,
// and flat-shaded triangle meshes with back-face removal, drawn through the
// drawing library.
//
// World y points up; the camera's axes are x (screen right), y (screen up)
// and z (viewing direction). A triangle whose normal points toward the
// camera appears with its corners clockwise on screen.
#pragma once

#include <cstdint>

#include "runtime/checks.h"

namespace Brannoway3D {

struct tVector {
  float x, y, z;
};

struct tScreen {
  std::int32_t x, y;
  float zBuffer;  // greater than 0: in front of the near distance
};

struct tVertex {
  tVector pos;
  tScreen scr;
  bool onscreen;  // TRUE when the last projection was rejected
};

struct tRect {
  std::int32_t left, top, width, height;
};

struct tCam {
  tVector pos;
  tVector angle;    // the angles last given to RotateCamera: pitch, yaw, roll
  tVector x, y, z;  // right, up, forward
  float fov;
  tRect view;
  float Zn, Zf;
  float Q;
  float w, h;
  float aspect;
};

struct tTriangle {
  runtime::Array<std::uint32_t, 0, 2> Index;
  tVector Normal;
  std::uint32_t r, g, b;
};

// The module initialisation: the default camera and light; runs once.
void Initialise();

// ---- vectors ------------------------------------------------------------------

float InProduct(tVector a, tVector b);
tVector VectorProduct(tVector a, tVector b);
tVector SubstractVector(tVector a, tVector b);
void NormalizeVector(tVector& a);
void RotateVectorX(tVector& a, float ax);
void RotateVectorY(tVector& a, float ay);
void RotateVector(tVector& v, float ang, float ax, float ay, float az);

// ---- the camera -------------------------------------------------------------------

void PositionCamera(float x, float y, float z);
void RotateCamera(float ax, float ay, float az);
void SetCameraAspectRatio(float aspect);
void SetCameraFov(float fov);
void SetCameraView(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
void SetCameraRange(float Near, float Far);
void RenderToCamera(tVertex& v);
tVector ScreenToWorld(std::int32_t x, std::int32_t y, float Distance);

// ---- meshes ----------------------------------------------------------------------

void CalculateVertices(runtime::View<tVertex> VertList);
void CalculateNormals(runtime::View<const tVertex> VertList, runtime::View<tTriangle> TriangleList);
void RenderArray(runtime::View<const tVertex> VertList, runtime::View<const tTriangle> TriangleList, bool WithColor,
                 bool Filled, bool Lighting);
void SetLightDirection(float x, float y, float z);

// The camera and the light as they stand, for reading.
const tCam& Camera();
tVector LightDirection();

}  // namespace Brannoway3D
