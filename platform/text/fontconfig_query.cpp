// Fontconfig's choice of a face among the fonts installed on the system.
#include <fontconfig/fontconfig.h>

#include <mutex>

#include "font_match.h"

namespace winlayer::text {

namespace {

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

FaceChoice AskFontconfig(const std::string& family, int weight, bool italic) {
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
