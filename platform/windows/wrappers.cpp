// The layer between the programs and Windows: every imported call of a
// program to one of the wrapped imports (wrapped_imports.h) reaches the
// function here, which applies the pacing rules and calls Windows.
//
// - BitBlt: drawing, so a polling thread that draws never naps; one whose
//   destination is a window's context is a present, paced to the program's
//   frame rate on that window's schedule before it goes.
// - GetAsyncKeyState, GetCursorPos, IsWindow, a PeekMessageA that finds
//   nothing: polls, which nap when the thread has only polled for a while.
// - GetAsyncKeyState: read through the click latch, so a quick press lasts
//   as long as a person's. Its presses come from two witnesses: the
//   button-down and key-down messages that the program's window thread
//   takes (GetMessageA, PeekMessageA), and the polls' own view (Windows'
//   "pressed since the last call" bit, which another process can take, and
//   the level).
// - GetMessageA, PeekMessageA and DispatchMessageA: every message taken or
//   handled ends the naps of a waiting loop, so a click or a closed window is
//   answered at once.
// - RegisterClassA, RegisterClassExA: a class that asks for Windows' generic
//   application icon (or for one the program lacks) gets the program's own
//   icon instead when the .exe carries one, so that its windows show the
//   icon Explorer shows for it (title bar, taskbar, Alt+Tab).
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "../rules/click_latch.h"
#include "../rules/poll_pacing.h"
#include "../rules/present_pacing.h"
#include "wrapped_imports.h"

// Windows' own functions, through the import pointers that --wrap renames.
#define WINLAYER_DECLARE_REAL(name, bytes) \
  extern "C" decltype(&::name) winlayer_real_##name asm(WINLAYER_IMPORT_SYMBOL(real, name, bytes));
WINLAYER_WRAPPED_IMPORTS(WINLAYER_DECLARE_REAL)

namespace winlayer::windows {

namespace {

// The window whose client area a context draws on, if it is a window's context.
HWND WindowOf(HDC dc) {
  if (!dc || GetObjectType(dc) != OBJ_DC) return nullptr;  // a memory context, a metafile, a printer
  return WindowFromDC(dc);
}

// Each window's schedule. A window seen for the first time makes the
// schedules of windows destroyed since go, so the map holds only live ones.
pacing::WindowPacing& PacingOf(HWND window) {
  static std::mutex lock;
  static std::map<HWND, std::unique_ptr<pacing::WindowPacing>> windows;
  std::lock_guard guard(lock);
  auto it = windows.find(window);
  if (it == windows.end()) {
    std::erase_if(windows, [](const auto& entry) { return !IsWindow(entry.first); });
    it = windows.emplace(window, std::make_unique<pacing::WindowPacing>()).first;
  }
  return *it->second;
}

// Each key's presses, from both witnesses.
class KeyPresses {
 public:
  // A message the window thread took.
  void Took(const MSG& message) {
    const int key = KeyPressedBy(message);
    if (key) Report(key, pacing::PressWitnesses::Witness::Message);
  }
  // A poll's view of the key: Windows' state bits.
  void Polled(int key, SHORT state) {
    const auto bits = static_cast<std::uint16_t>(state);
    const bool down = bits & pacing::kKeyDown;
    const bool wasDown = polledDown_[static_cast<std::size_t>(key)].exchange(down);
    if ((bits & pacing::kPressedSinceLastAsked) || (down && !wasDown)) Report(key, pacing::PressWitnesses::Witness::Poll);
  }

 private:
  static int KeyPressedBy(const MSG& m) {
    switch (m.message) {
      case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: return VK_LBUTTON;
      case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: return VK_RBUTTON;
      case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: return VK_MBUTTON;
      case WM_KEYDOWN: case WM_SYSKEYDOWN:
        // Bit 30: the key was down before, a repeat.
        return (m.lParam & (LPARAM{1} << 30)) ? 0 : static_cast<int>(m.wParam & 0xFF);
      default: return 0;
    }
  }
  void Report(int key, pacing::PressWitnesses::Witness who) {
    std::lock_guard guard(lock_);
    if (witnesses_[static_cast<std::size_t>(key)].Report(who, pacing::Clock::now())) pacing::Latches().Pressed(key);
  }

