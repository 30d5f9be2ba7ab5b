// The web display: every top-level window is a canvas in the page
// (web_display.js). The page's thread runs the browser's event loop and must
// never wait, so nothing it shares with the program's threads has a lock:
//   - frames go up through a triple buffer per window: a display thread puts
//     the newest frame (as RGBA) into the back one and swaps it with the
//     ready one, and asks the page for an animation frame (once, until the
//     page has painted); the page then swaps the ready one with the one it
//     shows, so an unchanged window costs the page nothing;
//   - pointer and key events come down through a ring of events that the
//     page writes and the display thread reads, waking it with Atomics.notify.
// Like the SDL display, a present only marks its window as changed, and the
// display thread takes the newest frame at most once per refresh (the display
// core's rules, display_core.h; this display is its backend).
#include <emscripten/emscripten.h>
#include <emscripten/threading.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../../user/input.h"
#include "../display.h"
#include "../message_buttons.h"
#include "../display_core.h"
#include "../key_table.h"
#include "page_contract.h"

namespace winlayer::display {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kIdleWaitMs = 1000;

// Events from the page, laid out as page_contract.h says.
struct InputEvent {
  std::int32_t kind, window, x, y, button, down;
  char code[page::kKeyCodeBytes];  // a key's name, padded with zeros
};
struct InputRing {
  std::atomic<std::uint32_t> head{0};  // events written, by the page
  std::atomic<std::uint32_t> tail{0};  // events taken, by the display thread
  InputEvent events[page::kInputSlots]{};
};
static_assert(sizeof(InputEvent) == page::kEventFields * 4);
static_assert(offsetof(InputEvent, kind) == page::kKindField * 4 && offsetof(InputEvent, window) == page::kWindowField * 4 &&
              offsetof(InputEvent, x) == page::kXField * 4 && offsetof(InputEvent, y) == page::kYField * 4 &&
              offsetof(InputEvent, button) == page::kButtonField * 4 && offsetof(InputEvent, down) == page::kDownField * 4 &&
              offsetof(InputEvent, code) == page::kKeyCodeField * 4);
static_assert(sizeof(std::atomic<std::uint32_t>) == 4 && offsetof(InputRing, head) == page::kHeadWord * 4 &&
              offsetof(InputRing, tail) == page::kTailWord * 4 && offsetof(InputRing, events) == page::kRingHeaderWords * 4);
static_assert((page::kInputSlots & (page::kInputSlots - 1)) == 0, "the page wraps the ring with a mask");

// Three RGBA frames of one window: the display thread's back one, the ready
// one and the one the page shows. `state` holds the ready one's index, with
// kFresh while it is newer than the page's.
class FrameTriple {
 public:
  static constexpr std::uint32_t kFresh = page::kFresh;

  FrameTriple(int width, int height)
      : width_(width), height_(height), pixels_(std::size_t(width) * height * 3), stale_{Whole(), Whole(), Whole()} {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::uint32_t* Pixels() const { return pixels_.data(); }
  const std::atomic<std::uint32_t>* State() const { return &state_; }

  // Copies the pixels of `changed` (the part of `surface` changed since the
  // last call) into the back frame, with whatever that frame missed while the
  // page showed it; the part copied, to Publish. Called with the surface's
  // lock held, which the drawing thread waits for: a plain copy of rows.
  gdi::Rect Take(const gdi::Surface& surface, const gdi::Rect& changed) {
    for (gdi::Rect& s : stale_) s = gdi::Union(s, changed);
    const gdi::Rect r = Clip(stale_[back_], surface);
    stale_[back_] = {};
    for (int y = r.top; y < r.bottom; ++y)
      std::memcpy(BackRow(y) + r.left, surface.Row32(y) + r.left, std::size_t(r.Width()) * 4);
    return r;
  }

  // Turns the part taken into the canvas's byte order, without the lock, and
  // makes the back frame the ready one.
  void Publish(const gdi::Rect& taken) {
    for (int y = taken.top; y < taken.bottom; ++y)
      for (std::uint32_t *p = BackRow(y) + taken.left, *end = p + taken.Width(); p < end; ++p) *p = Rgba(*p);
    back_ = state_.exchange(back_ | kFresh, std::memory_order_acq_rel) & 3;
  }

 private:
  std::uint32_t* BackRow(int y) { return pixels_.data() + (std::size_t(back_) * height_ + y) * width_; }
  gdi::Rect Whole() const { return {0, 0, width_, height_}; }
  gdi::Rect Clip(const gdi::Rect& r, const gdi::Surface& s) const {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min({r.right, width_, s.Width()}),
            std::min({r.bottom, height_, s.Height()})};
  }
  // 0x00RRGGBB to the bytes R, G, B, 255 of a canvas.
  static std::uint32_t Rgba(std::uint32_t p) { return 0xFF000000u | gdi::SwapRedAndBlue(p); }

