// How soon a waiting loop sees a click: a loop on a thread of its own polls the
// left button as the game's waiting screens do (napping once it has waited a
// while), and each iteration clicks and times until the loop has seen it. The
// reference is the same loop spinning without naps.
#include <benchmark/benchmark.h>
#include <winlayer/headless.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

namespace headless = winlayer::headless;
using Clock = std::chrono::steady_clock;

// `napping`: the loop polls through GetAsyncKeyState, which naps; otherwise it
// spins on a flag that the click sets, the floor of handing an event over.
void ClickToPoll(benchmark::State& state, bool napping) {
  std::atomic<bool> stop{false}, clicked{false};
  std::atomic<Clock::rep> seenAt{0};
  std::thread waiting([&] {
    while (!stop) {
      const bool held = napping ? GetAsyncKeyState(VK_LBUTTON) < -1 : clicked.exchange(false);
      if (held && seenAt.load() == 0) seenAt = Clock::now().time_since_epoch().count();
    }
  });
  for (auto _ : state) {
    std::this_thread::sleep_for(std::chrono::milliseconds(120));  // the loop naps its longest, the last click is read
    seenAt = 0;
    const auto start = Clock::now();
    if (napping) headless::Click(VK_LBUTTON);
    else clicked = true;
    while (seenAt.load() == 0) {
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::time_point(Clock::duration(seenAt.load())) - start).count());
  }
  stop = true;
  waiting.join();
}

void BM_SpinningLoopSeesAFlag(benchmark::State& state) { ClickToPoll(state, false); }
void BM_NappingLoopSeesAClick(benchmark::State& state) { ClickToPoll(state, true); }

BENCHMARK(BM_SpinningLoopSeesAFlag)->UseManualTime()->Iterations(40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NappingLoopSeesAClick)->UseManualTime()->Iterations(40)->Unit(benchmark::kMicrosecond);

}  // namespace
