#include "input.h"

#include <array>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "../display/display.h"
#include "../rules/click_latch.h"
#include "../rules/poll_pacing.h"
#include "message_queue.h"
#include "window.h"

namespace winlayer::user {

namespace {

constexpr UINT kDoubleClickTime = 500;

std::atomic<std::uint64_t> cursor{0};  // x in the high half, y in the low half
std::array<std::atomic<bool>, 256> keys{};
// Pressed since GetAsyncKeyState last answered for the key, as Windows keeps it.
std::array<std::atomic<bool>, 256> pressedSinceAsked{};
std::atomic<HWND> capture{nullptr};
std::atomic<std::uint64_t> buttonPolls{0};
std::atomic<HWND> focus{nullptr};

struct LastPress {
  HWND window = nullptr;
  int button = 0;
  DWORD time = 0;
  POINT at{};
};
std::mutex lastPressLock;
LastPress lastPress;

void StoreCursor(POINT p) {
  cursor.store(static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.x)) << 32 | static_cast<std::uint32_t>(p.y));
}

WPARAM ButtonFlags() {
  WPARAM flags = 0;
  if (KeyHeld(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (KeyHeld(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (KeyHeld(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (KeyHeld(VK_SHIFT)) flags |= MK_SHIFT;
  if (KeyHeld(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The window that takes a mouse message at this screen point: the capturing
// window, else the topmost visible window whose client area holds the point
// (or its child there).
std::shared_ptr<Window> MouseTarget(POINT screen) {
  if (HWND captured = capture.load()) return WindowByHandle(captured);
  std::lock_guard guard(WindowsLock());
  for (const auto& top : TopLevelWindows()) {
    if (!top->visible || !Contains(top->client, screen)) continue;
    const POINT origin = ClientOriginOnScreen(*top);
    const POINT local{screen.x - origin.x, screen.y - origin.y};
    for (HWND c : top->children)
      if (auto child = WindowByHandle(c); child && child->visible && Contains(child->client, local)) return child;
    return top;
  }
  return nullptr;
}

// Client coordinates of a screen point, packed as a message does: 16 bits each.
LPARAM ClientPosition(const Window& w, POINT screen) {
  std::lock_guard guard(WindowsLock());
  const POINT origin = ClientOriginOnScreen(w);
  return MAKELPARAM(screen.x - origin.x, screen.y - origin.y);
}

void PostTo(const Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
  Post(*w.queue, MakeMessage(w.handle, message, wParam, lParam));
}

// The window that takes keys: the focus window, else the topmost visible one.
std::shared_ptr<Window> KeyTarget() {
  if (auto w = WindowByHandle(focus.load())) return w;
  std::lock_guard guard(WindowsLock());
  for (const auto& top : TopLevelWindows())
    if (top->visible) return top;
  return nullptr;
}

bool IsDoubleClick(const Window& w, int button, POINT screen) {
  const bool wants = w.windowClass && (w.windowClass->style & CS_DBLCLKS);
  const DWORD now = GetTickCount();
  std::lock_guard guard(lastPressLock);
  const bool twice = wants && lastPress.window == w.handle && lastPress.button == button &&
                     now - lastPress.time <= kDoubleClickTime &&
                     std::abs(screen.x - lastPress.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                     std::abs(screen.y - lastPress.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  // A double click is not the first click of the next one.
  lastPress = twice ? LastPress{} : LastPress{w.handle, button, now, screen};
  return twice;
}

UINT ButtonMessage(int button, bool down, bool twice) {
  const UINT base = button == VK_LBUTTON ? WM_LBUTTONDOWN : button == VK_RBUTTON ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  return down ? (twice ? base + 2 : base) : base + 1;
}

char CharacterOf(UINT vk, bool shift) {
  static const char kShiftedDigits[] = ")!@#$%^&*(";
  if (vk >= 'A' && vk <= 'Z') return static_cast<char>(shift ? vk : std::tolower(static_cast<int>(vk)));
  if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return static_cast<char>('0' + vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 27;
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_7: return shift ? '"' : '\'';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DIVIDE: return '/';
    case VK_DECIMAL: return '.';
    default: return 0;
  }
}

// A key or button goes down or up (only the displays' thread does this). The
// latch learns of a press before any poll can see the key down, so that a
// poll never reads one press twice.
bool ChangeKey(int virtualKey, bool down) {
  auto& key = keys[static_cast<std::size_t>(virtualKey & 0xFF)];
  const bool wasDown = key.load();
  if (down && !wasDown) {  // a repeat is no new press
    pressedSinceAsked[static_cast<std::size_t>(virtualKey & 0xFF)].store(true);
    pacing::Latches().Pressed(virtualKey);
  }
  key.store(down);
  if (!down && wasDown) pacing::Latches().Released(virtualKey);
  pacing::Input().Notify();
  return wasDown;
}

}  // namespace

void OnMouseMove(POINT screen) {
  StoreCursor(screen);
  if (auto w = MouseTarget(screen)) PostTo(*w, WM_MOUSEMOVE, ButtonFlags(), ClientPosition(*w, screen));
  pacing::Input().Notify();
}

void OnMouseButton(POINT screen, int button, bool down) {
  StoreCursor(screen);
  ChangeKey(button, down);
  auto w = MouseTarget(screen);
  if (!w) return;
  if (down) {
    HWND top = w->TopLevel() ? w->handle : w->parent;
    RaiseWindow(top);
    if (!WindowByHandle(focus.load())) focus.store(top);
  }
  const bool twice = down && IsDoubleClick(*w, button, screen);
  PostTo(*w, ButtonMessage(button, down, twice), ButtonFlags(), ClientPosition(*w, screen));
}

void OnKey(UINT virtualKey, bool down) {
  const bool wasDown = ChangeKey(static_cast<int>(virtualKey), down);
  auto w = KeyTarget();
  if (!w) return;
  // Repeat count 1; bit 30 the previous state; bit 31 set on release.
  LPARAM flags = 1;
  if (wasDown) flags |= LPARAM{1} << 30;
  if (!down) flags |= LPARAM{1} << 31;
  PostTo(*w, down ? WM_KEYDOWN : WM_KEYUP, virtualKey, flags);
}

void OnCharacter(unsigned char character) {
  if (auto w = KeyTarget()) PostTo(*w, WM_CHAR, character, 1);
  pacing::Input().Notify();
}

void OnCloseRequest(HWND window) {
  if (auto w = WindowByHandle(window)) PostTo(*w, WM_SYSCOMMAND, SC_CLOSE, 0);
  pacing::Input().Notify();
}

POINT CursorPosition() {
  const std::uint64_t packed = cursor.load();
  return {static_cast<LONG>(static_cast<std::uint32_t>(packed >> 32)), static_cast<LONG>(static_cast<std::uint32_t>(packed))};
}

bool KeyHeld(int virtualKey) { return keys[static_cast<std::size_t>(virtualKey & 0xFF)].load(); }

std::uint64_t ButtonPolls() { return buttonPolls.load(std::memory_order_relaxed); }

void ForgetWindow(HWND window) {
  HWND expected = window;
  if (capture.compare_exchange_strong(expected, nullptr)) display::TheDisplay().CaptureChanged(nullptr);
  expected = window;
  focus.compare_exchange_strong(expected, nullptr);
}

}  // namespace winlayer::user

using namespace winlayer::user;

extern "C" {

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  winlayer::pacing::BeforePoll();
  if (!lpPoint) return FALSE;
  *lpPoint = CursorPosition();
  return TRUE;
}

// Held as the click latch reads it: a quick press lasts as long as a person's.
SHORT WINAPI GetAsyncKeyState(int vKey) {
  winlayer::pacing::BeforePoll();
  buttonPolls.fetch_add(1, std::memory_order_relaxed);
  if (vKey < 0 || vKey > 255) return 0;
  const bool pressed = pressedSinceAsked[static_cast<std::size_t>(vKey)].exchange(false);
  const bool held = winlayer::pacing::PollLatch(vKey, KeyHeld(vKey));
  return static_cast<SHORT>((held ? winlayer::pacing::kKeyDown : 0) | (pressed ? winlayer::pacing::kPressedSinceLastAsked : 0));
}

// The mouse buttons as GetAsyncKeyState reads them, leaving its "pressed since"
// bit alone; a key as of the key messages the calling thread has taken, as on
// Windows, or held while the latch reads a quick press of it held.
SHORT WINAPI GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 255) return 0;
  const bool button = nVirtKey == VK_LBUTTON || nVirtKey == VK_RBUTTON || nVirtKey == VK_MBUTTON;
  if (button) winlayer::pacing::BeforePoll();
  const bool latched = winlayer::pacing::PollLatch(nVirtKey, KeyHeld(nVirtKey));
  return latched || (!button && KeyHeldForThread(nVirtKey)) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg || lpMsg->message != WM_KEYDOWN) return FALSE;
  const char c = CharacterOf(static_cast<UINT>(lpMsg->wParam), KeyHeldForThread(VK_SHIFT));
  if (!c) return FALSE;
  PostNext(MakeMessage(lpMsg->hwnd, WM_CHAR, static_cast<unsigned char>(c), lpMsg->lParam));
  return TRUE;
}

HWND WINAPI SetCapture(HWND hWnd) {
  if (!WindowByHandle(hWnd)) return capture.load();
  HWND previous = capture.exchange(hWnd);
  if (previous != hWnd) winlayer::display::TheDisplay().CaptureChanged(hWnd);
  return previous;
}

BOOL WINAPI ReleaseCapture(void) {
  if (capture.exchange(nullptr)) winlayer::display::TheDisplay().CaptureChanged(nullptr);
  return TRUE;
}

HWND WINAPI GetCapture(void) { return capture.load(); }

UINT WINAPI GetDoubleClickTime(void) { return kDoubleClickTime; }

HWND WINAPI SetFocus(HWND hWnd) {
  if (hWnd && !WindowByHandle(hWnd)) return nullptr;
  return focus.exchange(hWnd);
}

HWND WINAPI GetFocus(void) { return focus.load(); }

}  // extern "C"
