// The pictures of the main menu and the instructions screen.
#include <cmath>

#include "media.h"

namespace MediaMaker {

namespace {

constexpr int kHorizon = 262;

// Dusk over the sea: the sky from night blue to a glowing horizon, a low sun,
// long clouds, a distant coast, and the sun's road on the water.
void PaintDuskSea(Picture& p) {
  p.VerticalGradient(0, 120, RGB(6, 10, 34), RGB(38, 30, 78));
  p.VerticalGradient(120, 215, RGB(38, 30, 78), RGB(150, 62, 92));
  p.VerticalGradient(215, kHorizon, RGB(150, 62, 92), RGB(252, 150, 70));
  // Stars in the dark top.
  for (int i = 0; i < 90; ++i) {
    const int x = (i * 263 + 17) % 640, y = (i * 97 + 11) % 110;
    p.Set(x, y, Mix(RGB(255, 255, 255), RGB(38, 30, 78), y / 130.0));
  }
  // The sun, half under the horizon, with a soft halo.
  for (int r = 95; r > 48; r -= 3) p.Polygon(Disc(320, kHorizon, r, 96), Mix(RGB(252, 150, 70), RGB(255, 196, 110), (95 - r) / 60.0));
  p.Polygon(Disc(320, kHorizon, 46, 96), RGB(255, 226, 150));
  // Long clouds, dark above and lit from below.
  const int clouds[][4] = {{-40, 150, 260, 12}, {380, 128, 300, 10}, {140, 190, 250, 9}, {470, 205, 220, 8}, {30, 222, 180, 6}};
  for (const auto& c : clouds) {
    p.Polygon(RoundedBar(c[0], c[1], c[0] + c[2], c[1] + c[3]), RGB(70, 36, 70));
    p.Polygon(RoundedBar(c[0] + 12, c[1] + c[3] - 3, c[0] + c[2] - 12, c[1] + c[3] + 1), RGB(236, 120, 86));
  }
  // A distant coast on either side.
  p.Polygon({{0, kHorizon}, {0, 238}, {40, 232}, {95, 240}, {150, 236}, {205, 246}, {250, kHorizon}}, RGB(52, 24, 50));
  p.Polygon({{420, kHorizon}, {470, 249}, {520, 241}, {575, 228}, {610, 236}, {640, 231}, {640, kHorizon}}, RGB(46, 22, 46));
  // The sea, and the sun's road on it.
  p.VerticalGradient(kHorizon, 480, RGB(120, 58, 78), RGB(4, 10, 30));
  for (int y = kHorizon + 2; y < 480; y += 3) {
    const double depth = double(y - kHorizon) / (480 - kHorizon);
    const int half = static_cast<int>(40 + 150 * depth);
    for (int k = 0; k < 7; ++k) {
      const int x = 320 - half + ((y * 37 + k * 101) % (2 * half + 1));
      const int length = 6 + ((y + k * 13) % 14);
      p.Line(x, y, x + length, y, Mix(RGB(255, 200, 120), RGB(80, 40, 70), depth));
    }
    for (int k = 0; k < 5; ++k) {  // wave crests across the whole sea
      const int x = (y * 53 + k * 149) % 640;
      p.Line(x, y, x + 10, y, Mix(RGB(150, 80, 110), RGB(20, 30, 60), depth));
    }
  }
  // Two warships on the horizon, in silhouette.
  p.Polygon({{92, 262}, {100, 270}, {168, 270}, {176, 262}}, RGB(20, 10, 24));
  p.Polygon({{112, 262}, {112, 255}, {126, 255}, {128, 249}, {134, 249}, {136, 255}, {150, 255}, {150, 262}}, RGB(20, 10, 24));
  p.Polygon({{472, 262}, {478, 268}, {530, 268}, {538, 262}}, RGB(24, 12, 28));
  p.Polygon({{490, 262}, {490, 256}, {500, 256}, {502, 251}, {507, 251}, {509, 256}, {520, 256}, {520, 262}}, RGB(24, 12, 28));
}

void PaintTitle(Picture& p) {
  const char* title = "OperationBrannoway";
  const RECT band{0, 40, 640, 120};
  // A warm glow behind the letters, then a dark edge, then the golden letters.
  p.CentredText(band, title, "Arial", 58, true, RGB(120, 50, 40), RGB(120, 50, 40), 5);
  p.CentredText(band, title, "Arial", 58, true, RGB(255, 206, 96), RGB(24, 10, 20), 2);
  p.CentredText({0, 112, 640, 140}, "Een zeeslag voor twee kapiteins", "Arial", 18, false, RGB(255, 226, 190),
                RGB(30, 12, 30), 1);
}

// A button: a rounded bar with its word; lit up, it glows gold.
std::vector<Shape> ButtonShapes(int width, int height, bool lit) {
  const COLORREF edge = lit ? RGB(255, 214, 110) : RGB(120, 150, 200);
  const COLORREF top = lit ? RGB(84, 150, 214) : RGB(36, 64, 112);
  const COLORREF bottom = lit ? RGB(22, 70, 140) : RGB(10, 24, 56);
  std::vector<Shape> shapes{{RoundedBar(0, 0, width - 1, height - 1), edge}};
  // The face inside the edge, in bands from light to dark.
  const int bands = height - 4;
  for (int k = 0; k < bands; ++k)
    shapes.push_back({RoundedBar(2, 2 + k, width - 3, 2 + k + 1), Mix(top, bottom, double(k) / bands)});
  return shapes;
}

void SaveButton(const std::string& dir, const char* name, const char* word, int width, int height, int size) {
  for (bool lit : {false, true}) {
    const std::string base = dir + "/" + name;
    SaveMasked(ButtonShapes(width, height, lit), width, height, base + (lit ? "_select.bmp" : ".bmp"),
               lit ? "" : base + "_mono.bmp", [&](Picture& p) {
                 p.CentredText({0, 0, width, height}, word, "Arial", size, true,
                               lit ? RGB(255, 240, 190) : RGB(222, 232, 248), lit ? RGB(120, 60, 10) : RGB(6, 14, 34), 1);
               });
  }
}

}  // namespace

void MakeMenuPictures(const std::string& dir) {
  Picture title(640, 480);
  PaintDuskSea(title);
  PaintTitle(title);
  // The sea darkens softly behind the buttons, so they stand out.
  for (int y = 280; y < 400; ++y)
    for (int x = 160; x < 480; ++x) {
      const double dx = (x - 320) / 160.0, dy = (y - 340) / 60.0, d = dx * dx + dy * dy;
      if (d < 1) title.Set(x, y, Mix(title.At(x, y), RGB(4, 6, 20), 0.55 * (1 - d)));
    }
  title.Save(dir + "/achtergrond+titel.bmp");

  SaveButton(dir, "PlayerVsPlayer", "Player vs Player", 219, 33, 20);
  SaveButton(dir, "Instructions", "Instructions", 163, 26, 16);
  SaveButton(dir, "EXIT", "EXIT", 61, 23, 14);

  // The instructions: a dark sea chart, quiet enough for white text.
  Picture chart(640, 480);
  chart.VerticalGradient(0, 480, RGB(8, 20, 42), RGB(3, 9, 22));
  for (int x = 0; x < 640; x += 40) chart.Line(x, 0, x, 480, RGB(16, 34, 62));
  for (int y = 0; y < 480; y += 40) chart.Line(0, y, 640, y, RGB(16, 34, 62));
  for (int y = 20; y < 480; y += 40)
    for (int x = 0; x < 640; x += 24) chart.Line(x, y + (x / 24) % 3 - 1, x + 12, y + (x / 24 + 1) % 3 - 1, RGB(12, 28, 52));
  // A compass rose in the lower right corner.
  const double cx = 582, cy = 412;
  chart.Polygon(Disc(cx, cy, 52, 96), RGB(20, 40, 70));
  chart.Polygon(Disc(cx, cy, 48, 96), RGB(8, 20, 42));
  for (int k = 0; k < 8; ++k) {
    const double a = k * M_PI / 4, length = k % 2 ? 28 : 45;
    const COLORREF c = k % 2 ? RGB(30, 56, 92) : RGB(48, 84, 130);
    chart.Polygon(Turned({{static_cast<LONG>(cx), static_cast<LONG>(cy - length)}, {static_cast<LONG>(cx + 7), static_cast<LONG>(cy)},
                          {static_cast<LONG>(cx - 7), static_cast<LONG>(cy)}},
                         cx, cy, a),
                  c);
  }
  chart.Polygon(Disc(cx, cy, 6), RGB(80, 120, 170));
  chart.Text(static_cast<int>(cx) - 5, static_cast<int>(cy) - 72, "N", "Arial", 16, true, RGB(70, 110, 160));
  chart.Save(dir + "/Achtergrond.bmp");
}

}  // namespace MediaMaker
