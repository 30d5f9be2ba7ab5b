// The pictures of a match: the horizon strip, the sidebar, the weapon button
// background and the five weapon buttons.
#include <cmath>

#include "media.h"

namespace MediaMaker {

namespace {

// The colours the match paints its sky and sea with; the strip fades into them.
constexpr COLORREF kSky = RGB(12, 92, 146);
constexpr COLORREF kSea = RGB(22, 33, 63);

constexpr int kButton = 65;

POINT At(double x, double y) { return {static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))}; }

void PaintHorizon(Picture& p) {
  const int w = p.Width(), horizon = 25;
  p.VerticalGradient(0, horizon, kSky, RGB(84, 150, 188));
  // Clouds far away, lit from above.
  const int clouds[][4] = {{20, 6, 90, 6}, {150, 3, 70, 5}, {260, 8, 120, 6}, {400, 4, 80, 5}, {70, 14, 60, 4}, {330, 15, 70, 4}};
  for (const auto& c : clouds) {
    p.Polygon(RoundedBar(c[0], c[1], c[0] + c[2], c[1] + c[3]), RGB(150, 190, 214));
    p.Polygon(RoundedBar(c[0] + 6, c[1] + c[3] - 2, c[0] + c[2] - 6, c[1] + c[3]), RGB(116, 160, 192));
  }
  // A distant coast: hills on the left, a headland with a lighthouse on the right.
  p.Polygon({{0, horizon}, {0, 15}, {30, 12}, {62, 16}, {96, 11}, {134, 17}, {170, 20}, {196, horizon}}, RGB(52, 88, 118));
  p.Polygon({{0, horizon}, {0, 19}, {40, 17}, {90, 20}, {140, 22}, {160, horizon}}, RGB(40, 72, 102));
  p.Polygon({{340, horizon}, {372, 19}, {410, 14}, {452, 16}, {490, 13}, {490, horizon}}, RGB(46, 82, 112));
  p.FillRect(438, 6, 442, 16, RGB(226, 232, 238));
  p.FillRect(437, 4, 443, 6, RGB(200, 60, 50));
  p.Line(443, 5, 456, 3, RGB(255, 240, 170));
  // The sea, from the haze at the horizon down to the colour of the open sea.
  p.VerticalGradient(horizon, p.Height(), RGB(64, 96, 128), kSea);
  for (int y = horizon + 2; y < p.Height() - 2; y += 3)
    for (int k = 0; k < 9; ++k) {
      const int x = (y * 71 + k * 57) % w;
      p.Line(x, y, x + 8, y, Mix(RGB(120, 160, 190), kSea, double(y - horizon) / (p.Height() - horizon)));
    }
}

// A rivet: a small dome with a light top-left.
void Rivet(Picture& p, int x, int y) {
  p.Circle(x, y, 3, RGB(20, 26, 36));
  p.Circle(x - 0.5, y - 0.5, 2, RGB(120, 136, 160));
}

