// What the window manager asks of a display, and what a display may call.
//
// Three displays implement it: the SDL display, which shows windows on a real
// screen; the web display, which shows them as canvases in a browser's page;
// and the headless one, which keeps them in memory for tests. A program gets
// the one it is linked with (winlayer_display in CMake); each defines
// TheDisplay().
//
// Threads. The window manager calls a display from any thread that makes,
// shows or destroys a window, and from the drawing thread for presents; a
// display serialises what it needs itself. Events go up from whatever thread
// the display reads them on, through the entry points of user/input.h only;
// a display includes nothing else of the window manager.
//
// A present is one drawing call that changed pixels of a window's client
// area. The layer's core counts it and paces it (the frame limiter) before
// the display hears of it through Presented; the display then shows the
// window's surface when it can (the surface's changedSinceShown tells what
// changed since it last did).
//
// Adding a display: implement this class in display/<name>/, define
// TheDisplay() there, and add it to platform/CMakeLists.txt with
// add_winlayer(winlayer_<name> display/<name>/<name>_display.cpp), giving the
// library as INTERFACE whatever a program linked with it needs (the web
// display's page and script); accept <name> in winlayer_display
// (cmake/WinLayerDisplay.cmake), where a program chooses it with
// winlayer_display(<program> <name>).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "../gdi/objects.h"

namespace winlayer::display {

struct WindowPlacement {
  HWND window;
  RECT client;  // the client area in screen pixels
  std::string title;
  // The client area's pixels, drawn by the programs. Read them with the
  // surface's lock held, so a drawing call is never seen half done.
  std::shared_ptr<gdi::WindowSurface> surface;
};

class Display {
 public:
  virtual ~Display() = default;

  // Opens the display on first use; any thread; may block while it starts.
  // False when there is none; the reason has then been written to standard
  // error once.
  virtual bool Open() = 0;
  // The screen in pixels; any thread, after Open.
  virtual SIZE ScreenSize() = 0;
  // The screen's refreshes per second; any thread, after Open.
  virtual int RefreshRate() = 0;
  // Whether a program's own default frame rate applies (a screen a person
  // watches); otherwise presents are paced only when the user asks for it.
  virtual bool PacesByDefault() const = 0;

  // A top-level window is made (hidden); false when it can't be shown. Called
  // on the window's thread, which blocks until the display has made it.
  virtual bool OpenWindow(const WindowPlacement& placement) = 0;
  // The window goes; after the call the display no longer touches its surface.
  // Called on the window's thread; blocks until done.
  virtual void RemoveWindow(HWND window) = 0;
  // Shown or hidden, and the caption; any thread; need not block.
  virtual void SetVisible(HWND window, bool visible) = 0;
  virtual void SetTitle(HWND window, const std::string& title) = 0;
  // The window that now captures the mouse, or null; any thread; need not block.
  virtual void CaptureChanged(HWND window) = 0;

  // A present of the window, counted and paced: its surface holds a new
  // frame. Called on the drawing thread with no lock held; must not block
  // for long, since the program's frame loop waits for it.
  virtual void Presented(HWND window) = 0;
  // A present held back from the screen: the next frame comes before the
  // screen's next refresh (gdi/window_surface.h). Paced and counted; the
  // window's pixels are unchanged. Same thread and rules as Presented.
  virtual void HeldBack(HWND) {}

  // Modal for the calling thread, which blocks until it is answered; the
  // button chosen (IDOK, IDCANCEL, ...).
  virtual int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// The display this program is linked with.
Display& TheDisplay();

}  // namespace winlayer::display
