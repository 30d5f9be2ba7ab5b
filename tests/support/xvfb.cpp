#include "xvfb.h"

#include <gtest/gtest.h>  // before Xlib, whose macros (None, Bool) clash with it
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace testing_support {

namespace {

bool Exists(const std::string& path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0;
}

}  // namespace

Xvfb::Xvfb() {
  const char* binary = "/usr/bin/Xvfb";
  if (!Exists(binary)) {
    why_ = "Xvfb is not installed";
    return;
  }
  // The server picks a free display number itself and tells it through a pipe,
  // so test processes started together never race for one.
  int tell[2];
  if (pipe(tell) != 0) {
    why_ = "no pipe for Xvfb";
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server ends with this process, after its last X request
    close(tell[0]);
    if (!freopen("/dev/null", "w", stderr)) _exit(127);
    const std::string fd = std::to_string(tell[1]);
    const char* screen = std::getenv("TEST_XVFB_SCREEN");
    // -noreset: by default the server resets when its last client leaves, and a
    // program connecting in that moment (while a test's xdotool has just left) is refused.
    execl(binary, "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen && *screen ? screen : "1280x800x24", "-nolisten", "tcp",
          "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(tell[1]);
  std::string number;
  char c;
  while (pid_ > 0 && read(tell[0], &c, 1) == 1 && c != '\n') number += c;
  close(tell[0]);
  int status = 0;
  if (pid_ < 0 || number.empty() || waitpid(pid_, &status, WNOHANG) != 0) {
    why_ = "Xvfb did not start";
    if (pid_ > 0) kill(pid_, SIGKILL);
    pid_ = -1;
    return;
  }
  display_ = ":" + number;
  setenv("DISPLAY", display_.c_str(), 1);
}

Xvfb::~Xvfb() = default;

std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  std::array<char, 256> buffer;
  while (fgets(buffer.data(), buffer.size(), p)) out += buffer.data();
  pclose(p);
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

bool SendCloseRequest(const std::string& title) {
  const std::string id = RunCommand("xdotool search --name '^" + title + "$' | head -n 1");
  if (id.empty()) return false;
  Display* x = XOpenDisplay(nullptr);
  if (!x) return false;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = static_cast<Window>(std::stoul(id));
  e.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(x, e.xclient.window, False, NoEventMask, &e);
  XFlush(x);
  XCloseDisplay(x);
  return true;
}

bool DestroyFromOutside(const std::string& title) {
  const std::string id = RunCommand("xdotool search --name '^" + title + "$' | head -n 1");
  if (id.empty()) return false;
  Display* x = XOpenDisplay(nullptr);
  if (!x) return false;
  XDestroyWindow(x, static_cast<Window>(std::stoul(id)));
  XSync(x, False);
  XCloseDisplay(x);
  return true;
}

ScreenShot TakeScreenShot() {
  const std::string path = "/tmp/brannoway-screen-" + std::to_string(getpid()) + ".xwd";
  RunCommand("xwd -root -silent > " + path);
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::remove(path.c_str());
  ScreenShot shot;
  auto field = [&](int i) {
    const std::size_t at = static_cast<std::size_t>(i) * 4;
    return static_cast<std::uint32_t>(d[at] << 24 | d[at + 1] << 16 | d[at + 2] << 8 | d[at + 3]);
  };
  if (d.size() < 100) return shot;
  const std::uint32_t headerSize = field(0), width = field(4), height = field(5), byteOrder = field(7);
  const std::uint32_t bitsPerPixel = field(11), bytesPerLine = field(12), colours = field(19);
  const std::size_t start = headerSize + colours * 12;
  const std::uint32_t bytesPerPixel = bitsPerPixel / 8;  // Xvfb packs depth 24 into 3 bytes
  if ((bytesPerPixel != 3 && bytesPerPixel != 4) || d.size() < start + static_cast<std::size_t>(bytesPerLine) * height) return shot;
  shot.width = static_cast<int>(width);
  shot.height = static_cast<int>(height);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x) {
      const unsigned char* p = &d[start + y * bytesPerLine + x * bytesPerPixel];
      shot.pixels.push_back(byteOrder == 0 ? (p[2] << 16 | p[1] << 8 | p[0]) : (bytesPerPixel == 4 ? (p[1] << 16 | p[2] << 8 | p[3]) : (p[0] << 16 | p[1] << 8 | p[2])));
    }
  return shot;
}

std::vector<Icon> WindowIcons(const std::string& title) {
  std::vector<Icon> icons;
  const std::string id = RunCommand("xdotool search --name '^" + title + "$' | head -n 1");
  if (id.empty()) return icons;
  Display* x = XOpenDisplay(nullptr);
  if (!x) return icons;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* data = nullptr;
  const Atom property = XInternAtom(x, "_NET_WM_ICON", False);
  if (XGetWindowProperty(x, static_cast<Window>(std::stoul(id)), property, 0, 1 << 24, False, AnyPropertyType, &type,
                         &format, &count, &left, &data) == Success && data && format == 32) {
    // Xlib hands 32-bit items over as longs.
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    for (unsigned long at = 0; at + 2 <= count;) {
      Icon icon{static_cast<int>(items[at]), static_cast<int>(items[at + 1]), {}};
      const unsigned long size = static_cast<unsigned long>(icon.width) * static_cast<unsigned long>(icon.height);
      if (icon.width <= 0 || icon.height <= 0 || at + 2 + size > count) break;
      for (unsigned long i = 0; i < size; ++i) icon.pixels.push_back(static_cast<std::uint32_t>(items[at + 2 + i]));
      icons.push_back(std::move(icon));
      at += 2 + size;
    }
  }
  if (data) XFree(data);
  XCloseDisplay(x);
  return icons;
}

bool WindowExists(const std::string& titlePattern) {
  return !RunCommand("xdotool search --name '" + titlePattern + "' | head -n 1").empty();
}

bool ShownArea(const std::string& title, RECT& area) {
  const std::string id = RunCommand("xdotool search --name '^" + title + "$' | head -n 1");
  if (id.empty()) return false;
  Display* x = XOpenDisplay(nullptr);
  if (!x) return false;
  XWindowAttributes attributes{};
  int left = 0, top = 0;
  Window child;
  const Window window = static_cast<Window>(std::stoul(id));
  const bool found = XGetWindowAttributes(x, window, &attributes) &&
                     XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &left, &top, &child);
  XCloseDisplay(x);
  area = {left, top, left + attributes.width, top + attributes.height};
  return found;
}

namespace {

Xvfb* testServer = nullptr;

class XvfbEnvironment : public testing::Environment {
 public:
  void SetUp() override { testServer = new Xvfb; }
  void TearDown() override {
    delete testServer;
    testServer = nullptr;
  }
};

[[maybe_unused]] const auto* const environment = testing::AddGlobalTestEnvironment(new XvfbEnvironment);

}  // namespace

const Xvfb& TestServer() { return *testServer; }

}  // namespace testing_support
