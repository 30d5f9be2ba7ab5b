// Counts the main menu's frames per second on the display this program is
// linked with (built once for the headless display and once for SDL). Run
// it from the folder that holds the game's Media pictures.
//
//   MenuFrameRate [seconds]
#include <winlayer/display.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "BrannowayLib.h"
#include "OperationBrannoway.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  OperationBrannoway::Start();
  if (!BrannowayLib::VensterBestaat()) return 1;
  HWND window = FindWindowA(nullptr, "OperationBrannoway");
  std::uint64_t first = 0, last = 0;
  std::thread timer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the menu is running
    first = winlayer::PresentCount();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    last = winlayer::PresentCount();
    PostMessageA(window, WM_CLOSE, 0, 0);
  });
  OperationBrannoway::Menu();
  timer.join();
  std::printf("%.0f menu frames per second\n", (last - first) / seconds);
  return 0;
}
