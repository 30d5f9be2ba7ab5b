// Making, finding, placing and destroying windows.
#include "window.h"

#include <algorithm>
#include <unistd.h>

#include <cstdint>
#include <utility>

#include "../display/display.h"
#include "../gdi/bitmaps.h"
#include "../display/present.h"
#include "../kernel/handle_map.h"
#include "../rules/poll_pacing.h"
#include "input.h"
#include "message_queue.h"

namespace winlayer::user {

namespace {

struct Registry {
  HandleMap<Window> windows{0x10000, 0x100000, 2};  // even values below every graphics object's
  std::vector<HWND> zOrder;                          // top-level windows, topmost first
  int defaultPlacements = 0;
};

Registry& TheRegistry() {
  static auto* registry = new Registry;
  return *registry;
}

std::uintptr_t Key(HWND h) { return reinterpret_cast<std::uintptr_t>(h); }

// A coordinate plus an extent, held within the 32-bit range that a RECT can store.
LONG Sum(long long a, long long b) {
  return static_cast<LONG>(std::clamp<long long>(a + b, INT32_MIN, INT32_MAX));
}

// Where a window asked to be placed by default goes: cascading from the top left.
POINT DefaultPosition() {
  std::lock_guard guard(WindowsLock());
  const int step = TheRegistry().defaultPlacements++ % 8;
  return {26 + 26 * step, 26 + 26 * step};
}

std::shared_ptr<gdi::WindowSurface> MakeSurface(HWND handle, const RECT& client) {
  const int width = std::max(0, static_cast<int>(client.right - client.left));
  const int height = std::max(0, static_cast<int>(client.bottom - client.top));
  // A client area too large for a bitmap, or whose pixels can't be had, makes no window.
  if ((width > 0 || height > 0) && !gdi::AcceptableBitmapSize(std::max(width, 1), std::max(height, 1))) return nullptr;
  auto pixels = gdi::Surface::Allocate(gdi::PixelFormat::Color32, width, height);
  if (!pixels) return nullptr;
  auto bitmap = std::make_shared<gdi::Bitmap>(std::move(pixels), 32);
  bitmap->stock = true;  // the display's, not the program's to delete
  if (gdi::AddObject(bitmap) == 0) return nullptr;
  auto pacing = std::make_shared<pacing::WindowPacing>();
  return std::make_shared<gdi::WindowSurface>(handle, bitmap, pacing, display::PresentPath(handle, pacing));
}

// Takes a window out of every list; what it holds goes with it.
void Forget(const std::shared_ptr<Window>& w) {
  {
    std::lock_guard guard(WindowsLock());
    auto& z = TheRegistry().zOrder;
    z.erase(std::remove(z.begin(), z.end(), w->handle), z.end());
    if (auto parent = WindowByHandle(w->parent)) {
      auto& c = parent->children;
      c.erase(std::remove(c.begin(), c.end(), w->handle), c.end());
    }
  }
  TheRegistry().windows.Remove(Key(w->handle));
  if (w->ownDC) DeleteDC(w->ownDC);
  if (w->surface) {
    display::TheDisplay().RemoveWindow(w->handle);
    gdi::RetireObject(*w->surface->bitmap);
  }
}

HWND Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

}  // namespace

std::recursive_mutex& WindowsLock() {
  static auto* lock = new std::recursive_mutex;
  return *lock;
}

POINT ClientOriginOnScreen(const Window& w) {
  POINT origin{w.client.left, w.client.top};
  if (!w.TopLevel())
    if (auto parent = WindowByHandle(w.parent)) origin = {origin.x + parent->client.left, origin.y + parent->client.top};
  return origin;
}

std::shared_ptr<Window> WindowByHandle(HWND handle) {
  return handle ? TheRegistry().windows.Find(Key(handle)) : nullptr;
}

std::vector<std::shared_ptr<Window>> TopLevelWindows() {
  std::lock_guard guard(WindowsLock());
  std::vector<std::shared_ptr<Window>> result;
  for (HWND h : TheRegistry().zOrder)
    if (auto w = WindowByHandle(h)) result.push_back(std::move(w));
  return result;
}

std::vector<std::shared_ptr<Window>> WindowsOfThread(DWORD threadId) {
  std::vector<std::shared_ptr<Window>> result;
  TheRegistry().windows.ForEach([&](std::uintptr_t, const std::shared_ptr<Window>& w) {
    if (w->threadId == threadId) result.push_back(w);
  });
  return result;
}

void RaiseWindow(HWND handle) {
  std::lock_guard guard(WindowsLock());
  auto& z = TheRegistry().zOrder;
  auto it = std::find(z.begin(), z.end(), handle);
  if (it != z.end()) std::rotate(z.begin(), it, it + 1);
}

void Invalidate(Window& window, bool erase) {
  {
    std::lock_guard guard(WindowsLock());
    window.needsPaint = true;
    window.needsErase = window.needsErase || erase;
  }
  RequestPaint(*window.queue);
}

void EndThread() {
  const DWORD self = GetCurrentThreadId();
  for (const auto& w : WindowsOfThread(self))
    if (w->TopLevel()) DestroyWindow(w->handle);
  for (const auto& w : WindowsOfThread(self)) DestroyWindow(w->handle);
  EndQueue();
}

}  // namespace winlayer::user

