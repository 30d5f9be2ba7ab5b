// The program's frames: the presents of the thread that draws them. A window
// thread's own painting (its background erase when the window appears)
// presents too, at a moment no script controls, so it is no frame to count.
#pragma once

#include <windows.h>
#include <winlayer/headless.h>

#include <utility>

namespace testing_support {

// Calls `callback` for each present made by the calling thread; returns the
// id for winlayer::headless::RemovePresentCallback.
inline int AddProgramFrameCallback(winlayer::headless::PresentCallback callback) {
  const DWORD program = GetCurrentThreadId();
  return winlayer::headless::AddPresentCallback([program, callback = std::move(callback)](HWND w) {
    if (GetCurrentThreadId() == program) callback(w);
  });
}

}  // namespace testing_support
