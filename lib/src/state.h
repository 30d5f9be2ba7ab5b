// The library's private module state, shared by its parts.
#pragma once

#include <atomic>

#include "BrannowayLib.h"

namespace BrannowayLib {

struct ModuleState {
  // Written by the window thread once it has made the window, polled by the main thread.
  std::atomic<HWND> hWnd{nullptr};
  // Set by the window thread when it could not make the window.
  std::atomic<bool> windowFailed{false};
  tWindow WindowInfo{};
  HDC hBuffer = nullptr;
  HBRUSH cBrush = nullptr;
  HPEN cPen = nullptr;
  HFONT cFont = nullptr;
  LOGFONTA structFont{};
  KeyBuffer Input{};  // window thread only
};

// The state, initialised on first use.
ModuleState& State();

void UpdatePen();
void UpdateBrush();
void UpdateFont();

}  // namespace BrannowayLib
