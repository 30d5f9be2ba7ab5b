#include "program_script.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/rules/click_latch.h"
#include "platform/rules/poll_pacing.h"

namespace testing_support {

namespace headless = winlayer::headless;

namespace {

// TEST_SAVE_FRAMES=<folder> saves every frame of a scripted program there, to
// watch a script's run frame by frame; a failed script's last frame goes into
// TEST_FRAMES_DIR (default: failed-frames in the test's working folder).
const char* EveryFrameFolder() {
  static const char* folder = [] {
    const char* f = std::getenv("TEST_SAVE_FRAMES");
    if (f && *f) mkdir(f, 0755);
    return f && *f ? f : nullptr;
  }();
  return folder;
}

std::string FailedFrameFolder() {
  const char* f = std::getenv("TEST_FRAMES_DIR");
  if (f && *f) return f;
  char here[4096];
  return std::string(getcwd(here, sizeof here) ? here : ".") + "/failed-frames";
}

}  // namespace

ProgramScript::ProgramScript(std::string windowTitle) : title_(std::move(windowTitle)) {
  callback_ = headless::AddPresentCallback([this](HWND window) {
    if (GetCurrentThreadId() != programThread_ || window != Window()) return;
    int frame;
    {
      std::lock_guard guard(lock_);
      frame = ++frames_;
    }
    if (const char* folder = EveryFrameFolder()) {
      char name[32];
      std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
      headless::SaveClientPng(window, folder + std::string(name));
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
    if (testing::Test::HasFailure()) SaveLastFrame();
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
  // A waiting loop naps between its polls once it has polled a while
  // without drawing; a frame that merely takes long draws and never naps.
  // While a click is still read as held (a person's length), the program has
  // not read all of it: the quiet counts from when it has.
  constexpr std::uint64_t kNapsOfAWait = 3;
  constexpr auto kQuietTime = std::chrono::milliseconds(15);
  for (;;) {
    const int frames = frames_;
    std::uint64_t naps = winlayer::pacing::NapCount();
    auto since = std::chrono::steady_clock::now();
    while (frames_ == frames && !ended_) {
      if (!winlayer::pacing::Latches().Settled()) {
        naps = winlayer::pacing::NapCount();
        since = std::chrono::steady_clock::now();
      } else if (winlayer::pacing::NapCount() - naps >= kNapsOfAWait && std::chrono::steady_clock::now() - since >= kQuietTime) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (ended_) return false;
  }
}

void ProgramScript::SaveLastFrame() const {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string folder = FailedFrameFolder();
  mkdir(folder.c_str(), 0755);
  const std::string path = folder + "/" + (test ? std::string(test->test_suite_name()) + "." + test->name() : "script") + ".png";
  if (headless::SaveClientPng(Window(), path))
    std::fprintf(stderr, "the script failed; its program's last frame is in %s\n", path.c_str());
}

HWND ProgramScript::Window() const { return headless::FindWindowByTitle(title_); }

headless::Frame ProgramScript::Shown() const { return headless::ClientPixels(Window()); }

COLORREF ProgramScript::ShownAt(int x, int y) const { return headless::ClientPixel(Window(), x, y); }

void ProgramScript::MoveTo(int x, int y) {
  // A click just released still reads as held for a person's click: the mouse moves on after it.
  while (!winlayer::pacing::Latches().Settled() && !ended_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  headless::MoveCursorToClient(Window(), x, y);
}
void ProgramScript::Press(int button) { headless::PressButton(button); }
void ProgramScript::Release(int button) { headless::ReleaseButton(button); }
void ProgramScript::Close() { headless::ClickCloseBox(Window()); }

}  // namespace testing_support
