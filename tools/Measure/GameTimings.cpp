// Plays through the game's screens on the display it is linked with, as a
// player would, and prints for each: frames per second, the process's
// processor use and each thread's, and the wall time of the animations that
// are counted in frames (a camera flight, a missile shot, a radar sweep).
// The mouse is moved and clicked with xdotool, through the X server, so run
// it on an X display (scripts/measure.sh starts Xvfb) from the folder that
// holds the game's Media pictures.
//
//   GameTimings [seconds per screen]
#include <pthread.h>
#include <unistd.h>
#include <winlayer/display.h>

#include <atomic>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "BrannowayLib.h"
#include "OperationBrannoway.h"
#include "match.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace OperationBrannoway;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string ThreadName(const std::string& tid) {
  std::ifstream comm("/proc/self/task/" + tid + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

// Processor time of every thread of this process, in seconds (the scheduler's nanosecond count).
std::map<std::string, double> ThreadTimes() {
  std::map<std::string, double> times;
  DIR* tasks = opendir("/proc/self/task");
  if (!tasks) return times;
  while (dirent* e = readdir(tasks)) {
    if (e->d_name[0] == '.') continue;
    std::ifstream stat(std::string("/proc/self/task/") + e->d_name + "/schedstat");
    double ns = 0;
    if (stat >> ns) times[e->d_name] = ns / 1e9;
  }
  closedir(tasks);
  return times;
}

struct Sample {
  Clock::time_point at;
  std::uint64_t presents;
  std::map<std::string, double> threads;
};

Sample Take() { return {Clock::now(), winlayer::PresentCount(), ThreadTimes()}; }

std::string measuringThread;  // this tool's own thread, left out of the program's figures

std::string Label(const std::string& tid) {
  if (tid == std::to_string(getpid())) return "main";
  const std::string name = ThreadName(tid);
  return name == "GameTimings" ? "thread " + tid : name;  // the window thread has no name of its own
}

void Report(const char* screen, const Sample& a, const Sample& b) {
  const double wall = Seconds(b.at - a.at);
  double total = 0;
  std::string perThread;
  for (const auto& [tid, t] : b.threads) {
    if (tid == measuringThread) continue;
    const auto before = a.threads.find(tid);
    const double used = t - (before == a.threads.end() ? 0 : before->second);
    total += used;
    char part[96];
    std::snprintf(part, sizeof part, "  %s %.1f%%", Label(tid).c_str(), 100 * used / wall);
    perThread += part;
  }
  std::printf("%-14s %7.0f frames/s  %5.1f%% of a core:%s  (%.1f s)\n", screen,
              static_cast<double>(b.presents - a.presents) / wall, 100 * total / wall, perThread.c_str(), wall);
  std::fflush(stdout);
}

// ---- the mouse, through the X server -------------------------------------------------

HWND Window() { return FindWindowA(nullptr, "OperationBrannoway"); }

void Xdotool(const std::string& arguments) {
  const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "GameTimings: xdotool %s failed\n", arguments.c_str());
}

void MoveTo(int x, int y) {
  POINT p{x, y};
  ClientToScreen(Window(), &p);
  Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
}

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

void Click(int button = 1) {
  Xdotool("mousedown " + std::to_string(button));
  Sleep(0.05);
  Xdotool("mouseup " + std::to_string(button));
}

// Reports a screen that has been running for half a second, over the next `seconds`.
void Watch(const char* screen, double seconds) {
  Sleep(0.5);
  const Sample a = Take();
  Sleep(seconds);
  Report(screen, a, Take());
}

// Runs `screen` here while `script` measures and plays it from a thread of its own.
void Measure(const std::function<void()>& screen, const std::function<void()>& script) {
  std::thread player([&] {
    pthread_setname_np(pthread_self(), "measuring");
    measuringThread = std::to_string(gettid());
    script();
  });
  screen();
  player.join();
}

// Times an animation that ends by itself: its frames, their wall time, and the processor use.
void Timed(const char* name, const std::function<void()>& animation) {
  const Sample a = Take();
  animation();
  const Sample b = Take();
  Report(name, a, b);
  std::printf("  %s: %llu frames in %.3f s\n", name, static_cast<unsigned long long>(b.presents - a.presents),
              Seconds(b.at - a.at));
}

constexpr POINT kFronts[4] = {{1, 4}, {3, 3}, {5, 2}, {7, 1}};  // the fleet upright in columns 1, 3, 5, 7

// Where the fronts of the fleet appear on each player's own field, seen from his side.
struct FleetPixels {
  POINT at[3][4];  // [player]
};

FleetPixels Layout(Match& m) {
  const float angle = m.CamAngle, height = m.CamHeight;
  FleetPixels p{};
  for (std::uint32_t player = 1; player <= 2; ++player) {
    m.CamAngle = player == 1 ? kHalfTurn : kFullTurn;
    m.CamHeight = 30.0f;
    m.PlaceCamera();
    for (int k = 0; k < 4; ++k) {
      BrannowayProcs::tVertex v{};
      v.pos = BrannowayProcs::VindVeld3DPositie(m.Veld[player], kFronts[k].x, kFronts[k].y);
      Brannoway3D::RenderToCamera(v);
      p.at[player][k] = {v.scr.x, v.scr.y};
    }
  }
  m.CamAngle = angle;
  m.CamHeight = height;
  m.PlaceCamera();
  return p;
}

void PlaceFleet(const FleetPixels& px, std::uint32_t player) {
  for (const POINT& at : px.at[player]) {
    MoveTo(at.x, at.y);
    Sleep(0.2);
    Click();
    Sleep(0.2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  Start();
  if (!BrannowayLib::VensterBestaat()) return 1;
  std::printf("screen         frames per second, processor use (process, then each thread)\n");

  MoveTo(20, 20);
  Measure([] { Menu(); }, [&] {
    Watch("menu", seconds);
    MoveTo(590, 440);  // EXIT
    Sleep(0.1);
    Click();
  });

  MoveTo(20, 20);
  Measure([] { Instructions(); }, [&] {
    Watch("instructions", seconds);
    Click();
  });

  Match m(PlayerVsPlayer);
  if (!m.Prepare()) return 1;
  const FleetPixels px = Layout(m);
  Timed("flight", [&] { m.DraaiCameraNaar(1, 3); });

  Measure([&] { m.KiesSchepen(1, false); }, [&] {
    MoveTo(100, 300);
    Watch("placement", seconds);
    PlaceFleet(px, 1);
  });
  m.KiesSchepen(2, true);

  const POINT one[1] = {{14, 9}};
  const POINT block[4] = {{13, 8}, {14, 8}, {13, 9}, {14, 9}};
  Timed("missile shot", [&] { m.SchietOpDoelwit(1, 2, 1, one, true); });
  Timed("radar sweep", [&] { m.SchietOpDoelwit(1, 2, 2, block, true); });
  const std::uint32_t otherSide = std::abs(m.CamAngle - kHalfTurn) < 0.1f ? 2 : 1;  // the shots may have moved it
  Timed("flight", [&] { m.DraaiCameraNaar(otherSide, otherSide); });
  m.Finish();

  // The hand-over screen, inside a whole match: the computer is not asked to
  // place here, so both fleets are placed through the mouse, then the window closes.
  Match whole(PlayerVsPlayer);
  Measure([&] { whole.Play(); }, [&] {
    for (std::uint32_t p = 1; p <= 2; ++p) {
      Sleep(2.0);  // the flight to the player's side
      PlaceFleet(px, p);
    }
    Watch("hand-over", seconds);
    PostMessageA(Window(), WM_CLOSE, 0, 0);
  });
  return 0;
}
