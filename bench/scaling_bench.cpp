// The SDL display's enlarged copy of a 640 x 480 frame beside a plain memcpy
// of as many bytes as the enlarged frame holds: the floor for writing it once.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "../platform/display/sdl/scaling.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

void EnlargeFrame(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<std::uint32_t> frame(kWidth * kHeight, 0x00336699), screen(static_cast<std::size_t>(kWidth) * n * kHeight * n);
  for (auto _ : state) {
    winlayer::display::EnlargePixels(frame.data(), kWidth * 4, kWidth, kHeight, n, screen.data(), kWidth * n * 4);
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(screen.size()) * 4);
}
BENCHMARK(EnlargeFrame)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

void MemcpyEnlargedFrameBytes(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<std::uint32_t> from(static_cast<std::size_t>(kWidth) * n * kHeight * n, 0x00336699), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(to.size()) * 4);
}
BENCHMARK(MemcpyEnlargedFrameBytes)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
