// Faces chosen from the fonts a build bundles, where the system has no
// fontconfig (the browser): the same files at the same paths, chosen as
// fontconfig chooses among them (the slant first, then the nearest weight on
// fontconfig's scale), so text draws as in the native build. A program's page
// bundles only the files its texts ask for: the choice is made among those.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "font_match.h"

namespace winlayer::text {

namespace {

struct BundledFace {
  const char* family;
  const char* file;
  int weight;  // OpenType's scale, as Windows' weights
  bool italic;
};

#define LIBERATION "/usr/share/fonts/truetype/liberation/"
#define COMIC_NEUE "/usr/share/fonts/opentype/comic-neue/"
constexpr BundledFace kFaces[] = {
    {"Liberation Sans", LIBERATION "LiberationSans-Regular.ttf", 400, false},
    {"Liberation Sans", LIBERATION "LiberationSans-Bold.ttf", 700, false},
    {"Liberation Sans", LIBERATION "LiberationSans-Italic.ttf", 400, true},
    {"Liberation Sans", LIBERATION "LiberationSans-BoldItalic.ttf", 700, true},
    {"Liberation Serif", LIBERATION "LiberationSerif-Regular.ttf", 400, false},
    {"Liberation Serif", LIBERATION "LiberationSerif-Bold.ttf", 700, false},
    {"Liberation Serif", LIBERATION "LiberationSerif-Italic.ttf", 400, true},
    {"Liberation Serif", LIBERATION "LiberationSerif-BoldItalic.ttf", 700, true},
    {"Liberation Mono", LIBERATION "LiberationMono-Regular.ttf", 400, false},
    {"Liberation Mono", LIBERATION "LiberationMono-Bold.ttf", 700, false},
    {"Liberation Mono", LIBERATION "LiberationMono-Italic.ttf", 400, true},
    {"Liberation Mono", LIBERATION "LiberationMono-BoldItalic.ttf", 700, true},
    {"Comic Neue", COMIC_NEUE "ComicNeue-Light.otf", 300, false},
    {"Comic Neue", COMIC_NEUE "ComicNeue-Regular.otf", 400, false},
    {"Comic Neue", COMIC_NEUE "ComicNeue-Bold.otf", 700, false},
    {"Comic Neue", COMIC_NEUE "ComicNeue-LightItalic.otf", 300, true},
    {"Comic Neue", COMIC_NEUE "ComicNeue-Italic.otf", 400, true},
    {"Comic Neue", COMIC_NEUE "ComicNeue-BoldItalic.otf", 700, true},
};
#undef LIBERATION
#undef COMIC_NEUE

// fontconfig's weight scale from OpenType's: straight lines between these points.
double FontconfigWeight(int openType) {
  static constexpr std::array<std::array<int, 2>, 13> kPoints = {{{0, 0}, {100, 0}, {200, 40}, {300, 50}, {350, 55},
                                                                  {380, 75}, {400, 80}, {500, 100}, {600, 180},
                                                                  {700, 200}, {800, 205}, {900, 210}, {1000, 215}}};
  const int w = std::clamp(openType, 0, 1000);
  for (std::size_t i = 1; i < kPoints.size(); ++i) {
    const auto [x1, y1] = kPoints[i];
    const auto [x0, y0] = kPoints[i - 1];
    if (w <= x1) return y0 + static_cast<double>(w - x0) * (y1 - y0) / (x1 - x0);
  }
  return kPoints.back()[1];
}

// The faces whose files this program has, looked for once.
const std::vector<const BundledFace*>& PresentFaces() {
  static const std::vector<const BundledFace*> present = [] {
    std::vector<const BundledFace*> faces;
    for (const BundledFace& f : kFaces)
      if (access(f.file, R_OK) == 0) faces.push_back(&f);
    return faces;
  }();
  return present;
}

bool SameName(const char* a, const std::string& b) {
  std::size_t i = 0;
  for (; a[i] && i < b.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return !a[i] && i == b.size();
}

}  // namespace

FaceChoice FindFace(const std::string& family, int weight, bool italic) {
  // An unknown family gets the default sans, as fontconfig's configuration
  // gives it; a family that is not bundled, any face there is.
  const std::vector<const BundledFace*>& faces = PresentFaces();
  const auto has = [&](const std::string& name) {
    return std::any_of(faces.begin(), faces.end(), [&](const BundledFace* f) { return SameName(f->family, name); });
  };
  const bool known = std::any_of(std::begin(kFaces), std::end(kFaces), [&](const BundledFace& f) { return SameName(f.family, family); });
  const std::string name = known && has(family) ? family : "Liberation Sans";
  const bool anyFamily = !has(name);
  const BundledFace* best = nullptr;
  double bestDistance = 0;
  const double wanted = FontconfigWeight(weight);
  for (const BundledFace* f : faces) {
    if (!anyFamily && !SameName(f->family, name)) continue;
    const double distance = (f->italic != italic ? 1000.0 : 0.0) + std::abs(FontconfigWeight(f->weight) - wanted);
    // Halfway between two faces, fontconfig takes the heavier one.
    if (!best || distance < bestDistance || (distance == bestDistance && f->weight > best->weight)) {
      best = f;
      bestDistance = distance;
    }
  }
  if (!best) return {};  // no font at all: no text
  FaceChoice choice;
  choice.file = best->file;
  choice.family = best->family;
  choice.synthesizeBold = weight >= FW_SEMIBOLD && FontconfigWeight(best->weight) < 180;
  choice.synthesizeItalic = italic && !best->italic;
  return choice;
}

}  // namespace winlayer::text
