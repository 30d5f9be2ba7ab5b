#include "xvfb.h"

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
  int number = 90;
  while (number < 200 && (Exists("/tmp/.X11-unix/X" + std::to_string(number)) || Exists("/tmp/.X" + std::to_string(number) + "-lock")))
    ++number;
  display_ = ":" + std::to_string(number);
  pid_ = fork();
  if (pid_ == 0) {
    // The server ends with this process, after its last X request, never before.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (!freopen("/dev/null", "w", stderr)) _exit(127);
    execl(binary, "Xvfb", display_.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
  for (int i = 0; i < 100 && !Exists(socket); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  int status = 0;
  if (pid_ < 0 || !Exists(socket) || waitpid(pid_, &status, WNOHANG) != 0) {
    why_ = "Xvfb did not start on " + display_;
    if (pid_ > 0) kill(pid_, SIGKILL);
    pid_ = -1;
    return;
  }
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

}  // namespace testing_support
