// Saves a frame of ship placement as a PNG, from the headless display, played
// as a person plays it: "Player vs Player" clicked in the menu; once the
// camera's flight has ended, the first ship placed with a left click at one
// point and the next one turned with a right click at another, the mouse left
// there. The browser's tests play the same and compare their canvas with it.
// Run it from the folder that holds the game's Media pictures.
//
//   PlacementStill <picture.png>
#include <winlayer/headless.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "OperationBrannoway.h"

namespace headless = winlayer::headless;

namespace {

constexpr POINT kStartButton{300, 310};
constexpr POINT kFirstShip{150, 200};   // placed here, upright
constexpr POINT kSecondShip{250, 230};  // turned here, and shown
constexpr int kQuietFrames = 10;        // frames alike: the flight is over

// The screens wait for the release without drawing: a hand beside them lets go.
void ReleaseLater(std::vector<std::thread>& hands, int button) {
  hands.emplace_back([button] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    headless::ReleaseButton(button);
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: PlacementStill <picture.png>\n");
    return 2;
  }
  const std::string path = argv[1];
  const DWORD drawing = GetCurrentThreadId();
  HWND window = nullptr;  // the game's, once it presents
  std::vector<std::thread> hands;
  bool saved = false;
  const auto click = [&](int button) {
    headless::PressButton(button);
    ReleaseLater(hands, button);
  };
  const auto moveTo = [&](POINT p) { headless::MoveCursorToClient(window, p.x, p.y); };
  // After the flight, each step waits its frames since the one before.
  struct Step {
    int frames;
    std::function<void()> act;
  };
  const std::vector<Step> steps = {
      {0, [&] { moveTo(kFirstShip); }},
      {3, [&] { click(VK_LBUTTON); }},
      {5, [&] { moveTo(kSecondShip); }},
      {3, [&] { click(VK_RBUTTON); }},
      {5, [&] {
         saved = headless::SaveClientPng(window, path);
         headless::ClickCloseBox(window);
       }},
  };
  headless::Frame previous;
  int alike = 0, frame = 0, flightFrom = 0, lastStepAt = 0;
  std::size_t step = 0;
  bool started = false, flown = false;
  headless::AddPresentCallback([&](HWND w) {
    if (GetCurrentThreadId() != drawing) return;
    if (!window) window = headless::FindWindowByTitle("OperationBrannoway");
    if (w != window) return;
    headless::Frame now = headless::ClientPixels(window);
    alike = now.pixels == previous.pixels ? alike + 1 : 0;
    previous = std::move(now);
    ++frame;
    if (!started) {  // "Player vs Player"
      moveTo(kStartButton);
      click(VK_LBUTTON);
      started = true;
      flightFrom = frame;
      return;
    }
    // The flight: wait until the frames stop changing.
    if (!flown) {
      flown = frame - flightFrom > 100 && alike >= kQuietFrames;
      lastStepAt = frame;
    }
    if (flown && step < steps.size() && frame - lastStepAt == steps[step].frames) {
      steps[step++].act();
      lastStepAt = frame;
    }
  });
  OperationBrannoway::Run();
  for (std::thread& t : hands) t.join();
  if (!saved) {
    std::fprintf(stderr, "PlacementStill: cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("%s\n", path.c_str());
  return 0;
}
