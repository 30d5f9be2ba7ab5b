// The display thread's core, which the SDL and the web displays share: when
// a present wakes the display thread, what a copy takes after a present, and
// a window closed while its frame is being copied.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/display/display_core.h"

namespace {

using namespace std::chrono_literals;
using winlayer::display::DisplayCore;
using winlayer::display::ScreenBackend;
namespace gdi = winlayer::gdi;

const HWND kWindow = reinterpret_cast<HWND>(0x5001);

// Records what the core asks of a display.
class RecordingBackend : public ScreenBackend {
 public:
  gdi::Rect Take(HWND window, const gdi::Surface& pixels, const gdi::Rect& changed) override {
    if (whileTaking) whileTaking();
    taken.push_back({window, changed});
    EXPECT_EQ(pixels.Width(), 8);
    return changed;
  }
  void Show(HWND window, const gdi::Rect& r) override { shown.push_back({window, r}); }
  void AfterShowing() override { ++passesShown; }

  struct Copy {
    HWND window;
    gdi::Rect rect;
  };
  std::vector<Copy> taken, shown;
  int passesShown = 0;
  std::function<void()> whileTaking;
};

std::shared_ptr<gdi::WindowSurface> MakeSurface() {
  auto bitmap = std::make_shared<gdi::Bitmap>(gdi::Surface::Allocate(gdi::PixelFormat::Color32, 8, 6), 32);
  return std::make_shared<gdi::WindowSurface>(kWindow, bitmap, nullptr, [](gdi::PresentKind) {});
}

class DisplayCoreTest : public testing::Test {
 protected:
  void SetUp() override {
    core_.SetRefreshPeriod(16ms);
    core_.AddWindow(kWindow, surface_);
  }
  // A drawing call changed `r` of the window and presented it.
  bool Present(const gdi::Rect& r) {
    {
      std::lock_guard guard(surface_->lock);
      surface_->changedSinceShown = gdi::Union(surface_->changedSinceShown, r);
    }
    return core_.Presented(kWindow);
  }

  const DisplayCore::Clock::time_point start_ = DisplayCore::Clock::time_point{} + 1000s;
  RecordingBackend backend_;
  DisplayCore core_{backend_};
  std::shared_ptr<gdi::WindowSurface> surface_ = MakeSurface();
};

TEST_F(DisplayCoreTest, OnlyAPresentTheDisplayThreadWouldMissWakesIt) {
  EXPECT_TRUE(Present({0, 0, 1, 1}));    // the thread sleeps with nothing to copy
  EXPECT_FALSE(Present({0, 0, 1, 1}));   // it is woken already
  core_.Pass(start_);                    // copies at once: no copy was due before
  std::optional<DisplayCore::Clock::time_point> wakeBy;
  ASSERT_TRUE(core_.ReadyToSleep(&wakeBy));
  EXPECT_FALSE(wakeBy.has_value());       // nothing waits for a copy
  EXPECT_TRUE(Present({1, 1, 2, 2}));    // so the next present wakes it
  core_.Pass(start_ + 1ms);              // within the refresh: the change waits
  ASSERT_TRUE(core_.ReadyToSleep(&wakeBy));
  ASSERT_TRUE(wakeBy.has_value());
  EXPECT_EQ(*wakeBy, start_ + 16ms);      // it sleeps until the next refresh
  EXPECT_FALSE(Present({2, 2, 3, 3}));   // and looks then anyway
  EXPECT_FALSE(core_.ReadyToSleep(&wakeBy));  // a present since the pass: look again before sleeping
}

TEST_F(DisplayCoreTest, ACopyTakesWhatChangedSinceTheWindowWasShown) {
  Present({2, 1, 4, 3});
  core_.Pass(start_);
  ASSERT_EQ(backend_.taken.size(), 1u);
  EXPECT_EQ(backend_.taken[0].rect, (gdi::Rect{0, 0, 8, 6}));  // the first copy is whole
  // Two presents within one refresh: one copy of both changes, at the refresh.
  Present({1, 1, 2, 2});
  core_.Pass(start_ + 2ms);
  Present({5, 4, 6, 5});
  core_.Pass(start_ + 4ms);
  EXPECT_EQ(backend_.taken.size(), 1u);
  core_.Pass(start_ + 16ms);
  ASSERT_EQ(backend_.taken.size(), 2u);
  EXPECT_EQ(backend_.taken[1].rect, (gdi::Rect{1, 1, 6, 5}));
  ASSERT_EQ(backend_.shown.size(), 2u);
  EXPECT_EQ(backend_.passesShown, 2);
  EXPECT_TRUE(surface_->changedSinceShown.Empty());
  // A present that changed nothing shows nothing; a window shown or exposed again is copied whole.
  Present({});
  core_.Pass(start_ + 32ms);
  EXPECT_EQ(backend_.taken.size(), 2u);
  core_.ShowWhole(kWindow);
  core_.Pass(start_ + 48ms);
  ASSERT_EQ(backend_.taken.size(), 3u);
  EXPECT_EQ(backend_.taken[2].rect, (gdi::Rect{0, 0, 8, 6}));
}

TEST_F(DisplayCoreTest, AWindowClosedWhileItsFrameIsCopiedGoesOnlyOnceTheCopyIsDone) {
  std::promise<void> copying, mayFinish;
  std::shared_future<void> finish = mayFinish.get_future().share();
  backend_.whileTaking = [&] {
    copying.set_value();
    finish.wait();
  };
  Present({0, 0, 8, 6});
  std::thread display([&] { core_.Pass(start_); });
  copying.get_future().wait();
  std::atomic<bool> removed{false};
  std::thread closing([&] {
    core_.RemoveWindow(kWindow);
    removed = true;
  });
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(removed.load());  // the copy under way still reads the surface
  mayFinish.set_value();
  display.join();
  closing.join();
  EXPECT_TRUE(removed.load());
  backend_.whileTaking = nullptr;
  Present({0, 0, 8, 6});
  core_.Pass(start_ + 16ms);
  EXPECT_EQ(backend_.taken.size(), 1u);  // never again
}

}  // namespace
