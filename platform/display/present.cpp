#include "present.h"

#include <winlayer/display.h>

#include <memory>

#include "../rules/present_pacing.h"
#include "display.h"

namespace winlayer::display {

gdi::WindowSurface::PresentPath PresentPath(HWND window, std::shared_ptr<pacing::WindowPacing> pacing) {
  return [window, pacing = std::move(pacing)](gdi::PresentKind kind) {
    if (kind != gdi::PresentKind::LateShow) pacing->BeforePresent();
    if (kind == gdi::PresentKind::HeldBack)
      TheDisplay().HeldBack(window);
    else
      TheDisplay().Presented(window);
  };
}

}  // namespace winlayer::display
