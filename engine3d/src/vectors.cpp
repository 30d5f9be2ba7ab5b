// Vector arithmetic on 32-bit floats.
#include <cmath>

#include "Brannoway3D.h"

namespace Brannoway3D {

float InProduct(tVector a, tVector b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

tVector VectorProduct(tVector a, tVector b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

tVector SubstractVector(tVector a, tVector b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

void NormalizeVector(tVector& a) {
  const float length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  if (length > 0) a = {a.x / length, a.y / length, a.z / length};
}

void RotateVectorX(tVector& a, float ax) {
  const float c = std::cos(ax), s = std::sin(ax);
  a = {a.x, c * a.y - s * a.z, s * a.y + c * a.z};
}

void RotateVectorY(tVector& a, float ay) {
  const float c = std::cos(ay), s = std::sin(ay);
  a = {c * a.x + s * a.z, a.y, c * a.z - s * a.x};
}

// A rotation by the unit quaternion of angle `ang` about the axis (ax, ay, az).
void RotateVector(tVector& v, float ang, float ax, float ay, float az) {
  const float t = ang / 2, s = std::sin(t);
  const float qw = std::cos(t), qx = s * ax, qy = s * ay, qz = s * az;
  const float x = v.x, y = v.y, z = v.z;
  v.x = (qw * qw + qx * qx - qy * qy - qz * qz) * x + 2 * (qx * qy - qw * qz) * y + 2 * (qx * qz + qw * qy) * z;
  v.y = 2 * (qx * qy + qw * qz) * x + (qw * qw - qx * qx + qy * qy - qz * qz) * y + 2 * (qy * qz - qw * qx) * z;
  v.z = 2 * (qx * qz - qw * qy) * x + 2 * (qy * qz + qw * qx) * y + (qw * qw - qx * qx - qy * qy + qz * qz) * z;
}

}  // namespace Brannoway3D
