// Wimdows: a second window toolkit. One window on a window thread of its own,
// a back buffer that is presented whole (buffering on) or piece by piece as
// it is drawn (buffering off), a key queue with held states, a mouse record
// with callbacks, and tables of menus, controls and bitmaps.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "runtime/checks.h"

namespace Wimdows {

enum WinState : std::uint8_t { STATE_DEAD = 0, STATE_ACTIVE = 1, STATE_ERROR = 2 };

struct WinStruct {
  std::atomic<WinState> state{STATE_DEAD};  // written by the window thread, polled by the main thread
  HWND hwnd = nullptr;
  HMENU hmenu = nullptr;
  char* class_ = nullptr;  // the title: class name and caption ("class" in the toolkit's own words)
  // The client area's size: set by the window thread, read while drawing.
  std::atomic<std::uint32_t> xlen{0};
  std::atomic<std::uint32_t> ylen{0};
};

struct FontStruct {
  std::uint32_t style;
  std::uint32_t color;
};

using MouseProc = void (*)(std::uint32_t x, std::uint32_t y);

struct MouseStruct {
  std::atomic<std::uint32_t> x{0}, y{0};
  std::atomic<bool> left{false}, right{false};
  std::atomic<bool> onLeftDown{false}, onLeftUp{false}, onRightDown{false}, onRightUp{false}, onDouble{false};
  std::atomic<MouseProc> LeftDownProc{nullptr}, LeftUpProc{nullptr}, RightDownProc{nullptr}, RightUpProc{nullptr},
      DoubleProc{nullptr};
};

struct QueueElmt {
  std::uint32_t key;
  QueueElmt* prev;  // the element queued right after this one
};

struct KeyBuffer {
  QueueElmt* head = nullptr;  // newest
  QueueElmt* tail = nullptr;  // oldest
};

using Procedure = void (*)();

struct MenuStruct {
  HMENU hmenu;
  std::vector<Procedure> item;
  std::uint32_t itemlen;
};

enum ControlType : std::uint8_t { CTRL_BUTTON = 0, CTRL_EDIT = 1 };

struct ControlStruct {
  HWND hwnd;
  std::int32_t x, y;
  std::uint32_t width, height;
  Procedure proc;
  ControlType type;
};

struct ControlParamStruct {
  HWND hwnd;
  const char* text;
  std::int32_t x, y;
  std::uint32_t width, height;
  UINT_PTR id;
  ControlType type;
  bool create;
  std::atomic<bool> finished;
};

struct BitStruct {
  HBITMAP hbit;
  HDC hdc;
  std::uint32_t width;
  std::uint32_t height;
};

// ---- the window ----------------------------------------------------------------------

// Opens the window with a client area x by y pixels; returns once the window thread has it or failed.
void Window(runtime::View<const char> title, std::uint32_t x, std::uint32_t y);
// Closes the window and waits until it is gone.
void KillWindow();
WinState State();

// ---- keys ----------------------------------------------------------------------------------

void FlushKeys();
// The oldest key press, taken from the queue; 0 when it is empty.
std::uint32_t ReadKey();
// Whether a key (its code's low 8 bits) is held down.
bool KeyDown(std::uint32_t key);

// ---- the mouse -------------------------------------------------------------------------------

// The last position (client pixels, 16 bits each, unsigned) and the buttons held.
void ReadMouse(std::uint32_t& x, std::uint32_t& y, bool& left, bool& right);
// Sets a callback and enables it; null disables it.
void OnLeftDown(MouseProc proc);
void OnLeftUp(MouseProc proc);
void OnRightDown(MouseProc proc);
void OnRightUp(MouseProc proc);
void OnDouble(MouseProc proc);

// ---- menus and controls ---------------------------------------------------------------------

// Adds a menu of items to the window's menu bar; its items call the procedures.
// Returns the menu's number (0-based); item i of menu m has command m * 100 + 100 + i.
std::uint32_t AddMenu(const char* title, const std::vector<std::pair<const char*, Procedure>>& items);
// Makes a push button or an edit field on the window thread; returns its number (0-based).
std::uint32_t AddControl(ControlType type, const char* text, std::int32_t x, std::int32_t y, std::uint32_t width,
                         std::uint32_t height, Procedure proc);
// Removes a control's window; its number stays taken.
void RemoveControl(std::uint32_t number);

// ---- drawing and bitmaps ---------------------------------------------------------------------

void SetBuffering(bool state);
void UpdateWindow();
void Polygon(std::uint32_t n, runtime::View<const std::int32_t> x, runtime::View<const std::int32_t> y,
             std::uint32_t color, bool fill);
// Writes text at (x, y) in the colour of `font`.
void SetFont(std::uint32_t style, std::uint32_t color);
void WriteText(std::int32_t x, std::int32_t y, const char* text);
// Loads a bitmap file into the table; its handle (index + 1), or 0.
std::uint32_t LoadBitmapFile(const char* path);
void DestroyBitmap(std::uint32_t bitmap);

}  // namespace Wimdows
