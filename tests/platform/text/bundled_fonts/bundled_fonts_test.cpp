// The browser's fixed table of bundled fonts against fontconfig on this
// machine, which has the same font files: every weight and slant of every
// family the Windows names map to gives the same file and the same synthesis.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include "platform/text/font_match.h"

namespace {

using winlayer::text::AskFontconfig;
using winlayer::text::FaceChoice;
using winlayer::text::FindFace;  // the table's, in this binary

TEST(BundledFontsTest, ChooseAsFontconfigDoesAmongTheSameFiles) {
  ASSERT_TRUE(FcInit());
  for (const char* family : {"Liberation Sans", "Liberation Serif", "Liberation Mono", "Comic Neue"})
    for (int weight = 0; weight <= 1000; weight += 25)
      for (bool italic : {false, true}) {
        const FaceChoice expected = AskFontconfig(family, weight, italic);
        const FaceChoice got = FindFace(family, weight, italic);
        EXPECT_EQ(got.file, expected.file) << family << " weight " << weight << (italic ? " italic" : "");
        EXPECT_EQ(got.synthesizeBold, expected.synthesizeBold) << family << " weight " << weight;
        EXPECT_EQ(got.synthesizeItalic, expected.synthesizeItalic) << family << " weight " << weight;
      }
}

}  // namespace