  const int width_, height_;
  std::vector<std::uint32_t> pixels_;
  std::atomic<std::uint32_t> state_{0};
  std::uint32_t back_ = 1;  // the page starts with 2
  std::array<gdi::Rect, 3> stale_;  // what each frame lacks of the newest
};

class WebDisplay final : public Display, private ScreenBackend {
 public:
  bool Open() override {
    std::call_once(openOnce_, [this] {
      screen_.cx = MAIN_THREAD_EM_ASM_INT({ return Module.winlayer.attach($0, $1, $2, $3); }, &input_, page::kInputSlots, &wake_,
                                          &paintWanted_);
      screen_.cy = MAIN_THREAD_EM_ASM_INT({ return Module.winlayer.screenHeight(); });
      refreshRate_ = MAIN_THREAD_EM_ASM_INT({ return Module.winlayer.refreshRate(); });
      std::thread([this] { Run(); }).detach();
    });
    return true;
  }

  SIZE ScreenSize() override {
    Open();
    return screen_;
  }
  // As the page measured it from its animation frames while the program loaded.
  int RefreshRate() override {
    Open();
    return refreshRate_;
  }
  bool PacesByDefault() const override { return true; }

  bool OpenWindow(const WindowPlacement& p) override {
    Open();
    const int width = std::max(1, static_cast<int>(p.client.right - p.client.left));
    const int height = std::max(1, static_cast<int>(p.client.bottom - p.client.top));
    auto entry = std::make_shared<Entry>(width, height);
    entry->handle = p.window;
    entry->origin = {p.client.left, p.client.top};
    {
      std::lock_guard guard(entriesLock_);
      entry->id = nextId_++;
      entries_[entry->id] = entry;
    }
    core_.AddWindow(p.window, p.surface);
    MAIN_THREAD_EM_ASM({ Module.winlayer.openWindow($0, $1, $2, UTF8ToString($3), $4, $5); }, entry->id, width, height,
                       p.title.c_str(), entry->frames.Pixels(), entry->frames.State());
    return true;
  }

  void RemoveWindow(HWND handle) override {
    core_.RemoveWindow(handle);  // waits for a copy of its frame under way
    std::shared_ptr<Entry> entry;
    {
      std::lock_guard guard(entriesLock_);
      for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->second->handle == handle) {
          entry = it->second;
          entries_.erase(it);
          break;
        }
    }
    // The page lets the canvas go before its frames are freed.
    if (entry) MAIN_THREAD_EM_ASM({ Module.winlayer.removeWindow($0); }, entry->id);
  }

  void SetVisible(HWND handle, bool visible) override {
    if (const int id = IdOf(handle)) MAIN_THREAD_EM_ASM({ Module.winlayer.setVisible($0, $1); }, id, visible);
  }

  void SetTitle(HWND handle, const std::string& title) override {
    if (const int id = IdOf(handle))
      MAIN_THREAD_EM_ASM({ Module.winlayer.setTitle($0, UTF8ToString($1)); }, id, title.c_str());
  }

  // The page captures the pointer on every press.
  void CaptureChanged(HWND) override {}

  void Presented(HWND handle) override {
    if (core_.Presented(handle)) Wake();
  }

  // A dialog in the page; the page stores the chosen button into `answer`
  // and wakes this thread.
  int ShowMessage(HWND, const std::string& text, const std::string& caption, UINT type) override {
    Open();
    std::string buttons;
    for (const MessageButton& b : MessageButtons(type)) buttons += std::to_string(b.id) + "\t" + b.label + "\n";
    std::atomic<std::uint32_t> answer{0};
    MAIN_THREAD_EM_ASM({ Module.winlayer.showMessage(UTF8ToString($0), UTF8ToString($1), UTF8ToString($2), $3, $4); },
                       caption.c_str(), text.c_str(), buttons.c_str(), DismissedAnswer(type), &answer);
    std::uint32_t chosen;
    while ((chosen = answer.load()) == 0) emscripten_futex_wait(&answer, 0, INFINITY);
    return static_cast<int>(chosen);
  }

