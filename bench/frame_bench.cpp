// The game's real frames, one per iteration, drawn by its own procedures on
// the headless display, unpaced: each screen's time from one present to the
// next, and its ratio to the floor of a frame, clearing a 640 x 480 frame
// (memset) and copying it once (memcpy), measured in the same run. Each
// screen also runs deferred (Deferred/<screen>): 400 frames recorded, 60
// shown, with its ratio to the eager frames ("x eager").
//
// Run it anywhere: it works in the folder that holds the game's pictures.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <winlayer/headless.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "BrannowayLib.h"
#include "Test.h"
#include "staged_match.h"

namespace {

using namespace OperationBrannoway;
namespace headless = winlayer::headless;

constexpr std::size_t kFrameBytes = 640 * 480 * 4;

// memset of a frame plus one memcpy of it, in nanoseconds: the median of many.
double FloorNanoseconds() {
  static const double floor = [] {
    std::vector<std::uint8_t> frame(kFrameBytes), copy(kFrameBytes);
    std::vector<double> times;
    for (int i = 0; i < 501; ++i) {
      const auto start = std::chrono::steady_clock::now();
      std::memset(frame.data(), i & 0xFF, kFrameBytes);
      std::memcpy(copy.data(), frame.data(), kFrameBytes);
      benchmark::DoNotOptimize(copy.data());
      benchmark::ClobberMemory();
      times.push_back(std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + 250, times.end());
    return times[250];
  }();
  return floor;
}

void Floor(benchmark::State& state) {
  std::vector<std::uint8_t> frame(kFrameBytes), copy(kFrameBytes);
  int value = 0;
  for (auto _ : state) {
    std::memset(frame.data(), ++value & 0xFF, kFrameBytes);
    std::memcpy(copy.data(), frame.data(), kFrameBytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.counters["x floor"] = 1.0;
  state.counters["floor us"] = FloorNanoseconds() / 1000;
}
BENCHMARK(Floor)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The deferred cases: the back buffer records its drawing, and the screen
// shows 60 of every 400 frames, as at 400 frames a second on a 60 Hz screen:
// before each present the refresh is planned so that exactly the last frame
// before each refresh is shown.
bool deferredCase = false;
constexpr int kFramesPerSecond = 400, kRefreshesPerSecond = 60;

void PlanRefreshBefore(int frame) {
  const bool shown = frame * kRefreshesPerSecond / kFramesPerSecond != (frame + 1) * kRefreshesPerSecond / kFramesPerSecond;
  const auto now = std::chrono::steady_clock::now();
  headless::PlanRefresh(shown ? now - std::chrono::seconds(1) : now + std::chrono::hours(1));
}

// The screen being timed, and each screen's eager time per frame, for the deferred case's ratio.
const char* currentScreen = "";
std::map<std::string, double>& EagerNanoseconds() {
  static std::map<std::string, double> times;
  return times;
}

// Times the frames of a screen: `scene` runs one of the game's loops, which
// draws and presents frames until the window closes or the screen ends by
// itself (then it runs again). Each iteration is the time from one present
// to the next; `skip` presents come first, untimed. `eachFrame` runs after
// each present, untimed in spirit (it only moves or clicks the mouse).
void TimeFrames(benchmark::State& state, int skip, POINT mouse, const std::function<void()>& scene,
                const std::function<void()>& eachFrame = [] {}) {
  HWND window = headless::FindWindowByTitle("OperationBrannoway");
  int frame = 0;
  bool done = false;
  std::chrono::steady_clock::time_point first{}, last{};
  if (deferredCase) PlanRefreshBefore(0);
  const int id = headless::AddPresentCallback([&](HWND w) {
    if (w != window || done) return;
    if (deferredCase) PlanRefreshBefore(frame + 1);
    if (++frame == 1) headless::MoveCursorToClient(window, mouse.x, mouse.y);
    if (frame <= skip) return;
    last = std::chrono::steady_clock::now();
    if (first == std::chrono::steady_clock::time_point{}) first = last;
    if (!state.KeepRunning()) {
      done = true;
      headless::ClickCloseBox(window);
      return;
    }
    eachFrame();
  });
  while (!done && BrannowayLib::VensterBestaat()) scene();
  headless::RemovePresentCallback(id);
  if (state.iterations() == 0) return;
  const double perFrame =
      std::chrono::duration<double, std::nano>(last - first).count() / static_cast<double>(state.iterations());
  state.counters["x floor"] = perFrame / FloorNanoseconds();
  const std::string screen = currentScreen;
  if (!deferredCase) {
    EagerNanoseconds()[screen] = perFrame;
  } else if (auto eager = EagerNanoseconds().find(screen); eager != EagerNanoseconds().end()) {
    state.counters["x eager"] = perFrame / eager->second;
  }
}

// A screen's frames recorded, 60 of each 400 shown (see PlanRefreshBefore).
void Deferred(benchmark::State& state, void (*screen)(benchmark::State&)) {
  deferredCase = true;
  headless::DeferDrawing(true);
  screen(state);
  headless::DeferDrawing(false);
  deferredCase = false;
  headless::PlanRefresh(std::chrono::steady_clock::now() - std::chrono::seconds(1));
}

void Menu(benchmark::State& state) {
  currentScreen = "Menu";
  Start();
  TimeFrames(state, 1, {320, 316}, [] { OperationBrannoway::Menu(); });  // over "Player vs Player"
}
BENCHMARK(Menu)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Deferred, Menu, Menu)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The instructions screen draws once and waits for a click: an iteration is
// the whole screen, its picture loaded, drawn and presented, closed by a click.
void Instructions(benchmark::State& state) {
  Start();
  TimeFrames(state, 0, {320, 240}, [] { OperationBrannoway::Instructions(); }, [] { headless::Click(VK_LBUTTON); });
}
BENCHMARK(Instructions)->Unit(benchmark::kMicrosecond)->UseRealTime();

void Placement(benchmark::State& state) {
  currentScreen = "Placement";
  StagedMatch s(1, StagedMatch::kNoFleets);
  const POINT square = s.Pixel(1, 7, 6);
  TimeFrames(state, 1, square, [&] { s.m.KiesSchepen(1, false); });  // a ship of 5 under the mouse
}
BENCHMARK(Placement)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Deferred, Placement, Placement)->Unit(benchmark::kMicrosecond)->UseRealTime();

void CameraFlight(benchmark::State& state) {
  currentScreen = "CameraFlight";
  StagedMatch s(2);
  std::uint32_t to = 1;
  TimeFrames(state, 0, {600, 470}, [&] {
    s.m.DraaiCameraNaar(to, 3);  // both fleets hidden, as before placement
    to = Opponent(to);
  });
}
BENCHMARK(CameraFlight)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Deferred, CameraFlight, CameraFlight)->Unit(benchmark::kMicrosecond)->UseRealTime();

void MissileShot(benchmark::State& state) {
  currentScreen = "MissileShot";
  StagedMatch s(1);
  const POINT target[5] = {{4, 7}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
  TimeFrames(state, 0, {600, 470}, [&] {
    (*s.m.Veld[1].Info)[4][7] = BrannowayProcs::Vrij;
    s.m.Schepen[1][2].Leven = 3;
    s.m.SchietOpDoelwit(2, 1, 1, target, false);
  });
}
BENCHMARK(MissileShot)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Deferred, MissileShot, MissileShot)->Unit(benchmark::kMicrosecond)->UseRealTime();

void Radar(benchmark::State& state) {
  currentScreen = "Radar";
  StagedMatch s(1);
  const POINT block[5] = {{9, 8}, {10, 8}, {9, 9}, {10, 9}, {0, 0}};
  TimeFrames(state, 0, {600, 470}, [&] { s.m.SchietOpDoelwit(2, 1, 2, block, false); });
}
BENCHMARK(Radar)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Deferred, Radar, Radar)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The hand-over screen of a match whose fleets the computer placed: its
// first present comes after both placements and their flights.
void HandOver(benchmark::State& state) {
  currentScreen = "HandOver";
  Start();
  TimeFrames(state, 1010, {600, 470}, [] { Spel(PlayerVsCPU); });
}
BENCHMARK(HandOver)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Deferred, HandOver, HandOver)->Unit(benchmark::kMicrosecond)->UseRealTime();

