// The SDL display: every top-level window is an SDL window on the real
// screen. One display thread makes every SDL call (initialisation, windows,
// events, copies to the screen); other threads reach it through requests and
// wake it through an eventfd, never through SDL. What reaches the screen and
// when is the display core's (display_core.h); the copy itself is
// sdl_screen_copy.cpp's, which enlarges a window by a whole factor on a large
// screen (scaling.h). Keys: sdl_keys.cpp; X11: sdl_x11.cpp; message boxes:
// sdl_message_box.cpp.
#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <winlayer/display.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "../../user/input.h"
#include "../display.h"
#include "../display_core.h"
#include "scaling.h"
#include "sdl_keys.h"
#include "sdl_message_box.h"
#include "sdl_screen_copy.h"
#include "sdl_x11.h"

namespace winlayer::display {

namespace {

using Clock = std::chrono::steady_clock;

// The display thread sleeps until the X server sends an event or another
// thread wakes it; it polls only where it must: for the mouse outside every
// window, and without an X connection to wait on (Wayland).
// 250 polls a second: a cursor or button read from the screen reaches the
// programs within a quarter of a 60 Hz refresh, at little cost to the processor.
constexpr auto kEventPoll = std::chrono::milliseconds(4);
constexpr auto kLongestSleep = std::chrono::milliseconds(100);  // SDL's own deferred work goes on
constexpr int kRefreshRateUnknown = 60;

class SdlDisplay final : public Display {
 public:
  bool Open() override {
    std::call_once(openOnce_, [this] {
      std::promise<bool> ready;
      auto result = ready.get_future();
      std::thread([this, &ready] { Run(ready); }).detach();
      open_ = result.get();
    });
    return open_;
  }

  SIZE ScreenSize() override {
    if (!Open()) return {kDefaultScreenWidth, kDefaultScreenHeight};
    return Call([] {
      SDL_Rect r{0, 0, kDefaultScreenWidth, kDefaultScreenHeight};
      SDL_GetDisplayBounds(0, &r);
      return SIZE{r.w, r.h};
    });
  }

  int RefreshRate() override { return Open() ? refreshRate_ : kRefreshRateUnknown; }
  bool PacesByDefault() const override { return true; }

  bool OpenWindow(const WindowPlacement& p) override {
    return Call([this, p] {
      const int w = std::max(1, static_cast<int>(p.client.right - p.client.left));
      const int h = std::max(1, static_cast<int>(p.client.bottom - p.client.top));
      const Area client{p.client.left, p.client.top, w, h};
      const int scale = ScaleFor({w, h});
      const Area shown = scale == 1 ? client : ScaledPlacement(client, scale, UsableArea());
      SDL_Window* window = SDL_CreateWindow(p.title.c_str(), shown.x, shown.y, shown.width, shown.height, SDL_WINDOW_HIDDEN);
      if (!window) {
        std::fprintf(stderr, "cannot make a window: %s\n", SDL_GetError());
        return false;
      }
      auto entry = std::make_shared<Entry>();
      entry->handle = p.window;
      entry->window = window;
      entry->origin = {p.client.left, p.client.top};
      entry->scale = scale;
      entry->xWindow = x11::WindowId(window);
      byHandle_[p.window] = entry;
      byId_[SDL_GetWindowID(window)] = entry;
      screenCopy_.Add(p.window, window, scale);
      core_.AddWindow(p.window, p.surface);
      if (serverFd_ < 0) serverFd_ = x11::ServerConnection(window);
      return true;
    });
  }

  void RemoveWindow(HWND handle) override {
    Call([this, handle] {
      auto it = byHandle_.find(handle);
      if (it == byHandle_.end()) return 0;
      core_.RemoveWindow(handle);
      screenCopy_.Remove(handle);
      byId_.erase(SDL_GetWindowID(it->second->window));
      SDL_DestroyWindow(it->second->window);
      byHandle_.erase(it);
      return 0;
    });
  }

  void SetVisible(HWND handle, bool visible) override {
    Request([this, handle, visible] {
      if (auto e = Find(handle)) {
        if (visible) {
          SDL_ShowWindow(e->window);
          SDL_RaiseWindow(e->window);
          core_.ShowWhole(handle);
        } else {
          SDL_HideWindow(e->window);
        }
      }
    });
  }

  void SetTitle(HWND handle, const std::string& title) override {
    Request([this, handle, title] {
      if (auto e = Find(handle)) SDL_SetWindowTitle(e->window, title.c_str());
    });
  }

  void Presented(HWND handle) override {
    if (core_.Presented(handle)) Wake();
  }

