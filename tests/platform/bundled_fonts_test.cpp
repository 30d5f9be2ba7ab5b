// The browser's fixed table of bundled fonts against fontconfig on this
// machine, which has the same font files: every weight and slant of every
// family the Windows names map to gives the same file and the same synthesis.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <string>

#include "../../platform/text/font_match.h"

namespace {

struct Asked {
  std::string file;
  bool bold = false, italic = false;  // synthesized
};

// What font_files_fontconfig.cpp answers, asked of fontconfig here directly
// (that file and the table define the same function, so one binary holds one).
Asked FromFontconfig(const std::string& family, int weight, bool italic) {
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
  Asked a;
  if (!match) return a;
  FcChar8* file = nullptr;
  int faceWeight = FC_WEIGHT_REGULAR, faceSlant = FC_SLANT_ROMAN;
  FcPatternGetString(match, FC_FILE, 0, &file);
  FcPatternGetInteger(match, FC_WEIGHT, 0, &faceWeight);
  FcPatternGetInteger(match, FC_SLANT, 0, &faceSlant);
  a.file = file ? reinterpret_cast<char*>(file) : "";
  a.bold = weight >= FW_SEMIBOLD && faceWeight < FC_WEIGHT_DEMIBOLD;
  a.italic = italic && faceSlant == FC_SLANT_ROMAN;
  FcPatternDestroy(match);
  return a;
}

TEST(BundledFontsTest, ChooseAsFontconfigDoesAmongTheSameFiles) {
  ASSERT_TRUE(FcInit());
  for (const char* family : {"Liberation Sans", "Liberation Serif", "Liberation Mono", "Comic Neue"})
    for (int weight = 0; weight <= 1000; weight += 25)
      for (bool italic : {false, true}) {
        const Asked expected = FromFontconfig(family, weight, italic);
        const winlayer::text::FaceChoice got = winlayer::text::FindFace(family, weight, italic);
        EXPECT_EQ(got.file, expected.file) << family << " weight " << weight << (italic ? " italic" : "");
        EXPECT_EQ(got.synthesizeBold, expected.bold) << family << " weight " << weight;
        EXPECT_EQ(got.synthesizeItalic, expected.italic) << family << " weight " << weight;
      }
}

}  // namespace
