// Windows and window classes as the window manager keeps them.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../gdi/objects.h"

namespace winlayer::user {

struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HBRUSH background = nullptr;  // a brush, or a system colour index plus one
  HCURSOR cursor = nullptr;
  HICON icon = nullptr;
  bool builtIn = false;         // "Button" and "Edit"
};

struct ThreadQueue;

// A window. The fields that change after creation are guarded by WindowsLock().
struct Window {
  HWND handle = nullptr;
  std::shared_ptr<const WindowClass> windowClass;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string title;
  HWND parent = nullptr;
  LONG_PTR id = 0;  // a child's command identifier
  HMENU menu = nullptr;
  HINSTANCE instance = nullptr;
  LONG_PTR userData = 0;
  RECT outer{};   // screen pixels, frame included
  RECT client{};  // screen pixels (a child: its parent's client pixels)
  bool visible = false;
  bool shownBefore = false;
  bool needsPaint = false;
  bool needsErase = false;
  bool destroying = false;
  DWORD threadId = 0;
  std::shared_ptr<ThreadQueue> queue;
  std::shared_ptr<gdi::WindowSurface> surface;  // top-level windows only
  HDC ownDC = nullptr;                          // classes with CS_OWNDC
  std::vector<HWND> children;
  HFONT font = nullptr;      // controls
  bool pressed = false;      // a button held down by the left mouse button

  bool TopLevel() const { return (style & WS_CHILD) == 0; }
};

std::recursive_mutex& WindowsLock();

// The window a handle names, or null (Windows' FindWindow finds by class and title: FindWindowA).
std::shared_ptr<Window> WindowByHandle(HWND handle);
// Where a window's client area starts on the screen (a child's client area
// lies in its parent's). The caller holds WindowsLock().
POINT ClientOriginOnScreen(const Window& w);
// Top-level windows, the topmost first.
std::vector<std::shared_ptr<Window>> TopLevelWindows();
// The windows a thread made, children included.
std::vector<std::shared_ptr<Window>> WindowsOfThread(DWORD threadId);
// Brings a top-level window to the top of the others.
void RaiseWindow(HWND handle);

// A class by name (any case) or by the atom its registration returned.
std::shared_ptr<const WindowClass> FindClass(const char* name);

// The frame a window of this style has around its client area: left, top, right, bottom.
RECT FrameInsets(DWORD style, DWORD exStyle, bool hasMenu);

// Marks the whole client area for repainting and wakes the owner's message loop.
void Invalidate(Window& window, bool erase);

// Destroys every window of the calling thread and ends its message queue;
// done when a thread ends.
void EndThread();

}  // namespace winlayer::user
