// How a shot moves, in world units per frame: the projectiles rise from the
// shooter's ship into the band above the field, then fall onto the targets;
// the radar turns its dish instead. The shots' lengths in frames follow
// from these numbers (the tests derive them).
#pragma once

namespace OperationBrannoway {

// Departure: projectile j starts (j - 1) staggers below the field and gains
// speed each frame until every projectile is above the band's top.
constexpr float kLaunchStagger = 1.6f * 1.5f;
constexpr float kDepartureAcceleration = 0.0001f;
constexpr float kBandTop = 20;
// Arrival: projectile e (from 0) starts e staggers above the band's top and
// falls at a steady speed until it is below the water.
constexpr float kArrivalStagger = 2 * 1.6f;
constexpr float kArrivalSpeed = -0.04f;
// The radar: the dish turns a step a frame, two full turns per square.
constexpr float kRadarStep = 0.01f;
constexpr float kSweepEnd = 12.566368f;  // two full turns (4 × 3.141592)

}  // namespace OperationBrannoway
