// The headless display: windows live only in memory, on a virtual screen, and
// a test drives the mouse and keyboard through the driver of winlayer/headless.h.
#include <winlayer/headless.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>

#include "../../user/input.h"
#include "../display.h"
#include "../present.h"

namespace winlayer::headless {

namespace {

int FirstButton(UINT type) {
  switch (type & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
  }
}

class HeadlessDisplay final : public display::Display {
 public:
  bool Open() override { return true; }
  SIZE ScreenSize() override { return {kScreenWidth, kScreenHeight}; }
  int RefreshRate() override { return 60; }
  bool PacesByDefault() const override { return false; }  // tests count frames, as fast as they come

  bool CreateWindow(const display::WindowPlacement& placement) override {
    std::lock_guard guard(lock_);
    surfaces_[placement.window] = placement.surface;
    return true;
  }
  void DestroyWindow(HWND window) override {
    std::lock_guard guard(lock_);
    surfaces_.erase(window);
    shown_.erase(std::remove(shown_.begin(), shown_.end(), window), shown_.end());
  }
  void ShowWindow(HWND window, bool visible) override {
    std::lock_guard guard(lock_);
    shown_.erase(std::remove(shown_.begin(), shown_.end(), window), shown_.end());
    if (visible) shown_.insert(shown_.begin(), window);
  }
  void SetTitle(HWND, const std::string&) override {}
  void CaptureChanged(HWND) override {}

  void Presented(HWND window) override {
    std::vector<PresentCallback> callbacks;
    {
      std::lock_guard guard(lock_);
      for (const auto& [id, callback] : callbacks_) callbacks.push_back(callback);
    }
    for (const auto& callback : callbacks) callback(window);
  }

  int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
    std::fprintf(stderr, "message box \"%s\": %s\n", caption.c_str(), text.c_str());
    MessageBoxRecord record{owner, text, caption, type, FirstButton(type)};
    std::function<int(const MessageBoxRecord&)> answer;
    {
      std::lock_guard guard(lock_);
      answer = answer_;
    }
    if (answer) record.answer = answer(record);
    std::lock_guard guard(lock_);
    boxes_.push_back(record);
    return record.answer;
  }

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

HeadlessDisplay& Headless() {
  static auto* display = new HeadlessDisplay;
  return *display;
}

}  // namespace

void MoveCursor(int x, int y) { user::OnMouseMove({x, y}); }

void MoveCursorToClient(HWND window, int x, int y) {
  POINT p{x, y};
  if (ClientToScreen(window, &p)) MoveCursor(p.x, p.y);
}

void PressButton(int button) { user::OnMouseButton(user::CursorPosition(), button, true); }
void ReleaseButton(int button) { user::OnMouseButton(user::CursorPosition(), button, false); }
void Click(int button) {
  PressButton(button);
  ReleaseButton(button);
}

std::uint64_t ButtonPolls() { return user::ButtonPolls(); }

void PressKey(UINT virtualKey) { user::OnKey(virtualKey, true); }
void ReleaseKey(UINT virtualKey) { user::OnKey(virtualKey, false); }
void TypeKey(UINT virtualKey) {
  PressKey(virtualKey);
  ReleaseKey(virtualKey);
}
void TypeCharacter(unsigned char character) { user::OnCharacter(character); }

void CloseWindow(HWND window) { user::OnCloseRequest(window); }

std::vector<HWND> VisibleWindows() {
  HeadlessDisplay& d = Headless();
  std::lock_guard guard(d.lock_);
  return d.shown_;
}

HWND FindWindowByTitle(const std::string& title) { return FindWindowA(nullptr, title.c_str()); }

Frame ClientPixels(HWND window) {
  Frame frame;
  auto surface = Headless().SurfaceOf(window);
  if (!surface) return frame;
  std::lock_guard guard(surface->lock);
  const gdi::Surface& s = *surface->bitmap->surface;
  frame.width = s.Width();
  frame.height = s.Height();
  frame.pixels.reserve(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) frame.pixels.push_back(s.Read(x, y));
  return frame;
}

COLORREF ClientPixel(HWND window, int x, int y) {
  auto surface = Headless().SurfaceOf(window);
  if (!surface) return CLR_INVALID;
  std::lock_guard guard(surface->lock);
  const gdi::Surface& s = *surface->bitmap->surface;
  if (x < 0 || y < 0 || x >= s.Width() || y >= s.Height()) return CLR_INVALID;
  return s.Read(x, y);
}

bool SaveClientPng(HWND window, const std::string& path) {
  auto surface = Headless().SurfaceOf(window);
  if (!surface) return false;
  std::lock_guard guard(surface->lock);
  return gdi::WritePng(*surface->bitmap->surface, path.c_str());
}

int AddPresentCallback(PresentCallback callback) {
  HeadlessDisplay& d = Headless();
  std::lock_guard guard(d.lock_);
  const int id = d.nextCallback_++;
  d.callbacks_[id] = std::move(callback);
  return id;
}

void RemovePresentCallback(int id) {
  HeadlessDisplay& d = Headless();
  std::lock_guard guard(d.lock_);
  d.callbacks_.erase(id);
}

std::uint64_t PresentCount() { return display::PresentCount(); }

std::vector<MessageBoxRecord> MessageBoxes() {
  HeadlessDisplay& d = Headless();
  std::lock_guard guard(d.lock_);
  return d.boxes_;
}

void ClearMessageBoxes() {
  HeadlessDisplay& d = Headless();
  std::lock_guard guard(d.lock_);
  d.boxes_.clear();
}

void AnswerMessageBoxesWith(std::function<int(const MessageBoxRecord&)> answer) {
  HeadlessDisplay& d = Headless();
  std::lock_guard guard(d.lock_);
  d.answer_ = std::move(answer);
}

}  // namespace winlayer::headless

namespace winlayer::display {

Display& TheDisplay() { return headless::Headless(); }

}  // namespace winlayer::display
