#include "font_match.h"

#include <strings.h>

#include <cstring>

namespace winlayer::text {

namespace {

struct Substitute {
  const char* windowsName;
  const char* family;
  int minimumWeight;
};

constexpr Substitute kSubstitutes[] = {
    {"Arial", "Liberation Sans", 0},
    {"Helvetica", "Liberation Sans", 0},
    {"MS Shell Dlg", "Liberation Sans", 0},
    {"MS Shell Dlg 2", "Liberation Sans", 0},
    {"MS Sans Serif", "Liberation Sans", 0},
    {"Microsoft Sans Serif", "Liberation Sans", 0},
    {"System", "Liberation Sans", FW_BOLD},
    {"Times New Roman", "Liberation Serif", 0},
    {"Courier New", "Liberation Mono", 0},
    {"Comic Sans MS", "Comic Neue", 0},
};

std::string FaceName(const LOGFONTA& font) {
  return std::string(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
}

// The family to ask fontconfig for, raising the weight where the Windows face is bold by nature.
std::string FamilyFor(const LOGFONTA& font, int* weight) {
  const std::string name = FaceName(font);
  for (const Substitute& s : kSubstitutes) {
    if (strcasecmp(name.c_str(), s.windowsName) == 0) {
      if (*weight < s.minimumWeight) *weight = s.minimumWeight;
      return s.family;
    }
  }
  if (!name.empty()) return name;
  // No name: the family bits choose, as on Windows.
  const int family = font.lfPitchAndFamily & 0xF0;
  if (family == FF_ROMAN) return "Liberation Serif";
  if (family == FF_MODERN || (font.lfPitchAndFamily & 3) == FIXED_PITCH) return "Liberation Mono";
  return "Liberation Sans";
}

}  // namespace

FaceChoice MatchFace(const LOGFONTA& font) {
  int weight = font.lfWeight == FW_DONTCARE ? FW_NORMAL : font.lfWeight;
  const std::string family = FamilyFor(font, &weight);
  return FindFace(family, weight, font.lfItalic != 0);
}

}  // namespace winlayer::text
