// The headless display's driver (<winlayer/headless.h>): input as a user
// makes it, the windows' pixels, presents and message boxes, for tests and tools.
#include <winlayer/headless.h>

#include "../../user/input.h"
#include "../../rules/present_pacing.h"
#include "headless_display.h"

namespace winlayer::headless {

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

void ClickCloseBox(HWND window) { user::OnCloseRequest(window); }

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


void DeferDrawing(bool on) { gdi::SetDeferralForTesting(on); }
void PlanRefresh(std::chrono::steady_clock::time_point next) { pacing::PlanScreenRefresh(next); }
std::uint64_t DeferredCallsDrawn() { return gdi::DeferredTotals().callsDrawn; }
std::uint64_t DeferredFramesDropped() { return gdi::DeferredTotals().framesDropped; }

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
