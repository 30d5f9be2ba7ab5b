#include "program_script.h"

#include <chrono>
#include <thread>

namespace testing_support {

namespace headless = winlayer::headless;

ProgramScript::ProgramScript(std::string windowTitle) : title_(std::move(windowTitle)) {
  callback_ = headless::AddPresentCallback([this](HWND window) {
    if (GetCurrentThreadId() != programThread_ || window != Window()) return;
    {
      std::lock_guard guard(lock_);
      ++frames_;
    }
    changed_.notify_all();
  });
}

ProgramScript::~ProgramScript() {
  headless::RemovePresentCallback(callback_);
  for (int b : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) headless::ReleaseButton(b);
}

void ProgramScript::Run(const std::function<void()>& program, const std::function<void(ProgramScript&)>& script) {
  programThread_ = GetCurrentThreadId();
  ended_ = false;
  // The script starts once the program has shown its first frame: its window is there.
  std::thread beside([&] {
    if (WaitFrames(1)) script(*this);
    std::unique_lock lock(lock_);
    while (!ended_ && !changed_.wait_for(lock, std::chrono::seconds(5), [&] { return ended_.load(); })) {
      lock.unlock();
      for (int b : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) headless::ReleaseButton(b);
      headless::ClickCloseBox(Window());
      lock.lock();
    }
  });
  program();
  {
    std::lock_guard guard(lock_);
    ended_ = true;
  }
  changed_.notify_all();
  beside.join();
}

bool ProgramScript::WaitFrames(int count) {
  std::unique_lock lock(lock_);
  const int target = frames_ + count;
  changed_.wait(lock, [&] { return frames_ >= target || ended_; });
  return frames_ >= target;
}

bool ProgramScript::WaitQuiet() {
  // A waiting loop polls on and on (pausing briefly between polls once it
  // has waited a while); a frame that merely takes long polls once or not at all.
  constexpr std::uint64_t kPollsOfAWait = 40;
  constexpr auto kQuietTime = std::chrono::milliseconds(15);
  for (;;) {
    const int frames = frames_;
    const std::uint64_t polls = headless::ButtonPolls();
    const auto since = std::chrono::steady_clock::now();
    while (frames_ == frames && !ended_) {
      if (headless::ButtonPolls() - polls >= kPollsOfAWait && std::chrono::steady_clock::now() - since >= kQuietTime)
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (ended_) return false;
  }
}

HWND ProgramScript::Window() const { return headless::FindWindowByTitle(title_); }

headless::Frame ProgramScript::Shown() const { return headless::ClientPixels(Window()); }

COLORREF ProgramScript::ShownAt(int x, int y) const { return headless::ClientPixel(Window(), x, y); }

void ProgramScript::MoveTo(int x, int y) { headless::MoveCursorToClient(Window(), x, y); }
void ProgramScript::Press(int button) { headless::PressButton(button); }
void ProgramScript::Release(int button) { headless::ReleaseButton(button); }
void ProgramScript::Close() { headless::ClickCloseBox(Window()); }

}  // namespace testing_support
