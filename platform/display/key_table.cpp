#include "key_table.h"

#include <array>
#include <string>

namespace winlayer::display {

namespace {

std::vector<KeyName> MakeTable() {
  // The names of the letters, digits and function keys live as long as the table.
  static std::array<std::string, 26 + 10 + 12 + 10> names;
  std::vector<KeyName> keys;
  std::size_t n = 0;
  auto named = [&](std::string name, int usage, UINT vk) {
    names[n] = std::move(name);
    keys.push_back({names[n++], usage, vk});
  };
  for (int i = 0; i < 26; ++i) named(std::string("Key") + static_cast<char>('A' + i), 4 + i, 'A' + i);
  for (int i = 1; i <= 9; ++i) named("Digit" + std::to_string(i), 29 + i, '0' + i);
  named("Digit0", 39, '0');
  for (int i = 1; i <= 12; ++i) named("F" + std::to_string(i), 57 + i, VK_F1 + i - 1);
  for (int i = 1; i <= 9; ++i) named("Numpad" + std::to_string(i), 88 + i, VK_NUMPAD0 + i);
  named("Numpad0", 98, VK_NUMPAD0);
  const KeyName others[] = {
      {"Enter", 40, VK_RETURN},           {"Escape", 41, VK_ESCAPE},           {"Backspace", 42, VK_BACK},
      {"Tab", 43, VK_TAB},                {"Space", 44, VK_SPACE},             {"Minus", 45, VK_OEM_MINUS},
      {"Equal", 46, VK_OEM_PLUS},         {"BracketLeft", 47, VK_OEM_4},       {"BracketRight", 48, VK_OEM_6},
      {"Backslash", 49, VK_OEM_5},        {"Semicolon", 51, VK_OEM_1},         {"Quote", 52, VK_OEM_7},
      {"Backquote", 53, VK_OEM_3},        {"Comma", 54, VK_OEM_COMMA},         {"Period", 55, VK_OEM_PERIOD},
      {"Slash", 56, VK_OEM_2},            {"Insert", 73, VK_INSERT},           {"Home", 74, VK_HOME},
      {"PageUp", 75, VK_PRIOR},           {"Delete", 76, VK_DELETE},           {"End", 77, VK_END},
      {"PageDown", 78, VK_NEXT},          {"ArrowRight", 79, VK_RIGHT},        {"ArrowLeft", 80, VK_LEFT},
      {"ArrowDown", 81, VK_DOWN},         {"ArrowUp", 82, VK_UP},              {"NumpadDivide", 84, VK_DIVIDE},
      {"NumpadMultiply", 85, VK_MULTIPLY}, {"NumpadSubtract", 86, VK_SUBTRACT}, {"NumpadAdd", 87, VK_ADD},
      {"NumpadEnter", 88, VK_RETURN},     {"NumpadDecimal", 99, VK_DECIMAL},   {"ControlLeft", 224, VK_CONTROL},
      {"ShiftLeft", 225, VK_SHIFT},       {"AltLeft", 226, VK_MENU},           {"ControlRight", 228, VK_CONTROL},
      {"ShiftRight", 229, VK_SHIFT},      {"AltRight", 230, VK_MENU},
  };
  keys.insert(keys.end(), std::begin(others), std::end(others));
  return keys;
}

}  // namespace

const std::vector<KeyName>& Keys() {
  static const std::vector<KeyName> keys = MakeTable();
  return keys;
}

UINT VirtualKeyOfCode(std::string_view code) {
  for (const KeyName& k : Keys())
    if (k.code == code) return k.virtualKey;
  return 0;
}

UINT VirtualKeyOfUsage(int usage) {
  for (const KeyName& k : Keys())
    if (k.usage == usage) return k.virtualKey;
  return 0;
}

}  // namespace winlayer::display