  void CaptureChanged(HWND window) override {
    Request([window] { SDL_CaptureMouse(window ? SDL_TRUE : SDL_FALSE); });
  }

  int ShowMessage(HWND, const std::string& text, const std::string& caption, UINT type) override {
    if (!Open()) {
      std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
      return IDOK;
    }
    return Call([&] { return ShowSdlMessageBox(text, caption, type); });
  }

 private:
  struct Entry {
    HWND handle = nullptr;
    SDL_Window* window = nullptr;
    unsigned long xWindow = 0;  // the X server's id of the window, 0 on other systems
    POINT origin{};  // the client area on the screen, as the window manager of the programs sees it
    int scale = 1;   // each client pixel is shown as scale × scale screen pixels
  };

  template <typename F>
  auto Call(F f) -> decltype(f()) {
    using R = decltype(f());
    if (std::this_thread::get_id() == displayThread_) return f();
    auto task = std::make_shared<std::packaged_task<R()>>(std::move(f));
    auto result = task->get_future();
    Request([task] { (*task)(); });
    return result.get();
  }

  void Request(std::function<void()> request) {
    {
      std::lock_guard guard(lock_);
      requests_.push_back(std::move(request));
    }
    Wake();
  }

  // Wakes the display thread without touching SDL: SDL's own wake-up would
  // make X calls on the calling thread.
  void Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
  }

  // A window that another client destroyed (xdotool, xkill -id, a window
  // manager) is closed as its close box would close it.
  void OnXEvent(const SDL_SysWMmsg& m) {
    const unsigned long destroyed = x11::DestroyedWindow(m);
    if (destroyed == 0) return;
    for (const auto& [handle, entry] : byHandle_)
      if (entry->xWindow == destroyed) {
        user::OnCloseRequest(handle);
        return;
      }
  }

  // Sleeps until an X event, a wake-up or the deadline.
  void SleepUntil(Clock::time_point deadline) {
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {serverFd_, POLLIN, 0}};
    const auto left = std::max(Clock::duration::zero(), deadline - Clock::now());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    ppoll(fds, serverFd_ >= 0 ? 2 : 1, &timeout, nullptr);
    std::uint64_t wakes;
    [[maybe_unused]] const ssize_t bytesRead = read(wakeFd_, &wakes, sizeof wakes);
  }

  // SDL reports the mouse only over its windows; elsewhere, and once the last
  // window has gone, the state is read from the screen.
  bool MouseOutsideWindows() const { return !SDL_GetMouseFocus(); }

  std::shared_ptr<Entry> Find(HWND handle) {
    auto it = byHandle_.find(handle);
    return it == byHandle_.end() ? nullptr : it->second;
  }

  std::shared_ptr<Entry> FindById(Uint32 id) {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
  }