void PaintSidebar(Picture& p) {
  p.VerticalGradient(0, p.Height(), RGB(44, 56, 78), RGB(14, 18, 30));
  p.FillRect(0, 0, 3, p.Height(), RGB(96, 116, 148));  // the edge toward the view
  p.FillRect(3, 0, 5, p.Height(), RGB(8, 10, 18));
  p.FillRect(147, 0, 150, p.Height(), RGB(10, 12, 20));
  for (int y : {10, 470})
    for (int x : {14, 138}) Rivet(p, x, y);

  p.CentredText({0, 8, 150, 40}, "WAPENS", "Arial", 24, true, RGB(255, 208, 100), RGB(20, 14, 8), 1);

  // A radar scope with its sweep and two echoes.
  const double cx = 76, cy = 108, r = 56;
  p.Polygon(Disc(cx, cy, r + 4), RGB(70, 86, 110));
  p.Polygon(Disc(cx, cy, r), RGB(4, 28, 18));
  for (double ring : {r * 0.33, r * 0.66}) {
    p.Polygon(Disc(cx, cy, ring + 1), RGB(0, 96, 52));
    p.Polygon(Disc(cx, cy, ring), RGB(4, 28, 18));
  }
  p.Line(static_cast<int>(cx - r), static_cast<int>(cy), static_cast<int>(cx + r), static_cast<int>(cy), RGB(0, 96, 52));
  p.Line(static_cast<int>(cx), static_cast<int>(cy - r), static_cast<int>(cx), static_cast<int>(cy + r), RGB(0, 96, 52));
  for (int k = 0; k < 10; ++k) {  // the sweep, fading behind its edge
    const double a0 = -0.9 + k * 0.08, a1 = a0 + 0.09;
    p.Polygon({At(cx, cy), At(cx + r * std::cos(a0), cy + r * std::sin(a0)), At(cx + r * std::cos(a1), cy + r * std::sin(a1))},
              Mix(RGB(4, 28, 18), RGB(60, 220, 120), (k + 1) / 10.0));
  }
  p.Circle(cx + 20, cy - 30, 3, RGB(160, 255, 170));
  p.Circle(cx - 28, cy + 14, 2.5, RGB(90, 200, 120));

  // One recessed panel behind all the buttons. The buttons bring their own
  // tile and sit in other rows on the win screen than during a turn, so the
  // panel marks no slots, and no text tells what to do: the sidebar is also
  // shown during placement, flights and the hand-over.
  const int panelTop = 196 - 8, panelBottom = 336 + kButton + 8;
  p.FillRect(5, panelTop, 147, panelBottom, RGB(90, 108, 138));         // lit lower edge
  p.FillRect(5, panelTop, 146, panelBottom - 1, RGB(4, 6, 12));          // shadowed upper edge
  p.VerticalGradient(panelTop + 2, panelBottom - 1, RGB(12, 16, 28), RGB(20, 26, 42), 6, 146);
  for (int y = panelTop + 10; y < panelBottom - 4; y += 12)            // a faint grating
    p.Line(10, y, 142, y, RGB(24, 30, 48));

  // A brass nameplate with two screws.
  const RECT plate{14, 420, 136, 458};
  p.FillRect(plate.left - 1, plate.top - 1, plate.right + 1, plate.bottom + 1, RGB(60, 42, 16));
  p.VerticalGradient(plate.top, plate.bottom, RGB(214, 172, 92), RGB(150, 110, 48), plate.left, plate.right);
  for (int x : {plate.left + 6, plate.right - 7}) {
    p.Circle(x, (plate.top + plate.bottom) / 2.0, 2.5, RGB(90, 64, 24));
    p.Line(x - 1, (plate.top + plate.bottom) / 2 - 1, x + 2, (plate.top + plate.bottom) / 2 + 2, RGB(200, 160, 90));
  }
  p.CentredText({plate.left, plate.top + 2, plate.right, plate.top + 19}, "OPERATION", "Arial", 12, true, RGB(60, 38, 10),
                RGB(236, 204, 130), 0);
  p.CentredText({plate.left, plate.top + 18, plate.right, plate.bottom - 1}, "BRANNOWAY", "Arial", 12, true, RGB(60, 38, 10),
                RGB(236, 204, 130), 0);
}

void PaintButtonBackground(Picture& p) {
  p.VerticalGradient(0, kButton, RGB(40, 56, 84), RGB(12, 18, 32));
  p.FillRect(0, 0, kButton, 2, RGB(120, 142, 176));
  p.FillRect(0, 0, 2, kButton, RGB(100, 120, 152));
  p.FillRect(0, kButton - 2, kButton, kButton, RGB(4, 6, 12));
  p.FillRect(kButton - 2, 0, kButton, kButton, RGB(6, 8, 14));
  for (int k = 12; k < kButton - 4; k += 13) {
    p.Line(k, 4, k, kButton - 4, RGB(30, 44, 68));
    p.Line(4, k, kButton - 4, k, RGB(30, 44, 68));
  }
}

// A missile `length` long centred on (cx, cy), its nose turned by `angle`
// from straight up (clockwise, radians).
void Missile(std::vector<Shape>& shapes, double cx, double cy, double length, double angle) {
  const double L = length, w = 0.17 * L, top = cy - L / 2, tail = cy + L / 2, shoulder = top + 0.26 * L;
  auto turn = [&](std::vector<POINT> points) { return Turned(std::move(points), cx, cy, angle); };
  shapes.push_back({turn({At(cx - w * 0.45, tail), At(cx, tail + 0.30 * L), At(cx + w * 0.45, tail)}), RGB(255, 140, 40)});
  shapes.push_back({turn({At(cx - w * 0.22, tail), At(cx, tail + 0.18 * L), At(cx + w * 0.22, tail)}), RGB(255, 236, 130)});
  shapes.push_back({turn({At(cx - w / 2, tail - 0.24 * L), At(cx - w / 2 - 0.15 * L, tail + 0.02 * L), At(cx - w / 2, tail)}), RGB(96, 106, 124)});
  shapes.push_back({turn({At(cx + w / 2, tail - 0.24 * L), At(cx + w / 2 + 0.15 * L, tail + 0.02 * L), At(cx + w / 2, tail)}), RGB(70, 78, 94)});
  shapes.push_back({turn({At(cx - w / 2, shoulder), At(cx + w / 2, shoulder), At(cx + w / 2, tail), At(cx - w / 2, tail)}), RGB(224, 228, 236)});
  shapes.push_back({turn({At(cx + w * 0.1, shoulder), At(cx + w / 2, shoulder), At(cx + w / 2, tail), At(cx + w * 0.1, tail)}), RGB(172, 180, 194)});
  shapes.push_back({turn({At(cx - w / 2, tail - 0.14 * L), At(cx + w / 2, tail - 0.14 * L), At(cx + w / 2, tail - 0.08 * L), At(cx - w / 2, tail - 0.08 * L)}), RGB(210, 50, 40)});
  shapes.push_back({turn({At(cx - w / 2, shoulder), At(cx, top), At(cx + w / 2, shoulder)}), RGB(232, 44, 40)});
}

