// A private X server for tests of the real display: Xvfb on a free display
// number, started before the tests and ended with the test process. Its
// screen is 1280 x 800 unless TEST_XVFB_SCREEN names another (e.g. 2560x1440x24).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

class Xvfb {
 public:
  Xvfb();   // starts the server and points DISPLAY at it; see Running()
  ~Xvfb();  // the server goes when the process does: SDL's connection must not lose it first
  bool Running() const { return pid_ > 0; }
  const std::string& Why() const { return why_; }  // why it is not running
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::string why_;
};

// The test program's own server: started before its first test (every
// program that compiles xvfb.cpp gets one) and ended after its last.
const Xvfb& TestServer();

// Runs a shell command with DISPLAY set; its standard output, trimmed.
std::string RunCommand(const std::string& command);

// Sends the window manager's close request (WM_DELETE_WINDOW), as a close box
// does, to the window with this title; false if there is no such window.
bool SendCloseRequest(const std::string& title);

// Destroys the window with this title from another X client, as xdotool or a
// window manager may; false if there is no such window.
bool DestroyFromOutside(const std::string& title);

// The X server's screen, read with xwd.
struct ScreenShot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
  COLORREF At(int x, int y) const {
    const std::uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
};
ScreenShot TakeScreenShot();

// The icons that the window with this title gives the window manager
// (_NET_WM_ICON), largest first as the program's toolkit ordered them;
// none if there is no such window or it gives none.
struct Icon {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, not premultiplied
};
std::vector<Icon> WindowIcons(const std::string& title);

// Whether a window whose title matches this extended regular expression exists.
bool WindowExists(const std::string& titlePattern);

// Where the window with this title shows its client area on the X server's
// screen; false if there is no such window.
bool ShownArea(const std::string& title, RECT& area);

}  // namespace testing_support