  // SDL falls back quietly, so the complaint names what was asked for.
  static void ComplainOfNoScreen() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((x && *x) || (wayland && *wayland))
      std::fprintf(stderr, "cannot open a display: the screen %s%s%s did not answer\n", x && *x ? x : "",
                   x && *x && wayland && *wayland ? " / " : "", wayland && *wayland ? wayland : "");
    else
      std::fprintf(stderr, "cannot open a display: no screen to show windows on (DISPLAY and WAYLAND_DISPLAY are unset)\n");
  }

  void Run(std::promise<bool>& ready) {
    displayThread_ = std::this_thread::get_id();
    pthread_setname_np(pthread_self(), "sdl display");  // as top -H and the measuring tools show it
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // a plain surface presents several times faster
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "cannot open a display: %s\n", SDL_GetError());
      ready.set_value(false);
      return;
    }
    // With no screen SDL falls back to drivers that show nothing; a person would see no window.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (driver == "offscreen" || driver == "dummy" || driver == "evdev") {
      ComplainOfNoScreen();
      SDL_Quit();
      ready.set_value(false);
      return;
    }
    if (driver == "x11") {
      x11::IgnoreVanishedWindows();  // SDL's calls on a window another client destroyed
      SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    }
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0) refreshRate_ = mode.refresh_rate;
    std::string complaint;
    requestedScale_ = ChosenScale(std::getenv(kScaleVariable), &complaint);
    if (!complaint.empty()) std::fprintf(stderr, "%s\n", complaint.c_str());
    core_.SetRefreshPeriod(std::chrono::round<Clock::duration>(std::chrono::duration<double>(1.0 / refreshRate_)));
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    ready.set_value(true);
    for (;;) {
      SDL_Event e;
      while (SDL_PollEvent(&e)) Handle(e);
      RunRequests();
      const auto now = Clock::now();
      core_.Pass(now);
      PollMouseOutside();
      // The calls above may have read events off the connection: handle them before sleeping on it.
      SDL_PumpEvents();
      if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) continue;
      auto deadline = now + (serverFd_ < 0 || wakeFd_ < 0 || MouseOutsideWindows() ? kEventPoll : kLongestSleep);
      {
        std::lock_guard guard(lock_);
        if (!requests_.empty()) continue;
      }
      // A changed window waits for the next refresh.
      std::optional<Clock::time_point> copyDue;
      if (!core_.ReadyToSleep(&copyDue)) continue;
      if (copyDue) deadline = std::min(deadline, *copyDue);
      SleepUntil(deadline);
    }
  }

  void RunRequests() {
    std::deque<std::function<void()>> requests;
    {
      std::lock_guard guard(lock_);
      requests.swap(requests_);
    }
    for (auto& r : requests) r();
  }

  // A position in the shown window's pixels, as the programs see it on their screen.
  POINT ToScreen(const Entry& e, int x, int y) const {
    return {e.origin.x + ClientOffset(x, e.scale), e.origin.y + ClientOffset(y, e.scale)};
  }

  Area UsableArea() const {
    SDL_Rect r{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0 || r.w <= 0 || r.h <= 0) SDL_GetDisplayBounds(0, &r);
    return {r.x, r.y, r.w, r.h};
  }

  int ScaleFor(Size2 client) const {
    return requestedScale_ ? HeldScale(*requestedScale_, client) : FittingScale(client, UsableArea());
  }

  void Handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_WINDOWEVENT:
        if (auto entry = FindById(e.window.windowID)) {
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) user::OnCloseRequest(entry->handle);
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED) core_.ShowWhole(entry->handle);
        }
        break;
      case SDL_MOUSEMOTION:
        if (auto entry = FindById(e.motion.windowID)) user::OnMouseMove(ToScreen(*entry, e.motion.x, e.motion.y));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (auto entry = FindById(e.button.windowID))
          if (const int vk = ButtonKey(e.button.button))
            user::OnMouseButton(ToScreen(*entry, e.button.x, e.button.y), vk, e.type == SDL_MOUSEBUTTONDOWN);
        break;
      case SDL_SYSWMEVENT:
        if (e.syswm.msg) OnXEvent(*e.syswm.msg);
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (const UINT vk = VirtualKey(e.key.keysym)) user::OnKey(vk, e.type == SDL_KEYDOWN);
        break;
      default: break;
    }
  }

  // Outside the windows SDL reports nothing, yet the programs poll the cursor
  // and the buttons wherever they are: read them from the screen. With no
  // window left there is nothing to place the cursor by, but a program may
  // still wait for a button's release, as it could on Windows.
  void PollMouseOutside() {
    if (!MouseOutsideWindows()) return;
    int gx = 0, gy = 0;
    const Uint32 buttons = SDL_GetGlobalMouseState(&gx, &gy);
    POINT p = user::CursorPosition();
    if (!byHandle_.empty()) {
      const Entry& reference = *byHandle_.begin()->second;
      int wx = 0, wy = 0;
      SDL_GetWindowPosition(reference.window, &wx, &wy);
      const POINT last = p;
      p = ToScreen(reference, gx - wx, gy - wy);
      if (p.x != last.x || p.y != last.y) user::OnMouseMove(p);
    }
    for (auto [mask, vk] : {std::pair{SDL_BUTTON_LMASK, VK_LBUTTON}, std::pair{SDL_BUTTON_RMASK, VK_RBUTTON},
                            std::pair{SDL_BUTTON_MMASK, VK_MBUTTON}}) {
      const bool down = (buttons & mask) != 0;
      if (down != user::KeyHeld(vk)) user::OnMouseButton(p, vk, down);
    }
  }

  std::once_flag openOnce_;
  bool open_ = false;
  std::thread::id displayThread_;
  std::mutex lock_;
  int wakeFd_ = -1;  // an eventfd: other threads wake the display thread by writing to it
  std::deque<std::function<void()>> requests_;  // guarded by lock_
  SdlScreenCopy screenCopy_;    // display thread only
  DisplayCore core_{screenCopy_};
  int refreshRate_ = kRefreshRateUnknown;  // written before Open returns
  // Display thread only:
  std::optional<int> requestedScale_;  // WINLAYER_SCALE's factor; none for the one that fits
  int serverFd_ = -1;
  std::map<HWND, std::shared_ptr<Entry>> byHandle_;
  std::map<Uint32, std::shared_ptr<Entry>> byId_;
};

}  // namespace

Display& TheDisplay() {
  static auto* display = new SdlDisplay;  // with its thread, lives to the end of the process
  return *display;
}

}  // namespace winlayer::display
