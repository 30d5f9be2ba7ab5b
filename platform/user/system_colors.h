// The system colours, as a current Windows shows them by default.
#pragma once

#include <windows.h>

#include <cstdint>

namespace winlayer::user {

constexpr int kSystemColorCount = 31;

// The colour of a system colour index; black for an unknown index.
COLORREF SystemColor(int index);

// A brush value below this is a system colour index plus one, not a handle.
constexpr std::uintptr_t kSystemColorBrushLimit = kSystemColorCount + 1;

}  // namespace winlayer::user