// A ring segment from angle a0 to a1 (radians, 0 = right, clockwise) between two radii.
std::vector<POINT> Arc(double cx, double cy, double inner, double outer, double a0, double a1) {
  std::vector<POINT> p;
  for (int k = 0; k <= 16; ++k) {
    const double a = a0 + (a1 - a0) * k / 16;
    p.push_back(At(cx + outer * std::cos(a), cy + outer * std::sin(a)));
  }
  for (int k = 16; k >= 0; --k) {
    const double a = a0 + (a1 - a0) * k / 16;
    p.push_back(At(cx + inner * std::cos(a), cy + inner * std::sin(a)));
  }
  return p;
}

std::vector<Shape> RadarIcon() {
  std::vector<Shape> s;
  s.push_back({{At(16, 58), At(42, 58), At(36, 50), At(22, 50)}, RGB(96, 106, 124)});  // the base
  s.push_back({{At(27, 50), At(31, 50), At(31, 34), At(27, 34)}, RGB(170, 178, 192)});  // the mast
  // The dish, facing up and to the right, and its feed.
  s.push_back({Arc(24, 30, 13, 19, 0.1 * M_PI, 1.1 * M_PI), RGB(206, 212, 222)});
  s.push_back({Arc(24, 30, 13, 15, 0.1 * M_PI, 1.1 * M_PI), RGB(150, 158, 172)});
  s.push_back({{At(24, 30), At(36, 18), At(38, 20), At(26, 32)}, RGB(130, 138, 152)});
  s.push_back({Disc(37, 19, 3), RGB(232, 44, 40)});
  // Waves going out.
  for (int k = 0; k < 3; ++k)
    s.push_back({Arc(37, 19, 8 + 7 * k, 10 + 7 * k, -0.45 * M_PI, -0.05 * M_PI), Mix(RGB(120, 255, 160), RGB(40, 170, 90), k / 2.0)});
  return s;
}

std::vector<Shape> WeaponIcon(int weapon) {
  std::vector<Shape> s;
  switch (weapon) {
    case 1: Missile(s, 30, 32, 44, M_PI / 4); break;
    case 2: s = RadarIcon(); break;
    case 3:
      for (double x : {15.0, 32.0, 49.0}) Missile(s, x, x == 32.0 ? 26 : 31, 34, 0);
      break;
    case 4:  // a diagonal chain, falling
      for (int k = 0; k < 4; ++k) Missile(s, 12 + 13 * k, 51 - 13 * k, 20, M_PI);
      break;
    case 5:  // a diagonal cross, falling
      for (auto [x, y] : {std::pair{14, 14}, std::pair{50, 14}, std::pair{32, 32}, std::pair{14, 50}, std::pair{50, 50}})
        Missile(s, x, y, 20, M_PI);
      break;
  }
  return s;
}

// The dimmed look of a weapon that can't be chosen.
std::vector<Shape> Dimmed(std::vector<Shape> shapes) {
  for (Shape& s : shapes) {
    const int grey = (GetRValue(s.colour) + GetGValue(s.colour) + GetBValue(s.colour)) / 3;
    s.colour = Scale(Mix(s.colour, RGB(grey, grey, grey), 0.5), 0.45);
  }
  return shapes;
}

}  // namespace

void MakeMatchPictures(const std::string& dir) {
  Picture horizon(490, 50);
  PaintHorizon(horizon);
  horizon.Save(dir + "/Horizon.bmp");

  Picture sidebar(150, 480);
  PaintSidebar(sidebar);
  sidebar.Save(dir + "/SideBar.bmp");

  Picture button(kButton, kButton);
  PaintButtonBackground(button);
  button.Save(dir + "/Knop1.bmp");

  const char* names[] = {"Missile", "Radar", "Missile3", "Missile4", "Missile5"};
  for (int weapon = 1; weapon <= 5; ++weapon) {
    const std::string base = dir + "/" + names[weapon - 1];
    const std::vector<Shape> icon = WeaponIcon(weapon);
    SaveMasked(icon, kButton, kButton, base + ".bmp", base + "Mask.bmp");
    SaveMasked(Dimmed(icon), kButton, kButton, base + "Down.bmp", "");
  }
}

}  // namespace MediaMaker