void Win(benchmark::State& state) {
  currentScreen = "Win";
  StagedMatch s(1);
  s.SinkFleet(2);
  s.m.cSpeler = 1;
  TimeFrames(state, 0, {600, 470}, [&] { s.m.WinScreen(); });
}
BENCHMARK(Win)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Deferred, Win, Win)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Test as it runs: 10000 triangles through each toolkit, each presented.
// It prints its own two times (Wimdows, then BrannowayLib) as it goes.
void TestProgram(benchmark::State& state) {
  for (auto _ : state) Test::Run();
}
BENCHMARK(TestProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Test's floor: 10000 full copies of the client area of its BrannowayLib window.
void TenThousandFullCopies(benchmark::State& state) {
  BrannowayLib::Venster(50, 50, 800, 600, BrannowayLib::TitleFrom("Titel"));
  RECT client{};
  GetClientRect(headless::FindWindowByTitle("Titel"), &client);
  const std::size_t bytes = static_cast<std::size_t>(client.right) * static_cast<std::size_t>(client.bottom) * 4;
  std::vector<std::uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state)
    for (int i = 0; i < 10000; ++i) {
      std::memcpy(to.data(), from.data(), bytes);
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
    }
  headless::ClickCloseBox(headless::FindWindowByTitle("Titel"));
  state.counters["client pixels"] = static_cast<double>(bytes / 4);
}
BENCHMARK(TenThousandFullCopies)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  setenv("WINLAYER_FRAME_RATE", "0", 1);  // as fast as they come
  if (chdir(GAME_FOLDER) != 0) return 2;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