  std::mutex lock_;
  std::array<pacing::PressWitnesses, 256> witnesses_{};
  std::array<std::atomic<bool>, 256> polledDown_{};
};

KeyPresses& Presses() {
  static KeyPresses* const presses = new KeyPresses;  // never destroyed: the window thread outlives main
  return *presses;
}

void TookMessage(const MSG* message) {
  if (message) Presses().Took(*message);
  pacing::Input().Notify();
}

BOOL CALLBACK KeepFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  *reinterpret_cast<LPWSTR*>(found) = name;  // an ID, or a name in the module's own memory
  return FALSE;
}

// The first icon in the program's own resources, at the size asked for.
HICON ProgramIcon(int width, int height) {
  LPWSTR first = nullptr;
  EnumResourceNamesW(nullptr, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON), KeepFirstName, reinterpret_cast<LONG_PTR>(&first));
  if (!first) return nullptr;
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), first, IMAGE_ICON, width, height, LR_SHARED));
}

struct ProgramIcons {
  HICON taskbar = ProgramIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  HICON titleBar = ProgramIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
};

// The icon a class asks for, or the program's own where that is the generic one.
HICON ClassIcon(HICON asked, HICON own) {
  static const HICON generic = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  return own && (!asked || asked == generic) ? own : asked;
}

const ProgramIcons& Icons() {
  static const ProgramIcons icons;
  return icons;
}

}  // namespace

// Named outside an anonymous namespace, so that the check of the programs
// (tests/windows/check_wrapped_imports.sh) knows them by their plain names.
BOOL WINAPI WrappedBitBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int x1, int y1, DWORD rop) {
  pacing::NoteWork();
  if (HWND window = WindowOf(dest)) PacingOf(window).BeforePresent();
  return winlayer_real_BitBlt(dest, x, y, cx, cy, source, x1, y1, rop);
}

SHORT WINAPI WrappedGetAsyncKeyState(int key) {
  pacing::BeforePoll();
  const SHORT state = winlayer_real_GetAsyncKeyState(key);
  if (key < 0 || key > 255) return state;
  Presses().Polled(key, state);
  const bool held = pacing::PollLatch(key, static_cast<std::uint16_t>(state) & pacing::kKeyDown);
  return static_cast<SHORT>((static_cast<std::uint16_t>(state) & ~pacing::kKeyDown) | (held ? pacing::kKeyDown : 0));
}

BOOL WINAPI WrappedGetCursorPos(LPPOINT point) {
  pacing::BeforePoll();
  return winlayer_real_GetCursorPos(point);
}

BOOL WINAPI WrappedIsWindow(HWND window) {
  pacing::BeforePoll();
  return winlayer_real_IsWindow(window);
}

BOOL WINAPI WrappedPeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
  const BOOL found = winlayer_real_PeekMessageA(message, window, first, last, remove);
  if (!found) pacing::BeforePoll();  // an empty queue, looked at again and again, is a waiting loop
  else if (remove & PM_REMOVE) TookMessage(message);
  return found;
}

BOOL WINAPI WrappedGetMessageA(LPMSG message, HWND window, UINT first, UINT last) {
  const BOOL result = winlayer_real_GetMessageA(message, window, first, last);
  if (result > 0) TookMessage(message);
  return result;
}

LRESULT WINAPI WrappedDispatchMessageA(const MSG* message) {
  const LRESULT result = winlayer_real_DispatchMessageA(message);
  pacing::Input().Notify();  // what it handled (a close, a destroyed window) may end a wait
  return result;
}

ATOM WINAPI WrappedRegisterClassA(const WNDCLASSA* wc) {
  if (!wc) return winlayer_real_RegisterClassA(wc);
  WNDCLASSA own = *wc;
  own.hIcon = ClassIcon(wc->hIcon, Icons().taskbar);
  return winlayer_real_RegisterClassA(&own);
}

ATOM WINAPI WrappedRegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc) return winlayer_real_RegisterClassExA(wc);
  WNDCLASSEXA own = *wc;
  own.hIcon = ClassIcon(wc->hIcon, Icons().taskbar);
  own.hIconSm = ClassIcon(wc->hIconSm, Icons().titleBar);
  return winlayer_real_RegisterClassExA(&own);
}

}  // namespace winlayer::windows

// What the programs' calls reach: the pointers that --wrap puts in place of the imports'.
#define WINLAYER_DEFINE_WRAPPED(name, bytes)                                                  \
  extern "C" decltype(&::name) winlayer_wrapped_##name asm(WINLAYER_IMPORT_SYMBOL(wrap, name, bytes)); \
  decltype(&::name) winlayer_wrapped_##name = &winlayer::windows::Wrapped##name;
WINLAYER_WRAPPED_IMPORTS(WINLAYER_DEFINE_WRAPPED)
