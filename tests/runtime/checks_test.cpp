#include "runtime/checks.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

using runtime::Array;
using runtime::View;

constexpr int kRange = 201;
constexpr int kOverflow = 215;

TEST(RuntimeChecksTest, ArraysKeepTheirDeclaredBounds) {
  Array<int, 1, 16> keys{};
  keys[1] = 10;
  keys[16] = 160;
  EXPECT_EQ(keys.items[0], 10);
  EXPECT_EQ(keys.items[15], 160);
  EXPECT_EQ(keys.size(), 16u);

  Array<char, 0, 127> title{};
  title[127] = 'x';
  EXPECT_EQ(title.items[127], 'x');

  EXPECT_EXIT(keys[0] = 1, testing::ExitedWithCode(kRange), "range check error.*index out of bounds: 0 at .*checks_test.cpp:[0-9]+");
  EXPECT_EXIT(keys[17] = 1, testing::ExitedWithCode(kRange), "index out of bounds: 17");
  EXPECT_EXIT(title[-1] = 'a', testing::ExitedWithCode(kRange), "index out of bounds: -1");
  EXPECT_EXIT(title[std::uint64_t{1} << 63] = 'a', testing::ExitedWithCode(kRange), "9223372036854775808");
}

enum class Player { One = 1, Two = 2 };

TEST(RuntimeChecksTest, EnumerationsIndexByTheirValue) {
  Array<int, 1, 2> score{};
  score[Player::Two] = 5;
  EXPECT_EQ(score.items[1], 5);
}

TEST(RuntimeChecksTest, ViewsCheckCallerSizedArrays) {
  char text[5] = {'A', 'r', 'i', 'a', 'l'};
  View<char> v(text);
  EXPECT_EQ(v.size(), 5u);
  EXPECT_EQ(v[4], 'l');
  View<const char> constant = v;
  EXPECT_EQ(constant[0], 'A');
  EXPECT_EXIT(v[5], testing::ExitedWithCode(kRange), "index out of bounds: 5");

  Array<int, 1, 3> corners{{7, 8, 9}};
  View<int> all(corners);
  EXPECT_EQ(all[0], 7);
  EXPECT_EQ(all[2], 9);
  EXPECT_EXIT(all[3], testing::ExitedWithCode(kRange), "");
}

TEST(RuntimeChecksTest, NarrowingKeepsOnlyValuesThatFit) {
  EXPECT_EQ(runtime::Narrow<std::uint8_t>(255), 255);
  EXPECT_EQ(runtime::Narrow<std::int32_t>(std::uint32_t{INT_MAX}), INT_MAX);
  EXPECT_EQ(runtime::Narrow<std::uint32_t>(0), 0u);
  EXPECT_EXIT(runtime::Narrow<std::uint8_t>(256), testing::ExitedWithCode(kRange), "does not fit its type: 256");
  EXPECT_EXIT(runtime::Narrow<std::uint32_t>(-1), testing::ExitedWithCode(kRange), "does not fit its type: -1");
  EXPECT_EXIT(runtime::Narrow<std::int32_t>(std::uint32_t{0x80000000u}), testing::ExitedWithCode(kRange), "2147483648");
}

TEST(RuntimeChecksTest, RangesIncludeBothEnds) {
  EXPECT_EQ(runtime::CheckRange(255u, 0u, 255u), 255u);
  EXPECT_EQ(runtime::CheckRange(-3, -3, 3), -3);
  EXPECT_EXIT(runtime::CheckRange(256u, 0u, 255u), testing::ExitedWithCode(kRange), "value out of range: 256");
}

TEST(RuntimeChecksTest, ArithmeticOverflowStops) {
  EXPECT_EQ(runtime::Add(INT_MAX - 1, 1), INT_MAX);
  EXPECT_EQ(runtime::Sub(INT_MIN + 1, 1), INT_MIN);
  EXPECT_EQ(runtime::Mul(-46341, 46340), -2147441940);
  EXPECT_EXIT(runtime::Add(INT_MAX, 1), testing::ExitedWithCode(kOverflow), "arithmetic overflow in addition at");
  EXPECT_EXIT(runtime::Sub(INT_MIN, 1), testing::ExitedWithCode(kOverflow), "arithmetic overflow in subtraction");
  EXPECT_EXIT(runtime::Mul(65536, 65536), testing::ExitedWithCode(kOverflow), "arithmetic overflow in multiplication");
  EXPECT_EXIT(runtime::Sub(0u, 1u), testing::ExitedWithCode(kOverflow), "overflow");
}

}  // namespace
