#include "font_match.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <cstring>
#include <mutex>

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

std::string GetString(FcPattern* p, const char* object) {
  FcChar8* value = nullptr;
  return FcPatternGetString(p, object, 0, &value) == FcResultMatch ? reinterpret_cast<char*>(value) : "";
}

int GetInteger(FcPattern* p, const char* object, int fallback) {
  int value = fallback;
  FcPatternGetInteger(p, object, 0, &value);
  return value;
}

std::mutex& FontconfigLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

FaceChoice MatchFace(const LOGFONTA& font) {
  int weight = font.lfWeight == FW_DONTCARE ? FW_NORMAL : font.lfWeight;
  const std::string family = FamilyFor(font, &weight);
  const bool italic = font.lfItalic != 0;

  std::lock_guard guard(FontconfigLock());
  static const bool ready = FcInit();
  FaceChoice choice;
  if (!ready) return choice;

  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return choice;

  choice.file = GetString(match, FC_FILE);
  choice.index = GetInteger(match, FC_INDEX, 0);
  choice.family = GetString(match, FC_FAMILY);
  choice.synthesizeBold = weight >= FW_SEMIBOLD && GetInteger(match, FC_WEIGHT, FC_WEIGHT_REGULAR) < FC_WEIGHT_DEMIBOLD;
  choice.synthesizeItalic = italic && GetInteger(match, FC_SLANT, FC_SLANT_ROMAN) == FC_SLANT_ROMAN;
  FcPatternDestroy(match);
  return choice;
}

}  // namespace winlayer::text
