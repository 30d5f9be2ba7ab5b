// The window frame: system metrics as a current Windows reports them at 96
// dots per inch, and the frame they give each window style.
#include "../display/display.h"
#include "window.h"

namespace winlayer::user {

namespace {

constexpr int kCaption = 23;
constexpr int kBorder = 1;
constexpr int kFixedFrame = 3;
constexpr int kSizingFrame = 4;
constexpr int kPaddedBorder = 4;
constexpr int kEdge = 2;
constexpr int kMenu = 20;

}  // namespace

RECT FrameInsets(DWORD style, DWORD exStyle, bool hasMenu) {
  int side = 0;
  if (style & WS_THICKFRAME)
    side = kSizingFrame + kPaddedBorder;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    side = kFixedFrame;
  else if (style & WS_BORDER)
    side = kBorder;
  if (exStyle & WS_EX_CLIENTEDGE) side += kEdge;
  const int caption = (style & WS_CAPTION) == WS_CAPTION ? kCaption : 0;
  return {side, side + caption + (hasMenu ? kMenu : 0), side, side};
}

}  // namespace winlayer::user

extern "C" {

int WINAPI GetSystemMetrics(int nIndex) {
  using namespace winlayer::user;
  switch (nIndex) {
    case SM_CXSCREEN: return winlayer::display::TheDisplay().ScreenSize().cx;
    case SM_CYSCREEN: return winlayer::display::TheDisplay().ScreenSize().cy;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 17;
    case SM_CYCAPTION: return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER: return kBorder;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return kFixedFrame;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return kMenu;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME: return kSizingFrame;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CXEDGE:
    case SM_CYEDGE: return kEdge;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    default: return 0;
  }
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
  if (!lpRect) return FALSE;
  const RECT f = winlayer::user::FrameInsets(dwStyle, dwExStyle, bMenu != FALSE);
  lpRect->left -= f.left;
  lpRect->top -= f.top;
  lpRect->right += f.right;
  lpRect->bottom += f.bottom;
  return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
  return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

}  // extern "C"
