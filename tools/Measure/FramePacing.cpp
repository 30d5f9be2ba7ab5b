// How steady the frame limiter paces a frame loop on the display this tool
// is linked with: a window presents as fast as the limiter lets it for a
// while, and the tool prints the frame count against the schedule's and the
// frame times' median and 99th percentile. Set WINLAYER_FRAME_RATE to choose
// the rate (400, the game's, when unset).
//
//   FramePacing [seconds]
#include <windows.h>
#include <winlayer/frame_rate.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::atomic<HWND> window{nullptr};

DWORD WINAPI WindowThread(LPVOID) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "FramePacing";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "FramePacing", "FramePacing", WS_OVERLAPPED | WS_BORDER | WS_SYSMENU, 100, 100, 330,
                           273, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(w, SW_SHOW);
  window = w;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  return 0;
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  winlayer::SetDefaultFrameRate(400);  // the game's
  CreateThread(nullptr, 0, WindowThread, nullptr, 0, nullptr);
  while (!IsWindow(window.load())) {
  }
  HDC dc = GetDC(window.load());
  HBRUSH brushes[2] = {CreateSolidBrush(RGB(200, 40, 40)), CreateSolidBrush(RGB(40, 40, 200))};
  const RECT all{0, 0, 320, 240};
  using Clock = std::chrono::steady_clock;
  FillRect(dc, &all, brushes[0]);  // the first present starts the schedule
  const auto start = Clock::now();
  const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  std::vector<double> frameTimes;
  auto last = start;
  for (int i = 1; Clock::now() < end; ++i) {
    FillRect(dc, &all, brushes[i % 2]);
    const auto now = Clock::now();
    frameTimes.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  }
  const int rate = winlayer::FrameRate();
  std::printf("%d frames per second asked: %zu frames in %.1f s (schedule: %.0f)", rate, frameTimes.size(), seconds,
              rate * seconds);
  if (rate > 0)
    std::printf(", %+.2f%%", 100.0 * (static_cast<double>(frameTimes.size()) - rate * seconds) / (rate * seconds));
  std::printf("; frame time median %.3f ms, 99th percentile %.3f ms, longest %.3f ms\n",
              Percentile(frameTimes, 0.5), Percentile(frameTimes, 0.99), Percentile(frameTimes, 1.0));
  return 0;
}
