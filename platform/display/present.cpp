#include "present.h"

#include <winlayer/display.h>

#include <memory>

#include "../pacing/platform_seams.h"
#include "../pacing/present_pacing.h"
#include "display.h"

namespace winlayer::display {

std::function<void()> PresentPath(HWND window) {
  auto pacing = std::make_shared<pacing::WindowPacing>();
  return [window, pacing] {
    pacing->BeforePresent();
    TheDisplay().Presented(window);
  };
}

}  // namespace winlayer::display

// The pacing rules ask the display this program is linked with.
namespace winlayer::pacing {

bool PacesByDefault() { return display::TheDisplay().PacesByDefault(); }
int ScreenRefreshRate() { return display::TheDisplay().RefreshRate(); }

}  // namespace winlayer::pacing

namespace winlayer {

std::uint64_t PresentCount() { return pacing::PresentCount(); }

}  // namespace winlayer
