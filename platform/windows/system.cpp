// What the pacing rules ask of Windows: a person's screen, its refresh rate,
// and precise sleeps.
#include <windows.h>
// After windows.h, which it needs; WIN32_LEAN_AND_MEAN leaves it out.
#include <mmsystem.h>

#include <chrono>
#include <mutex>

#include "../rules/system_answers.h"

namespace winlayer::pacing {

namespace {

// Windows 10 1803 and later; older headers lack the name.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

// A waitable timer for the calling thread. Sleep() and a plain timer keep to
// the system tick (about 15.6 ms), which would cap a program paced at 400
// frames per second near 64: a high-resolution timer where Windows has one,
// else a plain one with the tick raised to 1 ms for the process.
class ThreadTimer {
 public:
  ThreadTimer() {
    handle_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (handle_) return;
    static std::once_flag raised;
    std::call_once(raised, [] { timeBeginPeriod(1); });
    handle_ = CreateWaitableTimerW(nullptr, FALSE, nullptr);
  }
  ~ThreadTimer() {
    if (handle_) CloseHandle(handle_);
  }
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

  void Wait(std::chrono::nanoseconds length) {
    // Negative: relative, in units of 100 ns, rounded up so the wait never ends early.
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>((length.count() + 99) / 100);
    if (handle_ && SetWaitableTimer(handle_, &due, 0, nullptr, nullptr, FALSE)) {
      WaitForSingleObject(handle_, INFINITE);
      return;
    }
    Sleep(static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(length).count()));
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace

bool PacesByDefault() { return true; }

int ScreenRefreshRate() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  // Some drivers (and Wine on a virtual X server) answer 0 or 1: "the hardware's default".
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) || mode.dmDisplayFrequency <= 1) return 60;
  return static_cast<int>(mode.dmDisplayFrequency);
}

void SleepUntil(Clock::time_point moment) {
  const auto left = moment - Clock::now();
  if (left <= Clock::duration::zero()) return;
  thread_local ThreadTimer timer;
  timer.Wait(std::chrono::duration_cast<std::chrono::nanoseconds>(left));
}

}  // namespace winlayer::pacing
