// The camera: placing and turning it, projecting world points to screen
// pixels, and casting a screen pixel back into a world direction.
#include <cmath>
#include <mutex>

#include "BrannowayLib.h"
#include "runtime/numeric.h"
#include "state.h"

namespace Brannoway3D {

tCam Cam{};
tVector Light{};

namespace {

// Projected coordinates are held within this range, where the back-face product
// of two coordinate differences can't overflow 64 bits.
constexpr std::int32_t kScreenLimit = (1 << 30) - 1;

// The turns RotateCamera gives the axes, applied to any vector.
void TurnLikeTheCamera(tVector& v) {
  if (Cam.angle.x != 0) RotateVectorX(v, Cam.angle.x);
  if (Cam.angle.y != 0) RotateVectorY(v, Cam.angle.y);
  if (Cam.angle.z != 0) RotateVector(v, -Cam.angle.z, Cam.z.x, Cam.z.y, Cam.z.z);
}

}  // namespace

void Initialise() {
  static std::once_flag once;
  std::call_once(once, [] {
    BrannowayLib::Initialise();
    Cam.pos = {0, 0, 0};
    RotateCamera(0, 0, 0);
    SetCameraAspectRatio(4.0f / 3.0f);
    SetCameraView(0, 0, 400, 300);
    SetCameraFov(1.0814400f);
    SetCameraRange(0.1f, 1000.0f);
    SetLightDirection(1.0f, -4.0f, 0.5f);
  });
}

const tCam& Camera() { return Cam; }

void PositionCamera(float x, float y, float z) { Cam.pos = {x, y, z}; }

void RotateCamera(float ax, float ay, float az) {
  Cam.angle = {ax, ay, az};
  Cam.x = {1, 0, 0};
  Cam.y = {0, 1, 0};
  Cam.z = {0, 0, 1};
  if (ax != 0)
    for (tVector* axis : {&Cam.x, &Cam.y, &Cam.z}) RotateVectorX(*axis, ax);
  if (ay != 0)
    for (tVector* axis : {&Cam.x, &Cam.y, &Cam.z}) RotateVectorY(*axis, ay);
  if (az != 0) {
    // A roll about the camera's own forward axis, which itself stays.
    RotateVector(Cam.x, -az, Cam.z.x, Cam.z.y, Cam.z.z);
    RotateVector(Cam.y, -az, Cam.z.x, Cam.z.y, Cam.z.z);
  }
}

void SetCameraAspectRatio(float aspect) {
  Cam.aspect = aspect;
  Cam.w = Cam.h / aspect;
}

void SetCameraFov(float fov) {
  Cam.fov = fov;
  Cam.h = 1 / std::tan(fov / 2);
  Cam.w = Cam.h / Cam.aspect;
}

void SetCameraView(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  Cam.view = {left, top, runtime::Sub(right, left), runtime::Sub(bottom, top)};
}

void SetCameraRange(float Near, float Far) {
  Cam.Zn = Near;
  Cam.Zf = Far;
  Cam.Q = Far / (Far - Near);
}

void RenderToCamera(tVertex& v) {
  const tVector d = SubstractVector(v.pos, Cam.pos);
  const float px = InProduct(Cam.x, d), py = InProduct(Cam.y, d), pz = InProduct(Cam.z, d);
  const float rz = (pz - Cam.Zn) * Cam.Q;
  // A point behind the camera projects as if it lay as far in front.
  const float sx = Cam.w * px / std::fabs(rz), sy = Cam.h * py / std::fabs(rz);
  const float left = static_cast<float>(Cam.view.left), top = static_cast<float>(Cam.view.top);
  const float halfWidth = static_cast<float>(Cam.view.width) / 2, halfHeight = static_cast<float>(Cam.view.height) / 2;
  v.scr.x = runtime::TruncateSaturated(double{left} + halfWidth + double{sx} * halfWidth + 0.5, kScreenLimit);
  v.scr.y = runtime::TruncateSaturated(double{top} + halfHeight - double{sy} * halfHeight + 0.5, kScreenLimit);
  v.scr.zBuffer = (Cam.Zf - Cam.Zn) * rz - Cam.Zn;
  v.onscreen = v.scr.x < 0 || v.scr.x > runtime::Add(Cam.view.left, Cam.view.width) || v.scr.y < 0 ||
               v.scr.y > runtime::Add(Cam.view.top, Cam.view.height) || !(v.scr.zBuffer > 0);
}

tVector ScreenToWorld(std::int32_t x, std::int32_t y, float Distance) {
  const std::int32_t width = Cam.view.width, height = Cam.view.height;
  const float Vx = static_cast<float>(runtime::Sub(x, width / 2)) * (2 * Cam.Zn / Cam.w) / static_cast<float>(width);
  const float Vy = static_cast<float>(runtime::Sub(height / 2, y)) * (2 * Cam.Zn / Cam.h) / static_cast<float>(height);
  tVector d{Vx, Vy, Cam.Zn};
  NormalizeVector(d);
  d = {d.x * Distance, d.y * Distance, d.z * Distance};
  TurnLikeTheCamera(d);
  return d;
}

}  // namespace Brannoway3D
