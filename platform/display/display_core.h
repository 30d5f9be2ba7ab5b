// The display thread's core, shared by the displays that show windows on a
// screen (SDL, web): which windows were presented, when the next copy to the
// screen is due (at most one per refresh, however many presents come in
// between, and the last frame before a pause always), and the copy itself:
// under each changed window's surface lock, the part changed since it was
// last shown goes to the display's backend, which puts it on the screen once
// the lock is let go. A new display is a backend plus its events.
#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "../gdi/objects.h"
#include "presented_windows.h"

namespace winlayer::display {

// What a display does with a window's changed pixels; called on the display thread.
class ScreenBackend {
 public:
  virtual ~ScreenBackend() = default;
  // Under the surface's lock, which the drawing thread waits for: takes the
  // rectangle `changed` of the window's pixels; returns the part it took.
  virtual gdi::Rect Take(HWND window, const gdi::Surface& pixels, const gdi::Rect& changed) = 0;
  // Without the lock: shows what was taken.
  virtual void Show(HWND window, const gdi::Rect& taken) = 0;
  // After a copy that showed any window.
  virtual void AfterShowing() {}
};

class DisplayCore {
 public:
  using Clock = PresentedWindows::Clock;

  explicit DisplayCore(ScreenBackend& backend) : backend_(backend) {}

  // Display thread, before the first pass.
  void SetRefreshPeriod(Clock::duration period) { presented_.SetRefreshPeriod(period); }

  // Any thread. A window's first copy is whole.
  void AddWindow(HWND window, std::shared_ptr<gdi::WindowSurface> surface);
  // After it returns, the window's surface is no longer read (it waits for a copy under way).
  void RemoveWindow(HWND window);
  // Shown or exposed: the next copy is whole, changed or not.
  void ShowWhole(HWND window);

  // Drawing thread, for each present: whether the display thread needs waking.
  bool Presented(HWND window) { return presented_.Add(window); }

  // Display thread: takes the presents and, when a refresh is due, copies the changed windows.
  void Pass(Clock::time_point now);
  // Display thread, before it sleeps: false when presents came since the
  // pass (it looks again at once). Otherwise `wakeBy` is when the next copy is
  // due, or empty when nothing waits for one (presents wake it).
  bool ReadyToSleep(std::optional<Clock::time_point>* wakeBy);

 private:
  struct Window {
    std::shared_ptr<gdi::WindowSurface> surface;
    bool dirty = false;  // a frame not yet on the screen
    bool whole = true;   // copy it all, changed or not
  };
  bool AnyDirtyLocked() const;
  void CopyDirtyLocked();

  ScreenBackend& backend_;
  PresentedWindows presented_;
  std::mutex lock_;  // held through a copy
  std::map<HWND, Window> windows_;  // guarded by lock_
};

}  // namespace winlayer::display
