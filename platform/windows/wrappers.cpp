// The layer between the programs and Windows: every imported call of a
// program to one of the wrapped imports (wrapped_imports.h) reaches the
// function here, which applies the pacing rules and calls Windows.
//
// - BitBlt: drawing, so a polling thread that draws never naps; one whose
//   destination is a window's context is a present, paced to the program's
//   frame rate on that window's schedule before it goes.
// - GetAsyncKeyState, GetCursorPos, IsWindow, a PeekMessageA that finds
//   nothing: polls, which nap when the thread has only polled for a while.
// - GetAsyncKeyState: a press released before any poll saw it is seen held
//   once (the click latch), from Windows' "pressed since the last call" bit.
#include <windows.h>

#include <map>
#include <memory>
#include <mutex>

#include "../pacing/click_latch.h"
#include "../pacing/poll_pacing.h"
#include "../pacing/present_pacing.h"
#include "wrapped_imports.h"

// Windows' own functions, through the import pointers that --wrap renames.
#define WINLAYER_DECLARE_REAL(name, bytes) \
  extern "C" decltype(&::name) winlayer_real_##name asm(WINLAYER_IMPORT_SYMBOL(real, name, bytes));
WINLAYER_WRAPPED_IMPORTS(WINLAYER_DECLARE_REAL)

namespace winlayer::windows {

namespace {

// The window whose client area a context draws on, if it is a window's context.
HWND WindowOf(HDC dc) {
  if (!dc || GetObjectType(dc) != OBJ_DC) return nullptr;  // a memory context, a metafile, a printer
  return WindowFromDC(dc);
}

pacing::WindowPacing& PacingOf(HWND window) {
  static std::mutex lock;
  static std::map<HWND, std::unique_ptr<pacing::WindowPacing>> windows;
  std::lock_guard guard(lock);
  auto& pacing = windows[window];
  if (!pacing) pacing = std::make_unique<pacing::WindowPacing>();
  return *pacing;
}

}  // namespace

// Named outside an anonymous namespace, so that the check of the programs
// (tests/windows/check_wrapped_imports.sh) knows them by their plain names.
BOOL WINAPI WrappedBitBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int x1, int y1, DWORD rop) {
  pacing::NoteWork();
  if (HWND window = WindowOf(dest)) PacingOf(window).BeforePresent();
  return winlayer_real_BitBlt(dest, x, y, cx, cy, source, x1, y1, rop);
}

SHORT WINAPI WrappedGetAsyncKeyState(int key) {
  pacing::BeforePoll();
  return pacing::LatchedKeyState(winlayer_real_GetAsyncKeyState(key));
}

BOOL WINAPI WrappedGetCursorPos(LPPOINT point) {
  pacing::BeforePoll();
  return winlayer_real_GetCursorPos(point);
}

BOOL WINAPI WrappedIsWindow(HWND window) {
  pacing::BeforePoll();
  return winlayer_real_IsWindow(window);
}

BOOL WINAPI WrappedPeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
  const BOOL found = winlayer_real_PeekMessageA(message, window, first, last, remove);
  if (!found) pacing::BeforePoll();  // an empty queue, looked at again and again, is a waiting loop
  return found;
}

}  // namespace winlayer::windows

// What the programs' calls reach: the pointers that --wrap puts in place of the imports'.
#define WINLAYER_DEFINE_WRAPPED(name, bytes)                                                  \
  extern "C" decltype(&::name) winlayer_wrapped_##name asm(WINLAYER_IMPORT_SYMBOL(wrap, name, bytes)); \
  decltype(&::name) winlayer_wrapped_##name = &winlayer::windows::Wrapped##name;
WINLAYER_WRAPPED_IMPORTS(WINLAYER_DEFINE_WRAPPED)
