// The displays' one key table: each key named once, by the browser's name
// and by its place on the keyboard, and the keys the page could not send
// before (punctuation, the keypad) found by both.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/display/key_table.h"

namespace {

using winlayer::display::Keys;
using winlayer::display::VirtualKeyOfCode;
using winlayer::display::VirtualKeyOfUsage;

TEST(KeyTableTest, EachKeyIsNamedOnceEachWay) {
  std::set<std::string> codes;
  std::set<int> usages;
  for (const auto& k : Keys()) {
    EXPECT_TRUE(codes.insert(std::string(k.code)).second) << k.code;
    EXPECT_TRUE(usages.insert(k.usage).second) << k.code;
    EXPECT_NE(k.virtualKey, 0u) << k.code;
    EXPECT_LE(k.code.size(), 24u) << k.code << " fits the page's event";
    EXPECT_EQ(VirtualKeyOfCode(k.code), k.virtualKey);
    EXPECT_EQ(VirtualKeyOfUsage(k.usage), k.virtualKey);
  }
}

TEST(KeyTableTest, LettersDigitsPunctuationAndTheKeypadAreFoundByNameAndPlace) {
  const struct {
    const char* code;
    int usage;
    UINT vk;
  } expected[] = {
      {"KeyA", 4, 'A'},          {"KeyZ", 29, 'Z'},           {"Digit1", 30, '1'},        {"Digit0", 39, '0'},
      {"Minus", 45, VK_OEM_MINUS}, {"Equal", 46, VK_OEM_PLUS}, {"Comma", 54, VK_OEM_COMMA}, {"Period", 55, VK_OEM_PERIOD},
      {"Slash", 56, VK_OEM_2},   {"Semicolon", 51, VK_OEM_1}, {"Quote", 52, VK_OEM_7},     {"BracketLeft", 47, VK_OEM_4},
      {"Numpad0", 98, VK_NUMPAD0}, {"Numpad7", 95, VK_NUMPAD0 + 7}, {"NumpadAdd", 87, VK_ADD},
      {"NumpadMultiply", 85, VK_MULTIPLY}, {"NumpadDecimal", 99, VK_DECIMAL}, {"NumpadEnter", 88, VK_RETURN},
      {"F1", 58, VK_F1},         {"F12", 69, VK_F1 + 11},     {"ArrowLeft", 80, VK_LEFT}, {"ShiftRight", 229, VK_SHIFT},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(VirtualKeyOfCode(e.code), e.vk) << e.code;
    EXPECT_EQ(VirtualKeyOfUsage(e.usage), e.vk) << e.code;
  }
  EXPECT_EQ(VirtualKeyOfCode("MetaLeft"), 0u);
  EXPECT_EQ(VirtualKeyOfCode(""), 0u);
  EXPECT_EQ(VirtualKeyOfCode("Key"), 0u);
  EXPECT_EQ(VirtualKeyOfUsage(0), 0u);
}

}  // namespace