using namespace winlayer;
using namespace winlayer::user;

extern "C" {

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  auto windowClass = FindClass(lpClassName);
  if (!windowClass) return Fail(1407);  // ERROR_CANNOT_FIND_WND_CLASS
  const bool child = dwStyle & WS_CHILD;
  auto parent = WindowByHandle(hWndParent);
  if (child && !parent) return Fail(1406);  // ERROR_TLW_WITH_WSCHILD
  // An overlapped top-level window always has a caption and a frame.
  if (!child && !(dwStyle & WS_POPUP)) dwStyle |= WS_CAPTION | WS_CLIPSIBLINGS;

  auto w = std::make_shared<Window>();
  w->windowClass = windowClass;
  w->proc = windowClass->proc;
  w->style = dwStyle & ~WS_VISIBLE;
  w->exStyle = dwExStyle;
  w->title = lpWindowName ? lpWindowName : "";
  w->parent = child ? hWndParent : nullptr;
  w->instance = hInstance;
  if (child)
    w->id = static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(hMenu));
  else
    w->menu = hMenu;

  if (child) {
    w->client = w->outer = {X, Y, Sum(X, nWidth), Sum(Y, nHeight)};
  } else {
    if (X == CW_USEDEFAULT) {
      const POINT p = DefaultPosition();
      X = p.x;
      Y = p.y;
    }
    if (nWidth == CW_USEDEFAULT) {
      const SIZE screen = display::TheDisplay().ScreenSize();
      nWidth = screen.cx * 3 / 4;
      nHeight = screen.cy * 3 / 4;
    }
    w->outer = {X, Y, Sum(X, nWidth), Sum(Y, nHeight)};
    const RECT f = FrameInsets(w->style, dwExStyle, hMenu != nullptr);
    const LONG left = Sum(X, f.left), top = Sum(Y, f.top);
    w->client = {left, top, std::max(left, Sum(w->outer.right, -f.right)), std::max(top, Sum(w->outer.bottom, -f.bottom))};
  }
  w->queue = CurrentQueue();
  w->threadId = w->queue->threadId;

  const std::uint32_t value = TheRegistry().windows.Add(w);
  if (value == 0) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  HWND handle = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
  w->handle = handle;

  if (!child) {
    w->surface = MakeSurface(handle, w->client);
    if (!w->surface || !display::TheDisplay().Open() || !display::TheDisplay().OpenWindow({handle, w->client, w->title, w->surface})) {
      TheRegistry().windows.Remove(value);
      if (w->surface) gdi::RetireObject(*w->surface->bitmap);
      return Fail(1400);  // ERROR_INVALID_WINDOW_HANDLE: there is nowhere to show it
    }
    std::lock_guard guard(WindowsLock());
    auto& z = TheRegistry().zOrder;
    z.insert(z.begin(), handle);
  } else {
    std::lock_guard guard(WindowsLock());
    parent->children.push_back(handle);
  }
  if ((windowClass->style & CS_OWNDC) && w->surface)
    if (auto dc = gdi::NewWindowDC(w->surface)) w->ownDC = static_cast<HDC>(gdi::ToHandle(dc->handle));

  CREATESTRUCTA create{lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth, Y, X, static_cast<LONG>(dwStyle),
                       lpWindowName, lpClassName, dwExStyle};
  const auto createParam = reinterpret_cast<LPARAM>(&create);
  if (!Send(handle, WM_NCCREATE, 0, createParam) || Send(handle, WM_CREATE, 0, createParam) == -1) {
    DestroyWindow(handle);
    return Fail(1400);
  }
  if (dwStyle & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
  return handle;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  auto w = WindowByHandle(hWnd);
  if (!w) {
    SetLastError(1400);
    return FALSE;
  }
  if (w->threadId != GetCurrentThreadId()) {
    SetLastError(5);  // ERROR_ACCESS_DENIED: only the owning thread destroys a window
    return FALSE;
  }
  std::vector<HWND> children;
  {
    std::lock_guard guard(WindowsLock());
    if (w->destroying) return TRUE;
    w->destroying = true;
    children = w->children;
  }
  ForgetWindow(hWnd);
  if (w->surface) display::TheDisplay().SetVisible(hWnd, false);
  Send(hWnd, WM_DESTROY, 0, 0);
  for (HWND c : children) DestroyWindow(c);
  Send(hWnd, WM_NCDESTROY, 0, 0);
  Forget(w);
  pacing::Input().Notify();  // a loop that naps on whether the window exists sees it gone
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
  pacing::BeforePoll();
  return WindowByHandle(hWnd) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  auto w = WindowByHandle(hWnd);
  std::lock_guard guard(WindowsLock());
  return w && w->visible;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  auto w = WindowByHandle(hWnd);
  if (!w) return FALSE;
  const bool show = nCmdShow != SW_HIDE && nCmdShow != SW_MINIMIZE;
  bool was;
  {
    std::lock_guard guard(WindowsLock());
    was = w->visible;
    w->visible = show;
    w->style = show ? (w->style | WS_VISIBLE) : (w->style & ~WS_VISIBLE);
  }
  if (was == show) return was;
  if (w->surface) display::TheDisplay().SetVisible(hWnd, show);
  if (show) {
    RaiseWindow(hWnd);
    Invalidate(*w, true);  // a window that appears paints its background first
  }
  return was;
}

