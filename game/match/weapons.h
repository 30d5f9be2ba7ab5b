// The match's five weapons in one table: what a weapon is, from its button
// pictures to its shot. Changing a weapon is changing its entry here (and its
// pictures, drawn by tools/MediaMaker); the set-up, the sidebar, the target
// choice, the firing and the win screen all read it.
#pragma once

#include <array>
#include <cstdint>

#include "runtime/checks.h"

namespace OperationBrannoway {

// The squares one shot aims at, around the square under the mouse.
enum class TargetPattern : std::uint8_t {
  Single,         // that square
  Block,          // it and the squares right, below and right-below: 2 by 2
  OneByOne,       // one square per click, anywhere, `targets` clicks
  DiagonalChain,  // one square per click, each diagonally next to the one before
  DiagonalCross,  // it and its four diagonal neighbours
};

// The top-left corner of a weapon's button on the sidebar.
struct ButtonCorner {
  std::int32_t x, y;
};

struct WeaponRule {
  // The button's pictures: with the mouse away or the weapon unusable, with
  // the mouse over a usable weapon, and their mask.
  const char* normaal;
  const char* select;
  const char* alpha;
  bool Ongelimiteerd;             // no stock and no ship needed
  std::uint32_t stock;            // shots at the start of a match, when limited
  std::uint32_t shipLength;       // the ship that must be afloat to fire it and that launches it; 0: any
  std::uint32_t projectiles;      // launched per shot; 0 for the radar, which sweeps instead
  TargetPattern pattern;
  std::uint32_t targets;          // squares per shot
  ButtonCorner live;              // on the sidebar of the target choice and the flights
  ButtonCorner still;             // on the win screen's still sidebar, whose rows are swapped
};

constexpr std::int32_t kWeaponButtonSide = 64;  // a button's corners are 64 pixels apart
constexpr std::uint32_t kWeaponCount = 5;

inline constexpr std::array<WeaponRule, kWeaponCount> kWeapons{{
    {"Media/MissileDown.bmp", "Media/Missile.bmp", "Media/MissileMask.bmp", true, 0, 0, 1, TargetPattern::Single, 1,
     {497, 196}, {497, 336}},
    {"Media/RadarDown.bmp", "Media/Radar.bmp", "Media/RadarMask.bmp", false, 2, 2, 0, TargetPattern::Block, 4,
     {569, 196}, {569, 336}},
    {"Media/Missile3Down.bmp", "Media/Missile3.bmp", "Media/Missile3Mask.bmp", false, 3, 3, 3, TargetPattern::OneByOne, 3,
     {497, 266}, {497, 266}},
    {"Media/Missile4Down.bmp", "Media/Missile4.bmp", "Media/Missile4Mask.bmp", false, 2, 4, 4,
     TargetPattern::DiagonalChain, 4, {569, 266}, {569, 266}},
    {"Media/Missile5Down.bmp", "Media/Missile5.bmp", "Media/Missile5Mask.bmp", false, 1, 5, 5,
     TargetPattern::DiagonalCross, 5, {533, 336}, {533, 196}},
}};

// Weapon 1 to 5.
inline const WeaponRule& Weapon(std::uint32_t number) {
  return kWeapons[runtime::CheckRange<std::size_t>(number, 1, kWeaponCount) - 1];
}

}  // namespace OperationBrannoway
