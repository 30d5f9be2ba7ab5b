// What the window manager asks of a display. Two displays implement it: the
// SDL display, which shows windows on a real screen, and the headless one,
// which keeps them in memory for tests. A program gets the one it is linked
// with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace winlayer::display {

struct WindowPlacement {
  HWND window;
  RECT client;  // the client area in screen pixels
  std::string title;
};

class Display {
 public:
  virtual ~Display() = default;

  // Opens the display on first use. False when there is none; the reason has
  // then been written to standard error once.
  virtual bool Open() = 0;
  virtual SIZE ScreenSize() = 0;

  virtual bool CreateWindow(const WindowPlacement& placement) = 0;
  virtual void DestroyWindow(HWND window) = 0;
  virtual void ShowWindow(HWND window, bool visible) = 0;
  virtual void SetTitle(HWND window, const std::string& title) = 0;
  // On the drawing thread, with no lock held, after pixels of the window's client area changed.
  virtual void WindowDrawn(HWND window) = 0;
  // The window that now captures the mouse, or null.
  virtual void CaptureChanged(HWND window) = 0;
  // How many times WindowDrawn has been called.
  virtual std::uint64_t Presents() const = 0;
  // Modal for the calling thread; the button chosen (IDOK, IDCANCEL, ...).
  virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// The display this program is linked with.
Display& TheDisplay();

}  // namespace winlayer::display