HWND WINAPI GetParent(HWND hWnd) {
  auto w = WindowByHandle(hWnd);
  return w ? w->parent : nullptr;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  auto w = WindowByHandle(hWnd);
  if (!w || !lpRect) return FALSE;
  std::lock_guard guard(WindowsLock());
  *lpRect = {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  auto w = WindowByHandle(hWnd);
  if (!w || !lpPoint) return FALSE;
  std::lock_guard guard(WindowsLock());
  const POINT origin = ClientOriginOnScreen(*w);
  lpPoint->x += origin.x;
  lpPoint->y += origin.y;
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  POINT origin{0, 0};
  if (!lpPoint || !ClientToScreen(hWnd, &origin)) return FALSE;
  lpPoint->x -= origin.x;
  lpPoint->y -= origin.y;
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  auto w = WindowByHandle(hWnd);
  if (!w || !lpRect) return FALSE;
  std::lock_guard guard(WindowsLock());
  *lpRect = w->outer;
  if (auto parent = WindowByHandle(w->parent)) {
    const POINT origin = ClientOriginOnScreen(*parent);
    *lpRect = {lpRect->left + origin.x, lpRect->top + origin.y, lpRect->right + origin.x, lpRect->bottom + origin.y};
  }
  return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  return Send(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!lpString || nMaxCount <= 0) return 0;
  return static_cast<int>(Send(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  auto w = WindowByHandle(hWnd);
  if (!w) return 0;
  std::lock_guard guard(WindowsLock());
  switch (nIndex) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    default: return 0;
  }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  auto w = WindowByHandle(hWnd);
  if (!w) return 0;
  std::lock_guard guard(WindowsLock());
  LONG_PTR old = 0;
  switch (nIndex) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
      break;
    case GWLP_ID: old = std::exchange(w->id, dwNewLong); break;
    case GWLP_USERDATA: old = std::exchange(w->userData, dwNewLong); break;
    default: break;
  }
  return old;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
  auto w = WindowByHandle(hWnd);
  if (!w) return 0;
  if (lpdwProcessId) *lpdwProcessId = static_cast<DWORD>(getpid());
  return w->threadId;
}

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  auto wanted = lpClassName ? FindClass(lpClassName) : nullptr;
  if (lpClassName && !wanted) return nullptr;
  std::lock_guard guard(WindowsLock());
  for (const auto& w : TopLevelWindows())
    if ((!wanted || w->windowClass == wanted) && (!lpWindowName || w->title == lpWindowName)) return w->handle;
  return nullptr;
}

}  // extern "C"
