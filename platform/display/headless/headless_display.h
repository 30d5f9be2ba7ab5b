// The headless display: windows live only in memory, on a virtual screen of
// kScreenWidth x kScreenHeight pixels. Its driver for tests
// (<winlayer/headless.h>, headless_driver.cpp) reads and changes this state.
#pragma once

#include <winlayer/headless.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "../display.h"

namespace winlayer::headless {

class HeadlessDisplay final : public display::Display {
 public:
  bool Open() override { return true; }
  SIZE ScreenSize() override { return {kScreenWidth, kScreenHeight}; }
  int RefreshRate() override { return 60; }
  bool PacesByDefault() const override { return false; }  // tests count frames, as fast as they come

  bool OpenWindow(const display::WindowPlacement& placement) override {
    std::lock_guard guard(lock_);
    surfaces_[placement.window] = placement.surface;
    return true;
  }
  void RemoveWindow(HWND window) override {
    std::lock_guard guard(lock_);
    surfaces_.erase(window);
    shown_.erase(std::remove(shown_.begin(), shown_.end(), window), shown_.end());
  }
  void SetVisible(HWND window, bool visible) override {
    std::lock_guard guard(lock_);
    shown_.erase(std::remove(shown_.begin(), shown_.end(), window), shown_.end());
    if (visible) shown_.insert(shown_.begin(), window);
  }
  void SetTitle(HWND, const std::string&) override {}
  void CaptureChanged(HWND) override {}

  // The tests count frames: a frame held back from the screen is one too.
  void HeldBack(HWND window) override { Presented(window); }

  void Presented(HWND window) override {
    std::vector<PresentCallback> callbacks;
    {
      std::lock_guard guard(lock_);
      for (const auto& [id, callback] : callbacks_) callbacks.push_back(callback);
    }
    for (const auto& callback : callbacks) callback(window);
  }

  int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type) override;

  std::shared_ptr<gdi::WindowSurface> SurfaceOf(HWND window) {
    std::lock_guard guard(lock_);
    auto it = surfaces_.find(window);
    return it == surfaces_.end() ? nullptr : it->second;
  }

  std::mutex lock_;
  std::map<HWND, std::shared_ptr<gdi::WindowSurface>> surfaces_;
  std::vector<HWND> shown_;  // the visible windows, the latest shown first
  std::map<int, PresentCallback> callbacks_;
  int nextCallback_ = 1;
  std::vector<MessageBoxRecord> boxes_;
  std::function<int(const MessageBoxRecord&)> answer_;
};

// The display of the program, which its driver works on.
HeadlessDisplay& Headless();

}  // namespace winlayer::headless
