// The SDL display's enlarging rules, without a screen: which factor
// WINLAYER_SCALE and the screen choose, where the enlarged window goes, how
// screen pixels map back, and the enlarged copy itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/display/sdl/scaling.h"

namespace winlayer::display {
namespace {

TEST(DisplayScalingTest, TheVariableTakesAWholeFactorOrAuto) {
  std::string complaint;
  EXPECT_EQ(ChosenScale("1", &complaint), 1);
  EXPECT_EQ(ChosenScale("3", &complaint), 3);
  EXPECT_EQ(ChosenScale("16", &complaint), 16);
  EXPECT_EQ(ChosenScale(nullptr, &complaint), std::nullopt);
  EXPECT_EQ(ChosenScale("", &complaint), std::nullopt);
  EXPECT_EQ(ChosenScale("auto", &complaint), std::nullopt);
  EXPECT_TRUE(complaint.empty());
  for (const char* bad : {"0", "17", "-2", "2x", "two", "1.5", "99999999999999999999", "AUTO"}) {
    complaint.clear();
    EXPECT_EQ(ChosenScale(bad, &complaint), std::nullopt) << bad;
    EXPECT_NE(complaint.find(std::string("WINLAYER_SCALE: \"") + bad + "\""), std::string::npos) << complaint;
    EXPECT_EQ(complaint.find('\n'), std::string::npos);  // one line
  }
}

TEST(DisplayScalingTest, TheLargestFactorThatFitsWithFrameAndMarginIsChosen) {
  const Size2 game{640, 480};
  EXPECT_EQ(FittingScale(game, {0, 0, 2560, 1440}), 2);
  EXPECT_EQ(FittingScale(game, {0, 0, 3840, 2160}), 4);
  EXPECT_EQ(FittingScale(game, {0, 32, 1920, 1048}), 2);  // a desktop panel above
  EXPECT_EQ(FittingScale(game, {0, 0, 1280, 800}), 1);
  EXPECT_EQ(FittingScale(game, {0, 0, 1366, 768}), 1);
  EXPECT_EQ(FittingScale(game, {0, 0, 640, 480}), 1);  // never less than 1
  EXPECT_EQ(FittingScale(game, {0, 0, 0, 0}), 1);
  // Exactly at the limit: 2 × 480 + the frame (48) + the margins (32) is 1040 rows.
  EXPECT_EQ(FittingScale(game, {0, 0, 1400, 1040}), 2);
  EXPECT_EQ(FittingScale(game, {0, 0, 1400, 1039}), 1);
  EXPECT_EQ(FittingScale({1, 1}, {0, 0, 7680, 4320}), kLargestScale);
  EXPECT_EQ(FittingScale({0, 10}, {0, 0, 2560, 1440}), 1);
  // A factor asked for is held to the window size SDL allows.
  EXPECT_EQ(HeldScale(3, game), 3);
  EXPECT_EQ(HeldScale(16, {4000, 100}), 4);
  EXPECT_EQ(HeldScale(16, {20000, 100}), 1);
  EXPECT_EQ(HeldScale(0, game), 1);
}

TEST(DisplayScalingTest, TheEnlargedWindowIsCentredWhereTheProgramPutItAndKeptOnTheScreen) {
  const Area usable{0, 0, 2560, 1440};
  const Area centred = ScaledPlacement({960, 480, 640, 480}, 2, usable);
  EXPECT_EQ(centred.x, 640);
  EXPECT_EQ(centred.y, 240);
  EXPECT_EQ(centred.width, 1280);
  EXPECT_EQ(centred.height, 960);
  const Area corner = ScaledPlacement({0, 0, 640, 480}, 2, usable);
  EXPECT_EQ(corner.x, 0);
  EXPECT_EQ(corner.y, 0);
  const Area farCorner = ScaledPlacement({2500, 1400, 640, 480}, 2, {100, 50, 2460, 1390});
  EXPECT_EQ(farCorner.x + farCorner.width, 2560);
  EXPECT_EQ(farCorner.y + farCorner.height, 1440);
  const Area tooLarge = ScaledPlacement({900, 500, 640, 480}, 5, {0, 40, 2560, 1400});  // the title bar stays in view
  EXPECT_EQ(tooLarge.x, 0);
  EXPECT_EQ(tooLarge.y, 40);
}

TEST(DisplayScalingTest, EveryScreenPixelOfABlockMapsToItsClientPixel) {
  for (int n = 1; n <= 5; ++n)
    for (int offset = -3 * n; offset < 3 * n; ++offset) {
      const int client = ClientOffset(offset, n);
      EXPECT_LE(client * n, offset) << n << " " << offset;
      EXPECT_GT((client + 1) * n, offset) << n << " " << offset;
    }
}

TEST(DisplayScalingTest, EnlargedPixelsRepeatEachSourcePixelAsABlock) {
  for (int n : {1, 2, 3, 4}) {
    const int columns = 7, rows = 5, sourcePitch = 9 * 4;  // rows padded, as surfaces may be
    std::vector<std::uint32_t> source(9 * rows);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = 0x10000u * static_cast<std::uint32_t>(i) + 7;
    const int targetWidth = columns * n + 3;  // wider than the enlarged rows: nothing past them is written
    std::vector<std::uint32_t> target(static_cast<std::size_t>(targetWidth) * rows * n, 0xDEADBEEF);
    EnlargePixels(source.data(), sourcePitch, columns, rows, n, target.data(), targetWidth * 4);
    for (int y = 0; y < rows * n; ++y)
      for (int x = 0; x < targetWidth; ++x) {
        const std::uint32_t expected = x < columns * n ? source[static_cast<std::size_t>(y / n) * 9 + x / n] : 0xDEADBEEF;
        ASSERT_EQ(target[static_cast<std::size_t>(y) * targetWidth + x], expected) << "n " << n << " at " << x << ", " << y;
      }
  }
}

}  // namespace
}  // namespace winlayer::display
