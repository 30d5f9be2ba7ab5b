// Saves the game's main menu (the start button lit) and its instructions
// screen as PNG pictures, from the headless display. Run it from the folder
// that holds the game's Media pictures.
//
//   MenuStills <menu.png> <instructions.png>
#include <winlayer/headless.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "OperationBrannoway.h"

namespace headless = winlayer::headless;

namespace {

// The screens wait for the mouse without drawing; a hand beside them presses and releases.
void Later(std::vector<std::thread>& hands, std::vector<std::pair<int, bool>> steps) {
  hands.emplace_back([steps] {
    for (auto [button, down] : steps) {
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      down ? headless::PressButton(button) : headless::ReleaseButton(button);
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: MenuStills <menu.png> <instructions.png>\n");
    return 2;
  }
  const std::string menuPath = argv[1], instructionsPath = argv[2];
  OperationBrannoway::Start();
  const HWND window = headless::FindWindowByTitle("OperationBrannoway");
  const DWORD drawing = GetCurrentThreadId();
  std::vector<std::thread> hands;
  bool menuSaved = false, instructionsSaved = false;
  int frame = 0;
  headless::AddPresentCallback([&](HWND w) {
    if (w != window || GetCurrentThreadId() != drawing) return;
    switch (++frame) {
      case 1: headless::MoveCursorToClient(window, 320, 316); break;  // over the start button
      case 4: menuSaved = headless::SaveClientPng(window, menuPath); break;
      case 5: headless::MoveCursorToClient(window, 320, 362); break;  // over the instructions button
      case 7:
        headless::PressButton(VK_LBUTTON);
        Later(hands, {{VK_LBUTTON, false}});
        break;
      case 8:  // the instructions screen, drawn once
        instructionsSaved = headless::SaveClientPng(window, instructionsPath);
        Later(hands, {{VK_RBUTTON, true}, {VK_RBUTTON, false}});
        break;
      case 12: headless::ClickCloseBox(window); break;
      default: break;
    }
  });
  OperationBrannoway::Menu();
  for (std::thread& t : hands) t.join();
  if (!menuSaved || !instructionsSaved) {
    std::fprintf(stderr, "MenuStills: cannot write the pictures\n");
    return 1;
  }
  std::printf("%s\n%s\n", menuPath.c_str(), instructionsPath.c_str());
  return 0;
}
