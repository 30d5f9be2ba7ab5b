// The toolkit's window procedure: painting, keys, commands, the mouse and
// control requests, all on the window thread.
#include "state.h"

namespace Wimdows {

namespace {

constexpr UINT kControlRequest = WM_USER + 1;  // 1025

void Command(WPARAM wParam) {
  const std::uint32_t id = LOWORD(wParam), code = HIWORD(wParam);
  if (code == 1 || id <= 99) return;
  Procedure call = nullptr;
  {
    std::lock_guard guard(tablesLock);
    if (id < 10000) {
      const std::uint32_t m = id / 100 - 1, i = id % 100;
      if (m < menulen && i < menu[m].itemlen) call = menu[m].item[i];
    } else {
      const std::uint32_t c = id - 10000;
      if (code == 0 && c < controllen && ctrl[c].type == CTRL_BUTTON) call = ctrl[c].proc;
    }
  }
  if (call) call();  // outside the lock: a procedure may add controls or menus
}

void ControlRequest(ControlParamStruct& p) {
  if (p.create) {
    const bool button = p.type == CTRL_BUTTON;
    p.hwnd = CreateWindowExA(0, button ? "Button" : "Edit", p.text, button ? 0x50010000 : 0x50810080, p.x, p.y,
                             static_cast<int>(p.width), static_cast<int>(p.height), window.hwnd,
                             reinterpret_cast<HMENU>(p.id), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  } else {
    DestroyWindow(p.hwnd);
  }
  p.finished = true;
}

void Call(const std::atomic<bool>& enabled, const std::atomic<MouseProc>& proc, LPARAM lParam) {
  const DWORD at = LPARAM2DWORD(lParam);
  if (enabled)
    if (MouseProc p = proc.load()) p(LOWORD(at), HIWORD(at));
}

}  // namespace

DWORD LPARAM2DWORD(LPARAM lParam) { return static_cast<DWORD>(lParam); }

void Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window.hwnd, &ps);
  BitBlt(dc, 0, 0, static_cast<int>(window.xlen), static_cast<int>(window.ylen), hDCBuf, 0, 0, SRCCOPY);
  EndPaint(window.hwnd, &ps);
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_PAINT: Paint(); return 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_KEYDOWN: {
      const std::uint32_t k = static_cast<std::uint32_t>(wParam) & 255;
      key[k] = true;
      AddKey(k);
      return 0;
    }
    case WM_KEYUP: key[wParam & 255] = false; return 0;
    case WM_COMMAND: Command(wParam); return 0;
    case WM_MOUSEMOVE: {
      while (block) {
      }
      const DWORD at = LPARAM2DWORD(lParam);
      mouse.x = LOWORD(at);
      mouse.y = HIWORD(at);
      return 0;
    }
    case WM_LBUTTONDOWN:
      mouse.left = true;
      if (!mouse.right) SetCapture(hwnd);
      Call(mouse.onLeftDown, mouse.LeftDownProc, lParam);
      return 0;
    case WM_LBUTTONUP:
      mouse.left = false;
      if (!mouse.right) ReleaseCapture();
      Call(mouse.onLeftUp, mouse.LeftUpProc, lParam);
      return 0;
    case WM_LBUTTONDBLCLK: Call(mouse.onDouble, mouse.DoubleProc, lParam); return 0;
    case WM_RBUTTONDOWN:
      mouse.right = true;
      if (!mouse.left) SetCapture(hwnd);
      Call(mouse.onRightDown, mouse.RightDownProc, lParam);
      return 0;
    case WM_RBUTTONUP:
      mouse.right = false;
      if (!mouse.left) ReleaseCapture();
      Call(mouse.onRightUp, mouse.RightUpProc, lParam);
      return 0;
    case kControlRequest: ControlRequest(*reinterpret_cast<ControlParamStruct*>(wParam)); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

void ReadMouse(std::uint32_t& x, std::uint32_t& y, bool& left, bool& right) {
  x = mouse.x;
  y = mouse.y;
  left = mouse.left;
  right = mouse.right;
}

namespace {

void Enable(std::atomic<bool>& flag, std::atomic<MouseProc>& slot, MouseProc proc) {
  slot = proc;
  flag = proc != nullptr;
}

}  // namespace

void OnLeftDown(MouseProc proc) { Enable(mouse.onLeftDown, mouse.LeftDownProc, proc); }
void OnLeftUp(MouseProc proc) { Enable(mouse.onLeftUp, mouse.LeftUpProc, proc); }
void OnRightDown(MouseProc proc) { Enable(mouse.onRightDown, mouse.RightDownProc, proc); }
void OnRightUp(MouseProc proc) { Enable(mouse.onRightUp, mouse.RightUpProc, proc); }
void OnDouble(MouseProc proc) { Enable(mouse.onDouble, mouse.DoubleProc, proc); }

}  // namespace Wimdows
