// Runs ButtonSample on the headless display with the mouse over "Opties" and
// saves a frame as a PNG, then closes the window as a user would.
//
//   ButtonSampleStill [picture.png]
#include <winlayer/headless.h>

#include <cstdio>
#include <string>

#include "BrannowayLib.h"
#include "ButtonSample.h"

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "ButtonSample.png";
  namespace headless = winlayer::headless;
  BrannowayLib::Initialise();
  int frame = 0;
  bool saved = false;
  headless::AddPresentCallback([&](HWND window) {
    if (window != headless::FindWindowByTitle("Titel")) return;
    ++frame;
    if (frame == 1) headless::MoveCursorToClient(window, 80, 140);
    if (frame == 4) saved = headless::SaveClientPng(window, path);
    if (frame == 5) headless::ClickCloseBox(window);
  });
  ButtonSample::Run();
  if (!saved) {
    std::fprintf(stderr, "ButtonSampleStill: cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("%s\n", path.c_str());
  return 0;
}