 private:
  struct Entry {
    Entry(int width, int height) : frames(width, height) {}
    int id = 0;  // the page's name for the window
    HWND handle = nullptr;
    POINT origin{};  // the client area on the screen, as the programs see it
    FrameTriple frames;
  };

  std::shared_ptr<Entry> EntryOf(HWND handle) {
    std::lock_guard guard(entriesLock_);
    for (const auto& [id, entry] : entries_)
      if (entry->handle == handle) return entry;
    return nullptr;
  }

  // The display core's backend: the changed part into the window's back frame,
  // then published to the page, which paints on its next animation frame.
  gdi::Rect Take(HWND handle, const gdi::Surface& pixels, const gdi::Rect& changed) override {
    auto entry = EntryOf(handle);
    return entry ? entry->frames.Take(pixels, changed) : gdi::Rect{};
  }
  void Show(HWND handle, const gdi::Rect& taken) override {
    if (auto entry = EntryOf(handle)) entry->frames.Publish(taken);
  }
  // Asked once until the page has painted.
  void AfterShowing() override {
    if (paintWanted_.exchange(1) == 0) MAIN_THREAD_ASYNC_EM_ASM({ Module.winlayer.paintSoon(); });
  }

  int IdOf(HWND handle) {
    auto entry = EntryOf(handle);
    return entry ? entry->id : 0;
  }

  void Wake() {
    wake_.fetch_add(1);
    emscripten_futex_wake(&wake_, 1);
  }

  void Run() {
    core_.SetRefreshPeriod(
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / refreshRate_)));
    for (;;) {
      const std::uint32_t seen = wake_.load();
      TakeInput();
      core_.Pass(Clock::now());
      // A changed window waits for the next refresh.
      std::optional<Clock::time_point> copyDue;
      if (!core_.ReadyToSleep(&copyDue)) continue;
      const double waitMs =
          copyDue ? std::max(0.0, std::chrono::duration<double, std::milli>(*copyDue - Clock::now()).count())
                  : kIdleWaitMs;
      if (input_.head.load(std::memory_order_acquire) != input_.tail.load(std::memory_order_relaxed)) continue;
      emscripten_futex_wait(&wake_, seen, waitMs);
    }
  }

  void TakeInput() {
    std::uint32_t tail = input_.tail.load(std::memory_order_relaxed);
    const std::uint32_t head = input_.head.load(std::memory_order_acquire);
    for (; tail != head; ++tail) Handle(input_.events[tail % page::kInputSlots]);
    input_.tail.store(tail, std::memory_order_release);
  }

  void Handle(const InputEvent& e) {
    if (e.kind == page::kKey) {
      if (const UINT vk = VirtualKeyOfCode(std::string_view(e.code, strnlen(e.code, sizeof e.code))))
        user::OnKey(vk, e.down != 0);
      return;
    }
    HWND handle = nullptr;
    POINT screen{};
    {
      std::lock_guard guard(entriesLock_);
      auto it = entries_.find(e.window);
      if (it == entries_.end()) return;
      handle = it->second->handle;
      screen = {it->second->origin.x + e.x, it->second->origin.y + e.y};
    }
    switch (e.kind) {
      case page::kMove: user::OnMouseMove(screen); break;
      case page::kButton: user::OnMouseButton(screen, e.button, e.down != 0); break;
      case page::kClose: user::OnCloseRequest(handle); break;
      default: break;
    }
  }

  std::once_flag openOnce_;
  SIZE screen_{};
  int refreshRate_ = 60;  // written before the display thread starts
  InputRing input_;
  std::atomic<std::uint32_t> wake_{0};  // counts wake-ups: the display thread sleeps on it
  std::atomic<std::uint32_t> paintWanted_{0};  // 1 from a publish until the page paints
  DisplayCore core_{*this};
  std::mutex entriesLock_;
  std::map<int, std::shared_ptr<Entry>> entries_;  // guarded by entriesLock_
  int nextId_ = 1;                                 // guarded by entriesLock_
};

}  // namespace

Display& TheDisplay() {
  static auto* display = new WebDisplay;  // with its thread, lives to the end of the program
  return *display;
}

}  // namespace winlayer::display
