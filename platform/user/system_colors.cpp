#include "system_colors.h"

#include <array>
#include <memory>
#include <mutex>

#include "../gdi/objects.h"

namespace winlayer::user {

namespace {

constexpr std::array<COLORREF, kSystemColorCount> kColors = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
    RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255),
    RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234), RGB(215, 228, 242), RGB(0, 120, 215),
    RGB(240, 240, 240),
};

}  // namespace

COLORREF SystemColor(int index) {
  return index >= 0 && index < kSystemColorCount ? kColors[static_cast<std::size_t>(index)] : RGB(0, 0, 0);
}

}  // namespace winlayer::user

using namespace winlayer;

extern "C" {

DWORD WINAPI GetSysColor(int nIndex) { return user::SystemColor(nIndex); }

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
  if (nIndex < 0 || nIndex >= user::kSystemColorCount) return nullptr;
  // One brush per colour, made on first use and never deleted, like stock objects.
  static std::array<std::uint32_t, user::kSystemColorCount> brushes{};
  static std::mutex lock;
  std::lock_guard guard(lock);
  std::uint32_t& handle = brushes[static_cast<std::size_t>(nIndex)];
  if (handle == 0) {
    auto brush = std::make_shared<gdi::Brush>(BS_SOLID, user::SystemColor(nIndex));
    brush->stock = true;
    handle = gdi::AddObject(brush);
  }
  return static_cast<HBRUSH>(gdi::ToHandle(handle));
}

}  // extern "C"
